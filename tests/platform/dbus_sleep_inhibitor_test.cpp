#include "platform/DBusSleepInhibitor.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QObject>
#include <gtest/gtest.h>

using namespace orvella;

namespace {

// A screen saver on the test's session bus that records what it is asked.
class FakeScreenSaver : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    QStringList reasons;
    QList<uint> released;

public slots:
    uint Inhibit(const QString &application, const QString &reason)
    {
        Q_UNUSED(application);
        reasons.append(reason);
        return 40 + uint(reasons.size());
    }
    void UnInhibit(uint cookie) { released.append(cookie); }
};

TEST(DBusSleepInhibitorTest, HoldsAndReleasesTheScreenSaverClaim)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        GTEST_SKIP() << "no session bus (tools/test runs the tests under dbus-run-session)";
    FakeScreenSaver saver;
    ASSERT_TRUE(bus.registerObject(
        QStringLiteral("/org/freedesktop/ScreenSaver"), &saver, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));

    {
        DBusSleepInhibitor inhibitor;
        const auto id = inhibitor.inhibitDisplaySleep(QStringLiteral("Orvella Live"));
        ASSERT_NE(id, 0u);
        EXPECT_EQ(saver.reasons, QStringList { QStringLiteral("Orvella Live") });
        inhibitor.release(id);
        ASSERT_TRUE([&] {
            for (int i = 0; i < 100 && saver.released.isEmpty(); ++i)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            return !saver.released.isEmpty();
        }());
        EXPECT_EQ(saver.released, QList<uint> { 41 });
        inhibitor.release(id); // a second release of the same claim asks nothing
        QCoreApplication::processEvents();
        EXPECT_EQ(saver.released.size(), 1);
    }

    bus.unregisterService(QStringLiteral("org.freedesktop.ScreenSaver"));
    bus.unregisterObject(QStringLiteral("/org/freedesktop/ScreenSaver"));
    DBusSleepInhibitor without;
    EXPECT_EQ(without.inhibitDisplaySleep(QStringLiteral("Orvella Live")), 0u)
        << "no screen saver: the claim fails quietly";
}

} // namespace

#include "dbus_sleep_inhibitor_test.moc"
