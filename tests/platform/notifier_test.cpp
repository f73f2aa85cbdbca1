#include "platform/FreedesktopNotifier.h"
#include "support/NotificationServiceDouble.h"
#include "support/TestAsync.h"

#include <QDBusConnection>
#include <gtest/gtest.h>

namespace {

TEST(FreedesktopNotifier, SendsNotifyToTheSessionNotificationService)
{
    if (!QDBusConnection::sessionBus().isConnected())
        GTEST_SKIP() << "no session bus";
    orvella::test::NotificationServiceDouble server;
    if (!server.isRunning())
        GTEST_SKIP() << "a notification service already runs on this bus";

    // It reaches the session bus at its first notification.
    orvella::FreedesktopNotifier notifier;
    notifier.post(QStringLiteral("event_active_0"), QStringLiteral("Healing Service"),
        QStringLiteral("A Orvella event is active. Watch live on Orvella."));

    orvella::test::waitUntil([&] { return !server.calls().isEmpty(); }, std::chrono::seconds(5));
    ASSERT_EQ(server.calls().size(), 1);
    EXPECT_EQ(server.calls()[0].appName, "Orvella TV");
    EXPECT_EQ(server.calls()[0].summary, "Healing Service");
    EXPECT_EQ(server.calls()[0].body, "A Orvella event is active. Watch live on Orvella.");
    EXPECT_TRUE(server.calls()[0].hints.contains("sound-name"));
}

} // namespace
