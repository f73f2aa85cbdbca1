#include "support/NotificationServiceDouble.h"

#include "support/TestAsync.h"

#include <QDBusMessage>
#include <QDBusPendingCall>

namespace orvella::test {

namespace {
const QString connectionName = QStringLiteral("notification-service-double");
const QString serviceName = QStringLiteral("org.freedesktop.Notifications");
} // namespace

NotificationServiceDouble::NotificationServiceDouble()
    : m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName))
{
    m_running = m_bus.isConnected()
        && m_bus.registerObject(
            QStringLiteral("/org/freedesktop/Notifications"), this, QDBusConnection::ExportAllSlots)
        && m_bus.registerService(serviceName);
}

NotificationServiceDouble::~NotificationServiceDouble()
{
    if (m_running)
        m_bus.unregisterService(serviceName);
    m_bus.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
    QDBusConnection::disconnectFromBus(connectionName);
}

uint NotificationServiceDouble::Notify(const QString &appName, uint replacesId, const QString &icon,
    const QString &summary, const QString &body, const QStringList &actions,
    const QVariantMap &hints, int timeout)
{
    Q_UNUSED(replacesId);
    Q_UNUSED(icon);
    Q_UNUSED(actions);
    Q_UNUSED(timeout);
    m_calls.append({ appName, summary, body, hints });
    return uint(m_calls.size());
}

QStringList NotificationServiceDouble::GetCapabilities() const
{
    return { QStringLiteral("body") };
}

bool NotificationServiceDouble::roundTrip() const
{
    const QDBusPendingCall call
        = QDBusConnection::sessionBus().asyncCall(QDBusMessage::createMethodCall(serviceName,
            QStringLiteral("/org/freedesktop/Notifications"), serviceName,
            QStringLiteral("GetCapabilities")));
    return waitUntil([&] { return call.isFinished(); }) && !call.isError();
}

} // namespace orvella::test
