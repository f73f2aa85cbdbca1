#include "platform/DBusSleepInhibitor.h"

#include "platform/PlatformLog.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>
#include <QGuiApplication>
#include <QHash>

namespace orvella {

namespace {
// A bus that answers slowly must not keep a claim waiting for long.
constexpr int callTimeoutMs = 1500;

const QString screenSaverService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString screenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString loginService = QStringLiteral("org.freedesktop.login1");
const QString loginPath = QStringLiteral("/org/freedesktop/login1");
const QString loginManager = QStringLiteral("org.freedesktop.login1.Manager");

// The name the desktop may show the viewer ("… is preventing sleep").
QString applicationName()
{
    const QString name = QGuiApplication::applicationDisplayName();
    return name.isEmpty() ? QStringLiteral("Orvella TV") : name;
}

void unInhibitScreenSaver(std::uint32_t cookie)
{
    // At exit the bus may already be gone; the screen saver drops our claims with the
    // connection anyway.
    if (cookie == 0 || !QCoreApplication::instance())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    auto message = QDBusMessage::createMethodCall(
        screenSaverService, screenSaverPath, screenSaverService, QStringLiteral("UnInhibit"));
    message << cookie;
    bus.asyncCall(message);
}
} // namespace

struct DBusSleepInhibitor::Claims
{
    struct Claim
    {
        bool granted = false;
        std::uint32_t screenSaverCookie = 0;
        // The idle claim ends when the last copy of its descriptor closes.
        QDBusUnixFileDescriptor idleDescriptor;
    };
    std::uint32_t nextId = 1;
    QHash<std::uint32_t, Claim> held;

    // Sends the claim and files its answer under a new id, returned at once.
    std::uint32_t ask(QDBusConnection bus, const QDBusMessage &message, bool display)
    {
        if (!bus.isConnected())
            return 0;
        const std::uint32_t id = nextId++;
        held.insert(id, {});
        auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(message, callTimeoutMs));
        std::weak_ptr<Claims> claims = self;
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
            [claims, id, display](QDBusPendingCallWatcher *call) {
                call->deleteLater();
                const QDBusMessage reply = call->reply();
                std::shared_ptr<Claims> owner = claims.lock();
                const bool wanted = owner && owner->held.contains(id);
                if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
                    qCWarning(lcPlatform, "%s sleep could not be prevented: %s",
                        display ? "Display" : "Idle", qPrintable(call->error().message()));
                    if (wanted)
                        owner->held.remove(id);
                    return;
                }
                const QVariant value = reply.arguments().constFirst();
                if (!wanted) {
                    // Released while the bus was answering: give the claim back now.
                    if (display)
                        unInhibitScreenSaver(value.toUInt());
                    return;
                }
                Claim &claim = owner->held[id];
                claim.granted = true;
                if (display)
                    claim.screenSaverCookie = value.toUInt();
                else
                    claim.idleDescriptor = value.value<QDBusUnixFileDescriptor>();
            });
        return id;
    }

    std::weak_ptr<Claims> self;
};

DBusSleepInhibitor::DBusSleepInhibitor()
    : m_claims(std::make_shared<Claims>())
{
    m_claims->self = m_claims;
}

DBusSleepInhibitor::~DBusSleepInhibitor()
{
    const auto ids = m_claims->held.keys();
    for (const auto id : ids)
        release(id);
}

std::uint32_t DBusSleepInhibitor::inhibitDisplaySleep(const QString &reason)
{
    auto message = QDBusMessage::createMethodCall(
        screenSaverService, screenSaverPath, screenSaverService, QStringLiteral("Inhibit"));
    message << applicationName() << reason;
    return m_claims->ask(QDBusConnection::sessionBus(), message, true);
}

std::uint32_t DBusSleepInhibitor::inhibitIdleSleep(const QString &reason)
{
    auto message = QDBusMessage::createMethodCall(
        loginService, loginPath, loginManager, QStringLiteral("Inhibit"));
    message << QStringLiteral("idle") << applicationName() << reason << QStringLiteral("block");
    return m_claims->ask(QDBusConnection::systemBus(), message, false);
}

void DBusSleepInhibitor::release(std::uint32_t id)
{
    // A claim not yet granted is given back by its answer, which no longer finds it held.
    const auto claim = m_claims->held.take(id);
    if (claim.granted)
        unInhibitScreenSaver(claim.screenSaverCookie);
}

} // namespace orvella
