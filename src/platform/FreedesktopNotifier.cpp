#include "platform/FreedesktopNotifier.h"

#include "platform/PlatformLog.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QVariantMap>

namespace orvella {

void FreedesktopNotifier::post(const QString &id, const QString &title, const QString &body)
{
    Q_UNUSED(id);
    if (!m_connection) {
        m_connection = QDBusConnection::sessionBus();
        if (!m_connection->isConnected())
            qCWarning(lcPlatform) << "No session bus: reminders are not shown"
                                  << m_connection->lastError().message();
    }
    if (!m_connection->isConnected())
        return;
    QDBusMessage call
        = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"),
            QStringLiteral("/org/freedesktop/Notifications"),
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    const QVariantMap hints {
        { QStringLiteral("sound-name"), QStringLiteral("message-new-instant") },
        { QStringLiteral("urgency"), QVariant::fromValue<uchar>(1) },
    };
    call << QStringLiteral("Orvella TV") // app_name
         << 0u // replaces_id
         << QString() // app_icon
         << title << body << QStringList() // actions
         << hints << -1; // expire_timeout: the server's default
    m_connection->send(call);
}

std::unique_ptr<Notifier> makeDesktopNotifier()
{
    return std::make_unique<FreedesktopNotifier>();
}

} // namespace orvella
