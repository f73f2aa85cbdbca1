#include "platform/SaveFileChooser.h"

#include "platform/PlatformLog.h"

#include <QCoroFuture>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFile>
#include <QGuiApplication>
#include <QPointer>
#include <QPromise>
#include <QUrl>
#include <QVariantMap>
#include <QWindow>

namespace orvella::portal {

// The portal's file type filter, a(sa(us)): a name and its patterns, kind 0 being a glob.
struct Pattern
{
    uint kind = 0;
    QString pattern;
};

struct Filter
{
    QString name;
    QList<Pattern> patterns;
};

QDBusArgument &operator<<(QDBusArgument &argument, const Pattern &pattern)
{
    argument.beginStructure();
    argument << pattern.kind << pattern.pattern;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, Pattern &pattern)
{
    argument.beginStructure();
    argument >> pattern.kind >> pattern.pattern;
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const Filter &filter)
{
    argument.beginStructure();
    argument << filter.name << filter.patterns;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, Filter &filter)
{
    argument.beginStructure();
    argument >> filter.name >> filter.patterns;
    argument.endStructure();
    return argument;
}

} // namespace orvella::portal

Q_DECLARE_METATYPE(orvella::portal::Pattern)
Q_DECLARE_METATYPE(orvella::portal::Filter)

namespace orvella {

struct PortalSaveFileChooser::State
{
    std::chrono::milliseconds callTimeout;
    // The portal refused or ignored a call: the desktop has none that works.
    bool missing = false;
    quint64 requests = 0;
};

namespace {

const QString desktopService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString desktopPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString fileChooserInterface = QStringLiteral("org.freedesktop.portal.FileChooser");
const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");

void registerTypes()
{
    static const bool registered = [] {
        qDBusRegisterMetaType<portal::Pattern>();
        qDBusRegisterMetaType<QList<portal::Pattern>>();
        qDBusRegisterMetaType<portal::Filter>();
        qDBusRegisterMetaType<QList<portal::Filter>>();
        return true;
    }();
    Q_UNUSED(registered);
}

portal::Filter toFilter(const SaveFileType &type)
{
    portal::Filter filter { type.name, {} };
    for (const QString &pattern : type.patterns)
        filter.patterns.append({ 0, pattern });
    return filter;
}

QVariantMap options(const SaveFileQuestion &question, const QString &token)
{
    QVariantMap options {
        { QStringLiteral("handle_token"), token },
        { QStringLiteral("modal"), true },
        { QStringLiteral("current_name"), question.proposedName },
    };
    if (!question.acceptLabel.isEmpty())
        options.insert(QStringLiteral("accept_label"), question.acceptLabel);
    if (!question.folder.isEmpty()) {
        // A path in the file system's encoding, with its terminating zero.
        QByteArray folder = QFile::encodeName(question.folder);
        folder.append('\0');
        options.insert(QStringLiteral("current_folder"), folder);
    }
    if (!question.types.isEmpty()) {
        QList<portal::Filter> filters;
        for (const SaveFileType &type : question.types)
            filters.append(toFilter(type));
        options.insert(QStringLiteral("filters"), QVariant::fromValue(filters));
        options.insert(QStringLiteral("current_filter"), QVariant::fromValue(filters.first()));
    }
    return options;
}

QStringList urisOf(const QVariantMap &results)
{
    const QVariant uris = results.value(QStringLiteral("uris"));
    if (uris.canConvert<QDBusArgument>())
        return qdbus_cast<QStringList>(uris.value<QDBusArgument>());
    return uris.toStringList();
}

// The request object's path that the portal will use for a token: known before the call, so
// that an answer sent at once is not missed.
QString expectedHandle(const QDBusConnection &bus, const QString &token)
{
    QString sender = bus.baseService();
    if (sender.startsWith(u':'))
        sender.remove(0, 1);
    sender.replace(u'.', u'_');
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

} // namespace

// One SaveFile question: the call, then the Response signal of the request object it names.
class PortalSaveRequest : public QObject
{
    Q_OBJECT

public:
    PortalSaveRequest(QDBusConnection bus, std::shared_ptr<PortalSaveFileChooser::State> state)
        : m_bus(std::move(bus))
        , m_state(std::move(state))
    { }

    ~PortalSaveRequest() override
    {
        if (!m_done)
            finish({ SaveFileAnswer::Outcome::Cancelled, {} });
    }

    QFuture<SaveFileAnswer> start(const SaveFileQuestion &question)
    {
        m_promise.start();
        const QString token = QStringLiteral("orvella_save_%1").arg(++m_state->requests);
        listen(expectedHandle(m_bus, token));
        QDBusMessage call = QDBusMessage::createMethodCall(
            desktopService, desktopPath, fileChooserInterface, QStringLiteral("SaveFile"));
        call << question.parentWindow << question.title << options(question, token);
        auto *watcher = new QDBusPendingCallWatcher(
            m_bus.asyncCall(call, int(m_state->callTimeout.count())), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
            watcher->deleteLater();
            called(*watcher);
        });
        return m_promise.future();
    }

    // Nobody waits any more: ends the desktop's dialog.
    void close()
    {
        if (m_done)
            return;
        if (!m_handle.isEmpty())
            m_bus.send(QDBusMessage::createMethodCall(
                desktopService, m_handle, requestInterface, QStringLiteral("Close")));
        finish({ SaveFileAnswer::Outcome::Cancelled, {} });
    }

public slots:
    void respond(uint response, const QVariantMap &results)
    {
        if (m_done)
            return;
        if (response == 1) {
            finish({ SaveFileAnswer::Outcome::Cancelled, {} });
            return;
        }
        if (response != 0) {
            // The portal's dialog ended without the viewer's choice (its back end failed).
            qCWarning(lcPlatform) << "The desktop's save dialog ended with code" << response;
            finish({ SaveFileAnswer::Outcome::Unavailable, {} });
            return;
        }
        const QStringList uris = urisOf(results);
        const QUrl chosen = uris.isEmpty() ? QUrl() : QUrl(uris.first());
        if (!chosen.isLocalFile()) {
            qCWarning(lcPlatform) << "The desktop's save dialog chose no local file:" << uris;
            finish({ SaveFileAnswer::Outcome::NotLocal, {} });
            return;
        }
        finish({ SaveFileAnswer::Outcome::Chosen, chosen.toLocalFile() });
    }

private:
    void called(const QDBusPendingCallWatcher &watcher)
    {
        const QDBusPendingReply<QDBusObjectPath> reply = watcher;
        if (m_done)
            return;
        if (reply.isError()) {
            m_state->missing = true;
            qCDebug(lcPlatform) << "No file chooser portal:" << reply.error().name()
                                << reply.error().message();
            finish({ SaveFileAnswer::Outcome::Unavailable, {} });
            return;
        }
        // Portals older than the handle token choose a path of their own.
        const QString handle = reply.value().path();
        if (handle != m_handle)
            listen(handle);
    }

    void listen(const QString &handle)
    {
        unlisten();
        m_handle = handle;
        m_bus.connect(desktopService, m_handle, requestInterface, QStringLiteral("Response"), this,
            SLOT(respond(uint, QVariantMap)));
    }

    void unlisten()
    {
        if (m_handle.isEmpty())
            return;
        m_bus.disconnect(desktopService, m_handle, requestInterface, QStringLiteral("Response"),
            this, SLOT(respond(uint, QVariantMap)));
    }

    void finish(const SaveFileAnswer &answer)
    {
        m_done = true;
        unlisten();
        m_promise.addResult(answer);
        m_promise.finish();
    }

    QDBusConnection m_bus;
    std::shared_ptr<PortalSaveFileChooser::State> m_state;
    QPromise<SaveFileAnswer> m_promise;
    QString m_handle;
    bool m_done = false;
};

PortalSaveFileChooser::PortalSaveFileChooser(std::chrono::milliseconds callTimeout)
    : m_state(std::make_shared<State>(State { callTimeout }))
{ }

PortalSaveFileChooser::~PortalSaveFileChooser() = default;

QCoro::Task<SaveFileAnswer> PortalSaveFileChooser::chooseSaveFile(
    SaveFileQuestion question, std::stop_token stop)
{
    // Everything used after the wait is held by the frame: the chooser may go meanwhile.
    const std::shared_ptr<State> state = m_state;
    SaveFileAnswer answer;
    if (state->missing || stop.stop_requested())
        co_return answer;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        state->missing = true;
        qCDebug(lcPlatform) << "No session bus for the desktop's save dialog";
        co_return answer;
    }
    registerTypes();
    auto request = std::make_unique<PortalSaveRequest>(bus, state);
    QFuture<SaveFileAnswer> answering = request->start(question);
    QPointer<PortalSaveRequest> asked = request.get();
    // Closed from the event loop, never inside whoever requested the stop.
    std::stop_callback closing(stop, [asked] {
        QMetaObject::invokeMethod(
            asked.data(),
            [asked] {
                if (asked)
                    asked->close();
            },
            Qt::QueuedConnection);
    });
    answer = co_await answering;
    co_return answer;
}

QString desktopWindowHandle(const QWindow *window)
{
    if (!window || QGuiApplication::platformName() != QStringLiteral("xcb"))
        return {};
    return QStringLiteral("x11:%1").arg(window->winId(), 0, 16);
}

} // namespace orvella

#include "SaveFileChooser.moc"
