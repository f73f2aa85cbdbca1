#include "ApiTestSupport.h"
#include "api/KeychainStore.h"

#include <QJsonArray>
#include <QSettings>
#include <stop_token>

using namespace Qt::StringLiterals;
using namespace orvella;
using namespace orvella::test;

namespace {

QJsonObject programsPage(const QString &title)
{
    return QJsonObject { { "programs",
        QJsonArray { QJsonObject { { "id", 1 }, { "title", title } } } } };
}

template<class Task>
APIError apiFailure(Task task)
{
    try {
        runTask(std::move(task));
    } catch (const APIError &error) {
        return error;
    }
    ADD_FAILURE() << "no APIError";
    return APIError::unauthorized();
}

using ClientHeaders = ClientFixture;

TEST_F(ClientHeaders, CommonHeadersWithoutAToken)
{
    service.on("GET", u"tv/config"_s, ScriptedAnswer::envelope(QJsonObject {}));
    (void)runTask(client->getConfig());
    const RecordedRequest request = lastRequest();
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.apiPath(), u"tv/config"_s);
    EXPECT_EQ(request.header("Accept"), "application/json");
    EXPECT_EQ(request.header("User-Agent"), "okhttp/4.12.0");
    EXPECT_EQ(request.header("X-Platform"), "macos");
    EXPECT_EQ(request.header("X-App-Version"), "1.0.1");
    EXPECT_EQ(request.header("X-Device-Id"), OrvellaAPIClient::deviceId().toUtf8());
    EXPECT_EQ(request.header("Cache-Control"), "no-cache");
    EXPECT_EQ(request.header("Pragma"), "no-cache");
    EXPECT_FALSE(request.hasHeader("Authorization"));
    EXPECT_FALSE(request.hasHeader("If-None-Match"));
}

TEST_F(ClientHeaders, TokenOnlyWhereTheRequestIsAuthorised)
{
    service.on("GET", u"user/profile"_s, ScriptedAnswer::envelope(QJsonObject { { "name", "A" } }));
    service.on("GET", u"tv/home"_s, ScriptedAnswer::envelope(QJsonObject {}));
    service.on("POST", u"user/history"_s, ScriptedAnswer::envelope(QJsonObject {}));
    service.on("POST", u"episodes/*"_s, ScriptedAnswer::envelope(QJsonObject {}));
    service.on(
        "DELETE", u"tv/device"_s, ScriptedAnswer::envelope(QJsonObject { { "signed_out", true } }));

    (void)runTask(client->getProfile());
    EXPECT_FALSE(lastRequest().hasHeader("Authorization")); // authorised call, no token yet

    client->setAccessToken(u"tok"_s);
    (void)runTask(client->getProfile());
    EXPECT_EQ(lastRequest().header("Authorization"), "Bearer tok");
    EXPECT_FALSE(lastRequest().hasHeader("Cache-Control")); // the ETag GET keeps its caching
    (void)runTask(client->getHome());
    EXPECT_FALSE(lastRequest().hasHeader("Authorization"));
    runTask(client->postHistory(u"e1"_s, 30, 600));
    EXPECT_EQ(lastRequest().header("Authorization"), "Bearer tok");
    EXPECT_EQ(lastRequest().header("Content-Type"), "application/json");
    EXPECT_EQ(lastRequest().body, R"({"episode_id":"e1","position":30,"duration":600})");
    runTask(client->postEpisodeView(u"e1"_s));
    EXPECT_FALSE(lastRequest().hasHeader("Authorization"));
    EXPECT_EQ(lastRequest().apiPath(), u"episodes/e1/view"_s);
    EXPECT_EQ(lastRequest().body, "{}");
    const SignOutData signedOut = runTask(client->signOut());
    EXPECT_EQ(signedOut.signed_out, true);
    EXPECT_EQ(lastRequest().method, "DELETE");
    EXPECT_EQ(lastRequest().header("Authorization"), "Bearer tok");
    EXPECT_EQ(lastRequest().header("X-Platform"), "androidtv");

    client->setAccessToken(std::nullopt);
    (void)runTask(client->signOut());
    EXPECT_FALSE(lastRequest().hasHeader("Authorization"));
}

TEST_F(ClientHeaders, ScheduleGoesOutUncachedAndUnauthorised)
{
    service.on("GET", u"live/schedule"_s,
        ScriptedAnswer::envelope(QJsonObject { { "days",
            QJsonArray { QJsonObject { { "items",
                QJsonArray { QJsonObject { { "id", "a" }, { "title", "A" } } } } } } } }));
    client->setAccessToken(u"tok"_s);
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    const ScheduleData schedule = runTask(client->getSchedule(2));
    EXPECT_EQ(schedule.toItems().first().title, u"A"_s);
    const RecordedRequest request = lastRequest();
    EXPECT_FALSE(request.hasHeader("Authorization"));
    EXPECT_EQ(request.header("Cache-Control"), "no-cache");
    EXPECT_EQ(request.header("Pragma"), "no-cache");
    EXPECT_EQ(request.header("X-Platform"), "macos");
    EXPECT_EQ(request.queryValue(u"days"_s), u"2"_s);
    EXPECT_GE(request.queryValue(u"_"_s).toLongLong(), before);
    EXPECT_TRUE(request.target.contains("?days=2&_="));
}

TEST_F(ClientHeaders, IdentifiersStayOneSegmentOfThePath)
{
    service.on("GET", u"episodes/*"_s, ScriptedAnswer::envelope(QJsonObject { { "id", 1 } }));
    service.on("POST", u"episodes/*"_s, ScriptedAnswer::envelope(QJsonObject {}));
    (void)runTask(client->getEpisode(u"a/b"_s));
    EXPECT_EQ(lastRequest().path, u"/fresh/newapi/v1/episodes/a/b"_s); // decoded by the double
    EXPECT_TRUE(lastRequest().target.startsWith("/fresh/newapi/v1/episodes/a%2Fb"));
    runTask(client->postEpisodeView(u"../../tv/device"_s));
    EXPECT_EQ(lastRequest().target, "/fresh/newapi/v1/episodes/..%2F..%2Ftv%2Fdevice/view");
    // URLs decode "%2E": a bare dot segment cannot be sent, so nothing goes out for it.
    const qsizetype sent = service.requestCount();
    EXPECT_EQ(apiFailure(client->getEpisode(u".."_s)).kind(), APIError::Kind::Empty);
    EXPECT_EQ(apiFailure(client->postEpisodeView(u"."_s)).kind(), APIError::Kind::Empty);
    const ProgramWithEpisodes none = runTask(client->getProgram(u".."_s, 8));
    EXPECT_FALSE(none.program);
    EXPECT_EQ(service.requestCount(), sent);
}

TEST_F(ClientHeaders, DeviceIdIsCreatedOnceInLowerCase)
{
    QSettings().setValue(u"orvella.deviceId"_s, QString());
    const QString created = OrvellaAPIClient::deviceId();
    EXPECT_EQ(created.size(), 36);
    EXPECT_EQ(created, created.toLower());
    EXPECT_EQ(QSettings().value(u"orvella.deviceId"_s).toString(), created);
    EXPECT_EQ(OrvellaAPIClient::deviceId(), created);
    QSettings().setValue(u"orvella.deviceId"_s, u"from-elsewhere"_s);
    EXPECT_EQ(OrvellaAPIClient::deviceId(), u"from-elsewhere"_s);
}

TEST_F(ClientHeaders, ControlCharactersNeverReachAHeader)
{
    const QString injected = u"x\r\nX-Injected: 1"_s;
    service.on("POST", u"auth/login"_s,
        ScriptedAnswer::envelope(
            QJsonObject { { "access_token", injected }, { "refresh_token", "r" } }));
    service.on("POST", u"auth/refresh"_s,
        ScriptedAnswer::envelope(
            QJsonObject { { "access_token", "a" }, { "refresh_token", injected } }));
    // Refused like any answer that does not decode.
    EXPECT_THROW(runTask(client->loginWithEmail(u"Ada"_s, u"ada@example.org"_s)), DecodingError);
    EXPECT_THROW(runTask(client->refreshTokens(u"r"_s)), DecodingError);

    // Stored values: the device id is replaced by a new one, a token counts as absent.
    QSettings().setValue(u"orvella.deviceId"_s, injected);
    KeychainStore::set(u"access_token"_s, injected);
    EXPECT_FALSE(KeychainStore::get(u"access_token"_s));
    service.on("GET", u"tv/config"_s, ScriptedAnswer::envelope(QJsonObject {}));
    (void)runTask(client->getConfig());
    const RecordedRequest request = lastRequest();
    EXPECT_FALSE(request.hasHeader("X-Injected"));
    EXPECT_EQ(request.header("X-Device-Id").size(), 36);
    EXPECT_EQ(QSettings().value(u"orvella.deviceId"_s).toString().toUtf8(),
        request.header("X-Device-Id"));
    KeychainStore::remove(u"access_token"_s);
}

TEST(TokenStore, ReadsWritesAndRemovesBothPrefixes)
{
    KeychainStore::set(u"access_token"_s, u"a"_s);
    QSettings().setValue(u"orvella.secure.access_token"_s, u"old"_s);
    QSettings().sync();
    EXPECT_EQ(QSettings().value(u"orvella.session.access_token"_s).toString(), u"a"_s);
    EXPECT_EQ(KeychainStore::get(u"access_token"_s), u"a"_s);
    KeychainStore::remove(u"access_token"_s);
    EXPECT_FALSE(KeychainStore::get(u"access_token"_s));
    EXPECT_FALSE(QSettings().contains(u"orvella.secure.access_token"_s));
    EXPECT_FALSE(KeychainStore::get(u"refresh_token"_s));
}

using EtagExchange = ClientFixture;

TEST_F(EtagExchange, ATaggedAnswerIsReplayedOnNotModified)
{
    service.on("GET", u"programs"_s,
        ScriptedAnswer::envelope(programsPage(u"First"_s)).withEtag("\"v1\""));
    EXPECT_EQ(runTask(client->getPrograms(1, 50)).first().title, u"First"_s);
    EXPECT_EQ(client->etags().value(u"programs"_s), u"\"v1\""_s);
    EXPECT_TRUE(client->etags().contains(u"body:programs"_s));

    // The double now answers 304 to the tag; the first answer's data comes back.
    service.on("GET", u"programs"_s,
        ScriptedAnswer::envelope(programsPage(u"Second"_s)).withEtag("\"v1\""));
    EXPECT_EQ(runTask(client->getPrograms(2, 50)).first().title, u"First"_s);
    const RecordedRequest second = lastRequest();
    EXPECT_EQ(second.header("If-None-Match"), "\"v1\""); // the path's tag, whatever the query
    EXPECT_EQ(second.queryValue(u"page"_s), u"2"_s);
    EXPECT_FALSE(second.hasHeader("If-Modified-Since"));
}

TEST_F(EtagExchange, OnlyUsableAnswersFeedTheTagCache)
{
    service.on("GET", u"episodes/search"_s,
        QList<ScriptedAnswer> {
            ScriptedAnswer::envelope(QJsonObject { { "results", QJsonArray {} } })
                .withEtag("\"a\""),
            ScriptedAnswer::error(200, u"Busy"_s).withEtag("\"bad\""),
            ScriptedAnswer::error(500, u"Down"_s).withEtag("\"bad\""),
            ScriptedAnswer::envelope(QJsonObject { { "results", QJsonArray {} } }) });
    (void)runTask(client->search(u"q"_s, 1));
    EXPECT_EQ(apiFailure(client->search(u"q"_s, 1)).message(), u"Busy"_s);
    EXPECT_EQ(client->etags().value(u"episodes/search"_s), u"\"a\""_s);
    EXPECT_EQ(apiFailure(client->search(u"q"_s, 1)).status(), 500);
    EXPECT_EQ(client->etags().value(u"episodes/search"_s), u"\"a\""_s);
    EXPECT_EQ(lastRequest().header("If-None-Match"), "\"a\"");
    // A usable answer without a tag removes both entries.
    (void)runTask(client->search(u"q"_s, 1));
    EXPECT_FALSE(client->etags().contains(u"episodes/search"_s));
    EXPECT_FALSE(client->etags().contains(u"body:episodes/search"_s));
}

TEST_F(EtagExchange, NotModifiedWithoutAStoredBodyFails)
{
    service.on("GET", u"user/profile"_s, ScriptedAnswer::empty(304));
    const APIError error = apiFailure(client->getProfile());
    EXPECT_EQ(error.status(), 304);
    EXPECT_EQ(error.message(), u"not modified"_s);
}

TEST_F(EtagExchange, UntaggedRequestsNeitherSendNorStoreTags)
{
    service.on("GET", u"tv/home"_s, ScriptedAnswer::envelope(QJsonObject {}).withEtag("\"h\""));
    (void)runTask(client->getHome());
    (void)runTask(client->getHome());
    EXPECT_FALSE(lastRequest().hasHeader("If-None-Match"));
    EXPECT_TRUE(client->etags().isEmpty());
}

TEST_F(EtagExchange, DiskCacheServesOnlyFreshAnswers)
{
    // Fresh for a minute: the second call is answered from the disk cache.
    service.on("GET", u"user/continue-watching"_s,
        ScriptedAnswer::envelope(QJsonArray { QJsonObject { { "episode_id", "a" } } })
            .withHeader("Cache-Control", "max-age=60"));
    (void)runTask(client->getContinueWatching());
    EXPECT_EQ(runTask(client->getContinueWatching()).first().episode_id, u"a"_s);
    EXPECT_EQ(service.requests("GET", u"user/continue-watching"_s).size(), 1);

    // After clearCaches() nothing is served locally and no tag is sent.
    client->clearCaches();
    (void)runTask(client->getContinueWatching());
    EXPECT_EQ(service.requests("GET", u"user/continue-watching"_s).size(), 2);
    EXPECT_FALSE(lastRequest().hasHeader("If-None-Match"));

    // An expired entry goes to the network with the client's own tag only, and the 304 is the
    // client's to replay: Qt does not answer it from its cache.
    service.on("GET", u"user/profile"_s,
        ScriptedAnswer::envelope(QJsonObject { { "user", QJsonObject { { "name", "Old" } } } })
            .withEtag("\"p1\"")
            .withHeader("Cache-Control", "max-age=0")
            .withHeader("Last-Modified", "Mon, 01 Jan 2024 00:00:00 GMT"));
    EXPECT_EQ(runTask(client->getProfile()).name, u"Old"_s);
    EXPECT_EQ(runTask(client->getProfile()).name, u"Old"_s);
    const RecordedRequest revalidation = lastRequest();
    EXPECT_EQ(service.requests("GET", u"user/profile"_s).size(), 2);
    EXPECT_EQ(revalidation.header("If-None-Match"), "\"p1\"");
    EXPECT_FALSE(revalidation.hasHeader("If-Modified-Since"));
}

using StatusCheck = ClientFixture;

TEST_F(StatusCheck, EnvelopeMessageFixedForbiddenTextOrReasonPhrase)
{
    service.on("GET", u"tv/home"_s,
        QList<ScriptedAnswer> { ScriptedAnswer::error(500, u"Maintenance"_s, u"MAINT"_s),
            ScriptedAnswer::error(500, QString()), ScriptedAnswer::raw("<html>", "text/html", 403),
            ScriptedAnswer::error(403, u"Blocked here"_s), ScriptedAnswer::empty(404) });
    const APIError withMessage = apiFailure(client->getHome());
    EXPECT_EQ(withMessage.status(), 500);
    EXPECT_EQ(withMessage.description(), u"Maintenance"_s);
    EXPECT_EQ(withMessage.code(), u"MAINT"_s);
    const APIError emptyMessage = apiFailure(client->getHome());
    EXPECT_EQ(emptyMessage.description(), u"internal server error"_s);
    EXPECT_FALSE(emptyMessage.code());
    const APIError forbidden = apiFailure(client->getHome());
    EXPECT_EQ(forbidden.description(),
        u"Sign-in was blocked by the server (forbidden). Check your network, then tap Get New Code."_s);
    EXPECT_EQ(forbidden.code(), u"FORBIDDEN"_s);
    EXPECT_EQ(apiFailure(client->getHome()).description(), u"Blocked here"_s);
    EXPECT_EQ(apiFailure(client->getHome()).description(), u"not found"_s);
}

TEST_F(StatusCheck, ErrorEnvelopesAndMissingDataPerPrimitive)
{
    const QJsonObject errorNoMessage { { "status", "error" },
        { "data", QJsonObject { { "signed_out", true } } } };
    service.on("GET", u"tv/home"_s, ScriptedAnswer::json(errorNoMessage));
    service.on(
        "POST", u"auth/refresh"_s, ScriptedAnswer::json(QJsonObject { { "status", "error" } }));
    service.on("DELETE", u"tv/device"_s,
        QList<ScriptedAnswer> { ScriptedAnswer::json(errorNoMessage),
            ScriptedAnswer::json(QJsonObject { { "status", "ok" } }) });
    const APIError fromGet = apiFailure(client->getHome());
    EXPECT_EQ(fromGet.message(), u"Error"_s);
    EXPECT_EQ(fromGet.status(), 200);
    EXPECT_EQ(apiFailure(client->refreshTokens(u"r"_s)).message(), u"Error"_s);
    EXPECT_EQ(runTask(client->signOut()).signed_out, true); // delete ignores the status
    EXPECT_EQ(apiFailure(client->signOut()).kind(), APIError::Kind::Empty);

    service.on("GET", u"programs/*"_s, ScriptedAnswer::json(QJsonObject { { "status", "ok" } }));
    service.on("POST", u"auth/login"_s, ScriptedAnswer::json(QJsonObject { { "status", "ok" } }));
    EXPECT_TRUE(runTask(client->getRaw(u"programs/1"_s, {}, false, false)).isNull());
    EXPECT_EQ(apiFailure(client->loginWithEmail(u"A"_s, u"a@x"_s)).kind(), APIError::Kind::Empty);
    // postHistory reads nothing of a 2xx answer.
    service.on("POST", u"user/history"_s, ScriptedAnswer::error(200, u"ignored"_s));
    runTask(client->postHistory(u"e"_s, 1, 2));
}

TEST_F(StatusCheck, UndecodableAnswersAreDecodingErrors)
{
    service.on("GET", u"tv/config"_s,
        QList<ScriptedAnswer> { ScriptedAnswer::raw("not json"),
            ScriptedAnswer::envelope(QJsonArray { 1, 2 }),
            ScriptedAnswer::envelope(
                QJsonObject { { "features", QJsonObject { { "search", "yes" } } } }) });
    EXPECT_THROW(runTask(client->getConfig()), DecodingError);
    EXPECT_THROW(runTask(client->getConfig()), DecodingError);
    try {
        runTask(client->getConfig());
        ADD_FAILURE();
    } catch (const DecodingError &error) {
        EXPECT_TRUE(error.description().contains(u"data.features.search"_s))
            << error.description().toStdString();
    }
}

using Transport = ClientFixture;

TEST_F(Transport, FailuresBecomeReadableTransportErrors)
{
    service.on("GET", u"tv/home"_s, ScriptedAnswer::dropped());
    try {
        runTask(client->getHome());
        ADD_FAILURE();
    } catch (const TransportError &error) {
        EXPECT_EQ(error.kind(), TransportError::Kind::Other);
        EXPECT_FALSE(error.description().isEmpty());
    }
    const QUrl origin = service.origin();
    service.stop();
    try {
        runTask(client->getHome());
        ADD_FAILURE();
    } catch (const TransportError &error) {
        EXPECT_EQ(error.kind(), TransportError::Kind::ConnectionRefused);
        EXPECT_EQ(error.description(), u"Could not connect to the server."_s);
    }
}

TEST_F(Transport, TimeOutsAndCancellation)
{
    APIClientOptions options;
    options.cacheDirectory = cacheFolder.path();
    options.main = { std::chrono::milliseconds(5000), std::chrono::milliseconds(150) };
    OrvellaAPIClient quick(options);
    service.on("GET", u"tv/home"_s,
        ScriptedAnswer::envelope(QJsonObject {}).withDelay(std::chrono::milliseconds(1500)));
    try {
        runTask(quick.getHome());
        ADD_FAILURE();
    } catch (const TransportError &error) {
        EXPECT_EQ(error.kind(), TransportError::Kind::TimedOut);
        EXPECT_EQ(error.description(), u"The request timed out."_s);
    }

    options.main = { std::chrono::milliseconds(150), std::chrono::milliseconds(0) };
    OrvellaAPIClient idle(options);
    try {
        runTask(idle.getHome());
        ADD_FAILURE();
    } catch (const TransportError &error) {
        EXPECT_EQ(error.kind(), TransportError::Kind::TimedOut);
    }

    std::stop_source stop;
    auto task = client->getHome(stop.get_token());
    QTimer::singleShot(50, [&stop] { stop.request_stop(); });
    try {
        runTask(std::move(task));
        ADD_FAILURE();
    } catch (const TransportError &error) {
        EXPECT_EQ(error.kind(), TransportError::Kind::Cancelled);
    }
}

} // namespace
