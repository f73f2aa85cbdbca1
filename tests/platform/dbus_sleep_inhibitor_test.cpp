#include "platform/DBusSleepInhibitor.h"
#include "support/TestAsync.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <gtest/gtest.h>

using namespace orvella;
using orvella::test::waitUntil;

namespace {

const QString service = QStringLiteral("org.freedesktop.ScreenSaver");
const QString path = QStringLiteral("/org/freedesktop/ScreenSaver");

// A screen saver on its own connection to the test's session bus that records what it is
// asked, in order; a slow one holds its answers until told to give them.
class FakeScreenSaver : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    explicit FakeScreenSaver(QDBusConnection bus)
        : m_bus(bus)
    { }
    QStringList calls;
    bool slow = false;
    QList<QDBusMessage> waiting;
    QStringList applications;

    void answer()
    {
        for (const QDBusMessage &call : std::exchange(waiting, {}))
            m_bus.send(call.createReply(uint(40 + calls.size())));
    }

public slots:
    uint Inhibit(const QString &application, const QString &reason)
    {
        applications.append(application);
        calls.append(QStringLiteral("Inhibit ") + reason);
        if (slow) {
            setDelayedReply(true);
            waiting.append(message());
        }
        return 40 + uint(calls.size());
    }
    void UnInhibit(uint cookie) { calls.append(QStringLiteral("UnInhibit %1").arg(cookie)); }

private:
    QDBusConnection m_bus;
};

class DBusSleepInhibitorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!QDBusConnection::sessionBus().isConnected())
            GTEST_SKIP() << "no session bus (tools/test runs the tests under dbus-run-session)";
        saver = std::make_unique<FakeScreenSaver>(bus);
        ASSERT_TRUE(bus.registerObject(path, saver.get(), QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(bus.registerService(service));
    }
    void TearDown() override
    {
        if (!saver)
            return;
        bus.unregisterService(service);
        bus.unregisterObject(path);
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-screen-saver"));
    }

    QDBusConnection bus = QDBusConnection::connectToBus(
        QDBusConnection::SessionBus, QStringLiteral("fake-screen-saver"));
    std::unique_ptr<FakeScreenSaver> saver;
};

TEST_F(DBusSleepInhibitorTest, HoldsAndReleasesTheScreenSaverClaim)
{
    DBusSleepInhibitor inhibitor;
    const auto id = inhibitor.inhibitDisplaySleep(QStringLiteral("Orvella Live"));
    ASSERT_NE(id, 0u);
    ASSERT_TRUE(waitUntil([&] { return saver->calls.size() == 1; }));
    QCoreApplication::processEvents(); // the answer reaches the inhibitor
    inhibitor.release(id);
    ASSERT_TRUE(waitUntil([&] { return saver->calls.size() == 2; }));
    EXPECT_EQ(saver->calls,
        (QStringList { QStringLiteral("Inhibit Orvella Live"), QStringLiteral("UnInhibit 41") }));
    // Named as the viewer knows the client, not by its settings folder's name.
    EXPECT_EQ(saver->applications, QStringList { QStringLiteral("Orvella TV") });
    inhibitor.release(id); // a second release of the same claim asks nothing
    QCoreApplication::processEvents();
    EXPECT_EQ(saver->calls.size(), 2);
}

TEST_F(
    DBusSleepInhibitorTest, ASlowBusDoesNotHoldUpTheCallerAndAnEarlyReleaseStillGivesTheClaimBack)
{
    saver->slow = true;
    DBusSleepInhibitor inhibitor;
    // The claim returns before the screen saver has even seen it (a blocking call would have
    // waited out its time-out here, since the screen saver answers on this thread).
    const auto id = inhibitor.inhibitDisplaySleep(QStringLiteral("Orvella Live"));
    ASSERT_NE(id, 0u);
    EXPECT_TRUE(saver->calls.isEmpty());
    ASSERT_TRUE(waitUntil([&] { return saver->waiting.size() == 1; }));
    inhibitor.release(id);
    const auto second = inhibitor.inhibitDisplaySleep(QStringLiteral("Again"));
    ASSERT_TRUE(waitUntil([&] { return saver->waiting.size() == 2; }));
    saver->answer(); // both answered at once, with cookie 42
    ASSERT_TRUE(waitUntil([&] { return saver->calls.size() == 3; }));
    EXPECT_EQ(saver->calls,
        (QStringList { QStringLiteral("Inhibit Orvella Live"), QStringLiteral("Inhibit Again"),
            QStringLiteral("UnInhibit 42") }))
        << "the claim released before its answer is given back once the answer comes, after "
           "it was made; the later claim stays held";
    inhibitor.release(second);
    ASSERT_TRUE(waitUntil([&] { return saver->calls.size() == 4; }));
}

} // namespace

#include "dbus_sleep_inhibitor_test.moc"
