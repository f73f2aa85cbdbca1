#include "platform/FreedesktopNotifier.h"

#include <QDBusMessage>
#include <QVariantMap>

namespace orvella {

FreedesktopNotifier::FreedesktopNotifier(QDBusConnection connection)
    : m_connection(std::move(connection))
{ }

void FreedesktopNotifier::post(const QString &id, const QString &title, const QString &body)
{
    Q_UNUSED(id);
    if (!m_connection.isConnected())
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
    m_connection.send(call);
}

std::unique_ptr<Notifier> makeDesktopNotifier()
{
    return std::make_unique<FreedesktopNotifier>();
}

} // namespace orvella
