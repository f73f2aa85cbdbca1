// Device-code sign-in against the service double, on a manual clock.
#include "AccountHarness.h"
#include "api/APIError.h"
#include "api/KeychainStore.h"
#include "core/LocalHistory.h"

#include <QElapsedTimer>
#include <QJsonDocument>

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

const QString waiting = QStringLiteral("Waiting for Parlino / Orvella Mobile approval…");
const QString expired = QStringLiteral("Code expired — request a new one");

class SignIn : public AccountHarness
{
protected:
    LoginScreenModel &start(const QJsonObject &code = deviceCode(),
        QList<ScriptedAnswer> answers = { pollError("AUTHORIZATION_PENDING") })
    {
        LoginScreenModel &screen = signIn(code, std::move(answers));
        screen.appear();
        EXPECT_TRUE(waitUntil([&] { return screen.hasCode() || screen.hasPairingError(); }));
        return screen;
    }
};

TEST_F(SignIn, CodeRequestThenTheFirstPollOneDelayLater)
{
    LoginScreenModel &screen = start();
    const RecordedRequest code = service.requests("POST", "tv/device/code").first();
    EXPECT_EQ(code.body,
        R"({"device_id":")" + OrvellaAPIClient::deviceId().toUtf8()
            + R"(","platform":"androidtv","model":"Mac — test-host","app_version":"1.0.1"})");
    EXPECT_EQ(code.header("X-Platform"), "androidtv");
    EXPECT_EQ(screen.pairingStatus(), waiting);
    EXPECT_TRUE(screen.pairing());
    EXPECT_EQ(screen.userCode(), QStringLiteral("ORV-1234"));
    EXPECT_EQ(screen.linkText(), QStringLiteral("https://orvella.example/activate"));

    expectPollAfter(5s);
    const RecordedRequest poll = service.requests("POST", "tv/device/token").first();
    EXPECT_EQ(poll.body,
        R"({"device_code":"dc-1","device_id":")" + OrvellaAPIClient::deviceId().toUtf8() + "\"}");
    EXPECT_EQ(poll.header("X-Platform"), "androidtv");
    EXPECT_EQ(poll.header("Content-Type"), "application/json");
    EXPECT_TRUE(poll.header("Authorization").isEmpty());
}

TEST_F(SignIn, AnEmptyHostNameIsSentAsMacAndCodesWithoutLinksStillShowAQrCode)
{
    service.on("POST", "tv/device/code",
        ScriptedAnswer::envelope(deviceCode({ { "verification_url", QJsonValue::Null } })));
    AppModel &app = build();
    LoginScreenModel &screen = makeLogin(app);
    screen.setHostName(QString());
    screen.appear();
    ASSERT_TRUE(waitUntil([&] { return screen.hasCode(); }));
    EXPECT_EQ(service.requests("POST", "tv/device/code").first().json()["model"].toString(), "Mac");
    EXPECT_TRUE(screen.linkText().isEmpty());
    EXPECT_TRUE(screen.qrText().endsWith(QStringLiteral("/activate")));
}

TEST_F(SignIn, TheWaitFollowsTheIntervalAndGrowsWithEachSlowDown)
{
    const struct
    {
        QJsonValue interval;
        std::chrono::milliseconds first;
    } cases[] = { { QJsonValue::Null, 5s }, { 0, 3s }, { 2, 3s }, { -7, 3s }, { 10, 10s } };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.interval.toVariant().toString().toStdString());
        service.clearRequests();
        LoginScreenModel &screen = start(deviceCode({ { "interval", c.interval } }));
        expectPollAfter(c.first);
        expectPollAfter(c.first);
        screen.disappear();
    }
    // Two SLOW_DOWNs with interval 5: then 10 and 15 seconds.
    service.clearRequests();
    LoginScreenModel &screen = start(deviceCode(),
        { pollError("SLOW_DOWN"), pollError("SLOW_DOWN"), pollError("AUTHORIZATION_PENDING") });
    expectPollAfter(5s);
    EXPECT_EQ(screen.pairingStatus(), QStringLiteral("Slowing down…"));
    expectPollAfter(10s);
    expectPollAfter(15s);
    EXPECT_EQ(screen.pairingStatus(), waiting);
}

TEST_F(SignIn, EachFailedPollSetsItsStatusAndEndsOrKeepsTheLoop)
{
    const struct
    {
        const char *name;
        ScriptedAnswer answer;
        QString status;
        QString error; // "" for none
        bool keepsPolling;
    } cases[] = {
        { "pending", pollError("AUTHORIZATION_PENDING"), waiting, {}, true },
        { "expired", pollError("EXPIRED_TOKEN"), expired, {}, false },
        { "denied", pollError("ACCESS_DENIED"), QStringLiteral("Access denied"),
            QStringLiteral("Sign-in was denied on your phone."), false },
        { "403 without message", ScriptedAnswer::empty(403),
            QStringLiteral("Sign-in was blocked by the server (forbidden). Check your network, "
                           "then tap Get New Code."),
            {}, true },
        { "500 with a code but no message",
            ScriptedAnswer::json(
                QJsonObject { { "status", "error" }, { "code", "AUTHORIZATION_PENDING" } }, 500),
            httpReasonPhrase(500), {}, true },
        { "other code", pollError("RATE_LIMITED"), QStringLiteral("Poll answer"), {}, true },
        { "transport", ScriptedAnswer::envelope(tokens()).truncatedAfter(10), {}, {}, true },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        service.clearRequests();
        LoginScreenModel &screen = start(deviceCode(), { c.answer });
        expectPollAfter(5s);
        ASSERT_TRUE(waitUntil([&] { return screen.pairingStatus() != waiting || c.keepsPolling; }));
        spinFor(100ms);
        if (!c.status.isEmpty())
            EXPECT_EQ(screen.pairingStatus(), c.status);
        else
            EXPECT_NE(screen.pairingStatus(), waiting);
        EXPECT_EQ(screen.pairingErrorText(), c.error);
        EXPECT_EQ(screen.pairing(), c.keepsPolling);
        EXPECT_TRUE(screen.hasCode());
        advance(5s);
        // The next poll's answer can take a while on a loaded machine: wait for it, or make
        // sure none comes.
        if (c.keepsPolling) {
            EXPECT_TRUE(waitUntil([&] { return polls() == 2; }));
        } else {
            spinFor(100ms);
            EXPECT_EQ(polls(), 1);
        }
        screen.disappear();
    }
}

TEST_F(SignIn, TheDeadlineEndsTheLoopWithoutAFurtherRequest)
{
    // expires_in 0: no request at all.
    LoginScreenModel &none = start(deviceCode({ { "expires_in", 0 } }));
    EXPECT_EQ(none.pairingStatus(), expired);
    EXPECT_FALSE(none.pairing());
    advance(60s);
    EXPECT_EQ(polls(), 0);

    // A wait never runs past the deadline: 7 s with 5-second waits gives one request.
    LoginScreenModel &short_ = start(deviceCode({ { "expires_in", 7 } }));
    expectPollAfter(5s);
    advance(2s);
    EXPECT_EQ(short_.pairingStatus(), expired);
    advance(60s);
    EXPECT_EQ(polls(), 1);

    // Intervals and lifetimes beyond any range saturate instead of wrapping round.
    service.clearRequests();
    LoginScreenModel &huge
        = start(deviceCode({ { "interval", 9.3e15 }, { "expires_in", 9.2e18 } }));
    advance(24h * 365);
    EXPECT_EQ(polls(), 0);
    EXPECT_TRUE(huge.pairing());
}

TEST_F(SignIn, APendingAnswerArrivingAtTheDeadlineEndsAsExpired)
{
    LoginScreenModel &screen = start(deviceCode({ { "expires_in", 6 } }),
        { pollError("AUTHORIZATION_PENDING").withDelay(300ms) });
    screenClock.advance(5s);
    ASSERT_TRUE(waitUntil([&] { return polls() == 1; }));
    screenClock.advance(2s); // the deadline passes while the request is out
    ASSERT_TRUE(waitUntil([&] { return screen.pairingStatus() == expired; }));
    EXPECT_FALSE(screen.pairing());
    EXPECT_EQ(polls(), 1);
}

TEST_F(SignIn, GetNewCodeSupersedesTheLoopDuringAWaitAndDuringARequest)
{
    LoginScreenModel &screen = start(deviceCode(),
        { pollError("AUTHORIZATION_PENDING").withDelay(300ms),
            pollError("AUTHORIZATION_PENDING") });
    // During a request: its answer changes nothing, and only the new code is polled.
    screenClock.advance(5s);
    ASSERT_TRUE(waitUntil([&] { return polls() == 1; }));
    service.on("POST", "tv/device/code",
        ScriptedAnswer::envelope(deviceCode({ { "device_code", "dc-2" } })));
    screen.requestNewCode();
    EXPECT_FALSE(screen.hasCode());
    ASSERT_TRUE(waitUntil([&] { return screen.code() && screen.code()->device_code == "dc-2"; }));
    spinFor(400ms);
    EXPECT_EQ(screen.pairingStatus(), waiting);
    expectPollAfter(5s);
    // During a wait: the old loop sends nothing more.
    advance(2s);
    screen.requestNewCode();
    ASSERT_TRUE(waitUntil([&] { return screen.hasCode(); }));
    expectPollAfter(5s);
    advance(4s);
    EXPECT_EQ(polls(), 3);
    for (const RecordedRequest &poll : service.requests("POST", "tv/device/token").mid(1))
        EXPECT_EQ(poll.json()["device_code"].toString(), "dc-2");
}

TEST_F(SignIn, OnlyTheNewestCodeRequestCountsAndAFailedStartShowsItsError)
{
    service.on("POST", "tv/device/code",
        { ScriptedAnswer::envelope(deviceCode()).withDelay(300ms),
            ScriptedAnswer::error(500, QStringLiteral("Code service down")) });
    AppModel &app = build();
    LoginScreenModel &screen = makeLogin(app);
    screen.appear();
    ASSERT_TRUE(waitUntil([&] { return service.requests("POST", "tv/device/code").size() == 1; }));
    screen.requestNewCode(); // the delayed first answer is dropped
    spinFor(500ms);
    EXPECT_FALSE(screen.hasCode());
    EXPECT_EQ(screen.pairingStatus(), QStringLiteral("Could not start Parlino sign-in"));
    EXPECT_EQ(screen.pairingErrorText(), QStringLiteral("Code service down"));
    EXPECT_FALSE(screen.pairing());
    advance(60s);
    EXPECT_EQ(polls(), 0);
}

TEST_F(SignIn, LeavingStopsAtOnceDuringAWaitOrARequest)
{
    LoginScreenModel &screen
        = start(deviceCode(), { pollError("AUTHORIZATION_PENDING").withDelay(300ms) });
    advance(2s);
    screen.disappear();
    advance(60s);
    EXPECT_EQ(polls(), 0);
    EXPECT_EQ(screen.pairingStatus(), waiting);

    LoginScreenModel &again = start(deviceCode(), { pollError("ACCESS_DENIED").withDelay(300ms) });
    screenClock.advance(5s);
    ASSERT_TRUE(waitUntil([&] { return polls() == 1; }));
    again.disappear();
    spinFor(500ms);
    EXPECT_EQ(again.pairingStatus(), waiting); // the answer was not read
}

TEST_F(SignIn, ApprovalStoresTheSessionUploadsHistoryLoadsTheViewerAndShowsLive)
{
    LocalHistoryEntry watched;
    watched.episodeId = QStringLiteral("e9");
    watched.position = 30;
    watched.duration = 600;
    watched.updatedAt = 1'700'000'000;
    LocalHistoryStore::store({ watched });
    scriptStartup();
    service.on("POST", "user/history", ScriptedAnswer::envelope(QJsonObject {}));
    LoginScreenModel &screen = start(
        deviceCode(), { pollError("AUTHORIZATION_PENDING"), ScriptedAnswer::envelope(tokens()) });
    AppModel &app = *model;
    // The root view destroys the screen when the route changes.
    QObject::connect(&app, &AppModel::routeChanged, [this] { login.reset(); });
    expectPollAfter(5s);
    expectPollAfter(5s);
    ASSERT_TRUE(waitUntil([&] { return app.route() == MacRoute::Live; }));
    EXPECT_FALSE(login);
    EXPECT_FALSE(app.isGuest());
    EXPECT_EQ(KeychainStore::get(QStringLiteral("access_token")), QStringLiteral("new-access"));
    EXPECT_EQ(service.requests("POST", "user/history").size(), 1);
    EXPECT_EQ(service.requests("GET", "user/continue-watching").first().header("Authorization"),
        "Bearer new-access");
    EXPECT_EQ(service.requests("GET", "user/profile").size(), 1);
    (void)screen;
}

TEST(SystemClock, ASleepBeyondATimersRangeDoesNotWrapRound)
{
    std::stop_source stop;
    bool woke = false;
    [](std::stop_token token, bool &done) -> QCoro::Task<> {
        co_await Clock::system().sleep(std::chrono::milliseconds((1LL << 32) + 5), token);
        done = true;
    }(stop.get_token(), woke);
    spinFor(100ms);
    EXPECT_FALSE(woke);
    stop.request_stop();
    EXPECT_TRUE(waitUntil([&] { return woke; }, 1s));
}

// A hold of 0.9 s lasts 0.9 s: Qt's default, coarse timers may fire up to 5 % early.
TEST(SystemClock, ASleepNeverEndsEarly)
{
    for (const auto duration : { 330ms, 470ms, 900ms }) {
        bool woke = false;
        QElapsedTimer elapsed;
        elapsed.start();
        [](std::chrono::milliseconds duration, bool &done) -> QCoro::Task<> {
            co_await Clock::system().sleep(duration, {});
            done = true;
        }(duration, woke);
        ASSERT_TRUE(waitUntil([&] { return woke; }, 2s));
        EXPECT_GE(elapsed.elapsed(), duration.count());
    }
}

} // namespace
} // namespace orvella::test
