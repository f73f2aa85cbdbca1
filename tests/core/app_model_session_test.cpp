#include "AppModelHarness.h"
#include "app/Application.h"
#include "core/LocalHistory.h"
#include "support/FileModes.h"
#include "support/ReadOnlySettingsFolder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QJsonDocument>

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

class Session : public AppModelHarness
{
protected:
    // Runs start-up to its end, as the application's constructor would start it.
    void runBootstrap(AppModel &app) { runTask(app.bootstrap()); }

    [[nodiscard]] QList<RecordedRequest> requestsTo(const QString &path) const
    {
        QList<RecordedRequest> matching;
        for (const RecordedRequest &request : service.requests()) {
            if (request.apiPath() == path)
                matching.append(request);
        }
        return matching;
    }
};

TEST_F(Session, WithoutTokensStartUpGoesToSignInAndSendsNothing)
{
    client->setAccessToken(QStringLiteral("left-over"));
    AppModel &app = build();
    QList<MacRoute::Value> routes;
    QObject::connect(&app, &AppModel::routeChanged, [&] { routes.append(app.route()); });
    app.navigate(MacRoute::Maintenance);
    routes.clear();
    runBootstrap(app);
    EXPECT_EQ(routes, (QList<MacRoute::Value> { MacRoute::Splash, MacRoute::Login }));
    EXPECT_TRUE(app.isGuest());
    EXPECT_FALSE(client->accessToken());
    spinFor(50ms);
    EXPECT_EQ(service.requestCount(), 0);
}

TEST_F(Session, OneTokenAloneIsNoSession)
{
    QSettings().setValue("orvella.session.access_token", "only-access");
    AppModel &app = build();
    runBootstrap(app);
    EXPECT_TRUE(app.isGuest());
    EXPECT_EQ(app.route(), MacRoute::Login);
    spinFor(50ms);
    EXPECT_EQ(service.requestCount(), 0);
}

TEST_F(Session, SignedInStartUpLoadsEverythingWithTheStoredTokenThenTheProfile)
{
    storeSession(600);
    scriptStartup(sampleConfig(QJsonObject { { "macos", "1.0.0" }, { "androidtv", "9" } }));
    AppModel &app = build();
    runBootstrap(app);

    EXPECT_EQ(app.route(), MacRoute::Live);
    EXPECT_FALSE(app.isGuest());
    EXPECT_FALSE(app.bootstrapError());
    ASSERT_TRUE(app.config());
    ASSERT_TRUE(app.home());
    EXPECT_EQ(app.continueWatching().size(), 1);
    EXPECT_EQ(app.programsCache().size(), 1);
    ASSERT_TRUE(app.liveStreamCache());
    ASSERT_TRUE(app.profile());
    EXPECT_EQ(app.profile()->name, QStringLiteral("Ada Lovelace"));
    EXPECT_EQ(app.settings()->displayName(), "Ada Lovelace");
    EXPECT_EQ(app.settings()->zone(), "Zone 7");

    // Four loads beside the configuration, then the profile; no refresh with ten minutes left.
    const QStringList lines = requestLines();
    ASSERT_EQ(lines.size(), 6) << lines.join(", ").toStdString();
    EXPECT_EQ(QSet<QString>(lines.begin(), lines.end() - 1),
        (QSet<QString> { "GET tv/config", "GET live/stream", "GET tv/home",
            "GET user/continue-watching", "GET programs" }));
    EXPECT_EQ(lines.last(), "GET user/profile");
    EXPECT_EQ(requestsTo("live/stream").first().queryValue("lang"), "en");
    EXPECT_EQ(requestsTo("programs").first().queryValue("page"), "1");
    EXPECT_EQ(requestsTo("programs").first().queryValue("per_page"), "60");
    // The stored token is on the very first authorised loads.
    EXPECT_EQ(
        requestsTo("user/continue-watching").first().header("Authorization"), "Bearer access-1");
    EXPECT_FALSE(requestsTo("tv/config").first().hasHeader("Authorization"));

    // The live stream was preloaded, not started.
    ASSERT_EQ(player->loads.size(), 1u);
    EXPECT_EQ(player->loads[0].url, QUrl("http://127.0.0.1:9/live/en.m3u8"));
    EXPECT_EQ(player->playCalls, 0);
}

TEST_F(Session, StartUpWithAnExpiringTokenRefreshesBesideTheLoads)
{
    storeSession(240);
    scriptStartup();
    service.on("POST", "auth/refresh",
        ScriptedAnswer::envelope(
            QJsonObject { { "access_token", "access-2" }, { "refresh_token", "refresh-2" } }));
    AppModel &app = build();
    runBootstrap(app);
    ASSERT_TRUE(waitUntil([&] { return client->accessToken() == QStringLiteral("access-2"); }));
    QStringList lines = requestLines();
    lines.sort();
    EXPECT_EQ(lines,
        (QStringList { "GET live/stream", "GET programs", "GET tv/config", "GET tv/home",
            "GET user/continue-watching", "GET user/profile", "POST auth/refresh" }));
    EXPECT_EQ(app.route(), MacRoute::Live);
}

TEST_F(Session, StartUpWithARejectedRefreshEndsOnSignIn)
{
    storeSession(std::nullopt);
    scriptStartup();
    service.on("POST", "auth/refresh", ScriptedAnswer::error(401, "Invalid", "TOKEN_INVALID"));
    service.on("DELETE", "tv/device", ScriptedAnswer::envelope(QJsonObject {}));
    AppModel &app = build();
    runBootstrap(app);
    ASSERT_TRUE(waitUntil([&] { return app.isGuest(); }));
    ASSERT_TRUE(service.waitForRequests("DELETE", "tv/device", 1));
    EXPECT_EQ(app.route(), MacRoute::Login);
    EXPECT_FALSE(QSettings().contains("orvella.session.refresh_token"));
    EXPECT_TRUE(app.continueWatching().isEmpty());
}

TEST_F(Session, ATokenNearItsEndIsRefreshedAndStored)
{
    for (const std::optional<double> expiresIn :
        { std::optional<double>(240), std::optional<double>() }) {
        SCOPED_TRACE(expiresIn ? "four minutes left" : "no stored expiry");
        service.clearRequests();
        QSettings().clear();
        storeSession(expiresIn);
        service.on("POST", "auth/refresh",
            ScriptedAnswer::envelope(QJsonObject { { "access_token", "access-2" },
                { "refresh_token", "refresh-2" }, { "expires_in", 600 } }));
        AppModel &app = build();
        app.restoreSession();
        ASSERT_TRUE(service.waitForRequests("POST", "auth/refresh", 1));
        ASSERT_TRUE(waitUntil([&] { return client->accessToken() == QStringLiteral("access-2"); }));
        const RecordedRequest refresh = requestsTo("auth/refresh").first();
        EXPECT_EQ(refresh.json().object().value("refresh_token").toString(), "refresh-1");
        EXPECT_EQ(
            refresh.json().object().value("device_id").toString(), OrvellaAPIClient::deviceId());
        EXPECT_FALSE(refresh.hasHeader("Authorization"));
        EXPECT_EQ(stored("orvella.session.access_token").toString(), "access-2");
        EXPECT_EQ(stored("orvella.session.refresh_token").toString(), "refresh-2");
        EXPECT_DOUBLE_EQ(stored("access_expires").toDouble(), nowSeconds() + 600);
    }
}

TEST_F(Session, ARefreshThatOutlivesItsSessionIsDropped)
{
    storeSession(std::nullopt);
    service.on("POST", "auth/refresh",
        ScriptedAnswer::envelope(
            QJsonObject { { "access_token", "late" }, { "refresh_token", "late-r" } })
            .withDelay(200ms));
    AppModel &app = build();
    app.restoreSession();
    ASSERT_TRUE(service.waitForRequests("POST", "auth/refresh", 1));
    runTask(app.signOut());
    spinFor(400ms);
    EXPECT_TRUE(app.isGuest());
    EXPECT_FALSE(QSettings().contains("orvella.session.access_token"));
    EXPECT_FALSE(QSettings().contains("access_expires"));
    EXPECT_FALSE(client->accessToken());
}

TEST_F(Session, ExactlyFiveMinutesLeftCountsAsFresh)
{
    storeSession(300);
    AppModel &app = build();
    app.restoreSession();
    EXPECT_EQ(client->accessToken(), QStringLiteral("access-1"));
    spinFor(50ms);
    EXPECT_TRUE(requestsTo("auth/refresh").isEmpty());
}

TEST_F(Session, ARefreshWithoutLifetimeStoresOneHour)
{
    storeSession(std::nullopt);
    service.on("POST", "auth/refresh",
        ScriptedAnswer::envelope(
            QJsonObject { { "access_token", "a2" }, { "refresh_token", "r2" } }));
    AppModel &app = build();
    app.restoreSession();
    ASSERT_TRUE(waitUntil([&] { return stored("access_expires").isValid(); }));
    EXPECT_DOUBLE_EQ(stored("access_expires").toDouble(), nowSeconds() + 3600);
}

TEST_F(Session, AnInvalidRefreshTokenEndsTheSession)
{
    storeSession(std::nullopt);
    QSettings().setValue(
        "profile.json", QJsonDocument(sampleProfile().value("user").toObject()).toJson());
    service.on("POST", "auth/refresh", ScriptedAnswer::error(401, "Expired", "TOKEN_INVALID"));
    service.on(
        "DELETE", "tv/device", ScriptedAnswer::envelope(QJsonObject { { "signed_out", true } }));
    AppModel &app = build();
    app.restoreSession();
    app.navigate(MacRoute::Live);
    ASSERT_TRUE(waitUntil([&] { return app.isGuest(); }));
    EXPECT_EQ(app.route(), MacRoute::Login);
    EXPECT_FALSE(app.profile());
    for (const char *key : { "orvella.session.access_token", "orvella.session.refresh_token",
             "access_expires", "profile.json" })
        EXPECT_FALSE(QSettings().contains(key)) << key;
    EXPECT_TRUE(service.waitForRequests("DELETE", "tv/device", 1));
}

TEST_F(Session, OtherRefreshFailuresKeepTheSession)
{
    storeSession(std::nullopt);
    service.on("POST", "auth/refresh", { ScriptedAnswer::error(401, "Nope", "TOKEN_EXPIRED") });
    AppModel &app = build();
    app.restoreSession();
    ASSERT_TRUE(service.waitForRequests("POST", "auth/refresh", 1));
    spinFor(50ms);
    EXPECT_FALSE(app.isGuest());
    EXPECT_EQ(stored("orvella.session.access_token").toString(), "access-1");
    EXPECT_EQ(client->accessToken(), QStringLiteral("access-1"));
}

TEST_F(Session, TheVersionGateReadsMacosElseAndroidtv)
{
    const struct
    {
        const char *name;
        QJsonObject versions;
        bool gated;
    } cases[] = {
        { "macos ahead", QJsonObject { { "macos", "1.0.2" } }, true },
        { "androidtv only", QJsonObject { { "androidtv", "2.0" } }, true },
        { "macos wins", QJsonObject { { "macos", "1.0.0" }, { "androidtv", "9" } }, false },
        { "same version", QJsonObject { { "macos", "1.0.1" } }, false },
        { "empty map", QJsonObject {}, false },
        { "other platforms only", QJsonObject { { "ios", "9" } }, false },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QSettings().clear();
        service.clearRequests();
        storeSession();
        QJsonObject config = sampleConfig();
        config.insert("min_app_version", c.versions);
        scriptStartup(config);
        AppModel &app = build();
        runBootstrap(app);
        EXPECT_EQ(app.route(), c.gated ? MacRoute::ForceUpdate : MacRoute::Live);
        EXPECT_EQ(requestsTo("user/profile").size(), c.gated ? 0 : 1);
    }
}

TEST_F(Session, AForcedUpdateEndsTheLoadsAtOnceButNotTheSharedLiveFetch)
{
    storeSession();
    scriptStartup(sampleConfig(QJsonObject { { "macos", "1.0.2" } }));
    for (const char *path : { "tv/home", "user/continue-watching", "programs" })
        service.on("GET", path, ScriptedAnswer::envelope(QJsonObject {}).withDelay(6s));
    service.on("GET", "live/stream", ScriptedAnswer::envelope(sampleStream()).withDelay(300ms));
    AppModel &app = build();
    QElapsedTimer timer;
    timer.start();
    runBootstrap(app);
    EXPECT_LT(timer.elapsed(), 4000) << "the slow loads were stopped, not waited out";
    EXPECT_EQ(app.route(), MacRoute::ForceUpdate);
    EXPECT_FALSE(app.home());
    EXPECT_FALSE(app.bootstrapError()) << "a stopped load writes nothing";
    EXPECT_TRUE(app.programsCache().isEmpty());
    EXPECT_FALSE(player->playCalls);
    // The live fetch goes on for the live screen.
    ASSERT_TRUE(waitUntil([&] { return app.liveStreamCache().has_value(); }));
}

TEST_F(Session, AFailedConfigurationLeavesItsTextAndTheViewerOnLive)
{
    storeSession();
    scriptStartup();
    service.on("GET", "tv/config", ScriptedAnswer::error(503, "Service resting"));
    service.on("GET", "tv/home", ScriptedAnswer::envelope(sampleHome()).withDelay(6s));
    AppModel &app = build();
    QElapsedTimer timer;
    timer.start();
    runBootstrap(app);
    EXPECT_LT(timer.elapsed(), 4000);
    EXPECT_EQ(app.route(), MacRoute::Live);
    ASSERT_TRUE(app.bootstrapError());
    EXPECT_TRUE(app.bootstrapError()->contains("Service resting"))
        << app.bootstrapError()->toStdString();
    EXPECT_FALSE(app.config());
    EXPECT_FALSE(app.home());
    EXPECT_TRUE(requestsTo("user/profile").isEmpty());
}

TEST_F(Session, AStoredProfileRepairsEmptySettingsOnly)
{
    storeSession();
    QSettings().setValue(
        "profile.json", QByteArray(R"({"id":"3","fullname":"Grace","email":"g@x.org"})"));
    QSettings().setValue("profile.zone", "Old zone");
    AppModel &app = build();
    app.restoreSession();
    ASSERT_TRUE(app.profile());
    EXPECT_EQ(app.settings()->displayName(), "Grace");
    EXPECT_EQ(app.settings()->email(), "g@x.org");
    EXPECT_EQ(app.settings()->phone(), "");
    EXPECT_EQ(app.settings()->zone(), "Old zone") << "a profile without zone leaves it";
    EXPECT_EQ(SettingsStore::load().displayName, "Grace");

    QSettings().setValue("profile.name", "Kept");
    AppModel &again = build();
    again.restoreSession();
    EXPECT_EQ(again.settings()->displayName(), "Kept");
    EXPECT_EQ(again.settings()->email(), "g@x.org");

    QSettings().setValue("profile.json", QByteArray("{broken"));
    AppModel &broken = build();
    broken.restoreSession();
    EXPECT_FALSE(broken.profile());
    EXPECT_FALSE(broken.isGuest());
}

TEST_F(Session, SignInStoresTheTokensUploadsHistoryAndGoesLive)
{
    LocalHistoryStore::store({ { "e1", std::nullopt, std::nullopt, std::nullopt, 30, 120, 50 } });
    service.on("POST", "user/history", ScriptedAnswer::envelope(QJsonObject {}));
    service.on("GET", "user/continue-watching",
        ScriptedAnswer::envelope(QJsonArray { QJsonObject { { "episode_id", "e1" } } }));
    service.on("GET", "user/profile", ScriptedAnswer::envelope(sampleProfile("Server Name")));
    AppModel &app = build();
    app.navigate(MacRoute::Login);
    app.setMenuPresented(true);

    TokenData tokens;
    tokens.access_token = QStringLiteral("signed-in");
    tokens.refresh_token = QStringLiteral("refresh-9");
    tokens.expires_in = 120;
    UserProfile user;
    user.name = QStringLiteral("Sign-in Name");
    user.email = QStringLiteral("");
    user.region = QStringLiteral("West");
    tokens.user = user;
    runTask(app.applyTokens(tokens));

    EXPECT_EQ(stored("orvella.session.access_token").toString(), "signed-in");
    EXPECT_EQ(stored("orvella.session.refresh_token").toString(), "refresh-9");
    EXPECT_DOUBLE_EQ(stored("access_expires").toDouble(), nowSeconds() + 120);
    EXPECT_FALSE(app.isGuest());
    EXPECT_EQ(requestLines(),
        (QStringList { "POST user/history", "GET user/continue-watching", "GET user/profile" }));
    EXPECT_EQ(service.requests().first().header("Authorization"), "Bearer signed-in");
    EXPECT_FALSE(QSettings().contains("local.history"));
    EXPECT_EQ(app.continueWatching().size(), 1);
    // The fetched profile is kept; the sign-in answer's name wins in the settings.
    EXPECT_EQ(app.profile()->name, QStringLiteral("Server Name"));
    EXPECT_EQ(app.settings()->displayName(), "Sign-in Name");
    EXPECT_EQ(app.settings()->email(), "ada@example.org");
    EXPECT_EQ(app.settings()->zone(), "Zone 7");
    const QJsonObject storedProfile
        = QJsonDocument::fromJson(stored("profile.json").toByteArray()).object();
    EXPECT_EQ(storedProfile.value("id").toString(), "77");
    EXPECT_EQ(storedProfile.value("name").toString(), "Server Name");
    EXPECT_EQ(app.route(), MacRoute::Live);
    EXPECT_TRUE(app.navigationStack().isEmpty());
    EXPECT_FALSE(app.menuPresented());
}

TEST_F(Session, TheStoredSessionReadsBackFromTheSettingsFileAsText)
{
    service.on("GET", "user/profile", ScriptedAnswer::error(500, "down"));
    clock.setSinceEpoch(std::chrono::milliseconds(1'700'000'000'250));
    AppModel &app = build();
    TokenData tokens;
    tokens.access_token = QStringLiteral("a=1");
    tokens.refresh_token = QStringLiteral("r,2");
    tokens.expires_in = 60;
    UserProfile user;
    user.id = FlexibleID(QStringLiteral("9"));
    user.name = QStringLiteral("Ada");
    tokens.user = user;
    runTask(app.applyTokens(tokens));

    QSettings written;
    written.sync();
    QFile file(written.fileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("access_expires=1700000060.25")) << text.toStdString();
    EXPECT_TRUE(text.contains("profile.json=\"@ByteArray(")) << text.toStdString();

    // What the next run finds: every value as text, read by each key's own rule.
    const QString copy = cacheDir.filePath(QStringLiteral("next-run.conf"));
    ASSERT_TRUE(QFile::copy(written.fileName(), copy));
    const QSettings next(copy, QSettings::IniFormat);
    EXPECT_EQ(next.value("access_expires").typeId(), QMetaType::QString);
    EXPECT_DOUBLE_EQ(next.value("access_expires").toDouble(), 1700000060.25);
    EXPECT_EQ(next.value("orvella.session.access_token").toString(), "a=1");
    EXPECT_EQ(next.value("orvella.session.refresh_token").toString(), "r,2");
    EXPECT_EQ(next.value("profile.json").typeId(), QMetaType::QByteArray);
    EXPECT_EQ(QJsonDocument::fromJson(next.value("profile.json").toByteArray()).object(),
        (QJsonObject { { "id", "9" }, { "name", "Ada" } }));
    EXPECT_EQ(SettingsStore::load(next).displayName, "Ada");
}

TEST_F(Session, TheSettingsFileHoldingTheTokensIsTheViewersAlone)
{
    const ScopedUmask usual(022);
    const QString path = QSettings().fileName();
    QFile::remove(path);
    configureApplication(*qGuiApp);
    service.on("GET", "user/profile", ScriptedAnswer::envelope(sampleProfile()));
    AppModel &app = build();
    TokenData tokens;
    tokens.access_token = QStringLiteral("private-access");
    tokens.refresh_token = QStringLiteral("private-refresh");
    runTask(app.applyTokens(tokens));
    QSettings().sync();

    EXPECT_TRUE(settingsFileOnDisk().contains("private-refresh"));
    EXPECT_EQ(fileMode(path), 0600);
}

TEST_F(Session, ARegionStandsInForAMissingZone)
{
    service.on("GET", "user/profile", ScriptedAnswer::error(500, "down"));
    AppModel &app = build();
    TokenData tokens;
    tokens.access_token = QStringLiteral("a");
    tokens.refresh_token = QStringLiteral("r");
    UserProfile user;
    user.region = QStringLiteral("West");
    user.phone = QStringLiteral("123");
    tokens.user = user;
    runTask(app.applyTokens(tokens));
    EXPECT_EQ(app.settings()->zone(), "West");
    EXPECT_EQ(app.settings()->phone(), "123");
    EXPECT_EQ(app.profile(), user) << "a failed profile fetch keeps the sign-in user";
    EXPECT_EQ(SettingsStore::load().zone, "West");
}

TEST_F(Session, SignOutForgetsTheSessionEvenOffline)
{
    storeSession();
    QSettings().setValue("orvella.secure.access_token", "older");
    QSettings().setValue("profile.json", QByteArray(R"({"name":"Ada"})"));
    QSettings().setValue("profile.name", "Ada");
    service.on("DELETE", "tv/device", ScriptedAnswer::envelope(QJsonObject {}).withDelay(200ms));
    service.on("GET", "user/profile", ScriptedAnswer::envelope(sampleProfile()).withEtag("\"p1\""));
    AppModel &app = build();
    app.restoreSession();
    runTask(app.syncProfileFromServer());
    ASSERT_FALSE(client->etags().isEmpty());
    app.navigate(MacRoute::Live);
    app.navigate(MacRoute::Menu);
    ASSERT_TRUE(guard->isActive());

    auto signingOut = app.signOut();
    // The screen changes at once; the service is told in the background.
    EXPECT_EQ(app.route(), MacRoute::Login);
    runTask(std::move(signingOut));

    const RecordedRequest request = requestsTo("tv/device").first();
    EXPECT_EQ(request.method, "DELETE");
    EXPECT_EQ(request.header("Authorization"), "Bearer access-1");
    EXPECT_EQ(request.header("X-Platform"), "androidtv");
    for (const char *key : { "orvella.session.access_token", "orvella.session.refresh_token",
             "orvella.secure.access_token", "access_expires", "profile.json" })
        EXPECT_FALSE(QSettings().contains(key)) << key;
    EXPECT_EQ(stored("profile.name").toString(), "Ada Lovelace") << "settings stay";
    EXPECT_TRUE(app.isGuest());
    EXPECT_FALSE(app.profile());
    EXPECT_TRUE(app.continueWatching().isEmpty());
    EXPECT_FALSE(app.menuPresented());
    EXPECT_FALSE(client->accessToken());
    EXPECT_TRUE(client->etags().isEmpty()) << "the previous viewer's answers are forgotten";
    // Leaving live for sign-in pauses the live player.
    EXPECT_FALSE(app.livePlayer()->isPlaying());
    EXPECT_FALSE(guard->isActive());

    // Offline.
    storeSession();
    app.restoreSession();
    service.stop();
    runTask(app.signOut());
    EXPECT_TRUE(app.isGuest());
    EXPECT_EQ(app.route(), MacRoute::Login);
    EXPECT_FALSE(QSettings().contains("orvella.session.access_token"));
}

TEST_F(Session, TheMinuteTimerKeepsTheTokenFreshOneRefreshAtATime)
{
    storeSession(600);
    service.on("GET", "tv/config", ScriptedAnswer::envelope(sampleConfig()));
    service.on("POST", "auth/refresh",
        ScriptedAnswer::envelope(QJsonObject { { "access_token", "access-2" },
                                     { "refresh_token", "refresh-2" }, { "expires_in", 3600 } })
            .withDelay(100ms));
    AppModel &app = build();
    EXPECT_EQ(app.eventTimer().interval(), 60000);
    EXPECT_TRUE(app.eventTimer().isActive());
    app.restoreSession();
    app.eventTimerFired();
    ASSERT_TRUE(service.waitForRequests("GET", "tv/config", 1));
    EXPECT_TRUE(requestsTo("auth/refresh").isEmpty()) << "ten minutes left";

    clock.advance(std::chrono::minutes(6)); // four minutes left
    app.eventTimerFired();
    app.eventTimerFired();
    ASSERT_TRUE(waitUntil([&] { return client->accessToken() == QStringLiteral("access-2"); }));
    spinFor(150ms);
    EXPECT_EQ(requestsTo("auth/refresh").size(), 1);

    clock.advance(std::chrono::minutes(10));
    app.eventTimerFired();
    spinFor(50ms);
    EXPECT_EQ(requestsTo("auth/refresh").size(), 1) << "the new token is fresh";
}

TEST_F(Session, AGuestTimerOnlyFetchesTheConfiguration)
{
    service.on("GET", "tv/config", ScriptedAnswer::envelope(sampleConfig()));
    AppModel &app = build();
    runTask(app.bootstrap());
    app.eventTimerFired();
    ASSERT_TRUE(waitUntil([&] { return app.config().has_value(); }));
    EXPECT_EQ(requestLines(), QStringList { "GET tv/config" });
}

TEST_F(Session, ASecondStartUpEndsTheFirst)
{
    storeSession();
    scriptStartup();
    service.on("GET", "tv/config",
        { ScriptedAnswer::error(500, "first").withDelay(500ms),
            ScriptedAnswer::envelope(sampleConfig()) });
    AppModel &app = build();
    auto first = app.bootstrap();
    ASSERT_TRUE(service.waitForRequests("GET", "tv/config", 1));
    auto second = app.bootstrap();
    runTask(std::move(second));
    runTask(std::move(first));
    EXPECT_EQ(app.route(), MacRoute::Live);
    EXPECT_FALSE(app.bootstrapError()) << "the stopped first run writes nothing";
    EXPECT_TRUE(app.config());
}

} // namespace
} // namespace orvella::test
