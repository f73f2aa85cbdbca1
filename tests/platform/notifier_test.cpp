#include "platform/FreedesktopNotifier.h"
#include "support/TestAsync.h"

#include <QDBusConnection>
#include <QObject>
#include <QVariantMap>
#include <gtest/gtest.h>

namespace {

// A stand-in notification daemon on the session bus that records what it is sent.
class FakeNotificationServer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Call
    {
        QString appName, summary, body;
        QVariantMap hints;
    };
    QList<Call> calls;

public slots:
    uint Notify(const QString &appName, uint replacesId, const QString &icon,
        const QString &summary, const QString &body, const QStringList &actions,
        const QVariantMap &hints, int timeout)
    {
        Q_UNUSED(replacesId);
        Q_UNUSED(icon);
        Q_UNUSED(actions);
        Q_UNUSED(timeout);
        calls.append({ appName, summary, body, hints });
        return uint(calls.size());
    }
};

TEST(FreedesktopNotifier, SendsNotifyToTheSessionNotificationService)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        GTEST_SKIP() << "no session bus";
    // A private connection plays the daemon, so the service name is ours for this test only.
    QDBusConnection daemonBus
        = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake-daemon"));
    FakeNotificationServer server;
    ASSERT_TRUE(daemonBus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &server,
        QDBusConnection::ExportAllSlots));
    if (!daemonBus.registerService(QStringLiteral("org.freedesktop.Notifications")))
        GTEST_SKIP() << "a notification service already runs on this bus";

    // It reaches the session bus at its first notification.
    orvella::FreedesktopNotifier notifier;
    notifier.post(QStringLiteral("event_active_0"), QStringLiteral("Healing Service"),
        QStringLiteral("A Orvella event is active. Watch live on Orvella."));

    orvella::test::waitUntil([&] { return !server.calls.isEmpty(); }, std::chrono::seconds(5));
    daemonBus.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
    QDBusConnection::disconnectFromBus(QStringLiteral("fake-daemon"));
    ASSERT_EQ(server.calls.size(), 1);
    EXPECT_EQ(server.calls[0].appName, "Orvella TV");
    EXPECT_EQ(server.calls[0].summary, "Healing Service");
    EXPECT_EQ(server.calls[0].body, "A Orvella event is active. Watch live on Orvella.");
    EXPECT_TRUE(server.calls[0].hints.contains("sound-name"));
}

} // namespace

#include "notifier_test.moc"
