#include "ApiTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>

using namespace Qt::StringLiterals;
using namespace orvella;
using namespace orvella::test;

namespace {

QJsonArray episodeRange(int from, int count)
{
    QJsonArray episodes;
    for (int i = 0; i < count; ++i)
        episodes.append(QJsonObject { { "id", from + i }, { "title", QString::number(from + i) } });
    return episodes;
}

QJsonArray programRange(int from, int count, const QString &titlePrefix = u"Programme "_s)
{
    QJsonArray programs;
    for (int i = 0; i < count; ++i)
        programs.append(QJsonObject {
            { "id", from + i }, { "title", titlePrefix + QString::number(from + i) } });
    return programs;
}

using ProgramPaging = ClientFixture;

TEST_F(ProgramPaging, OnlyAFullFirstPageFetchesMore)
{
    service.on("GET", u"programs/7"_s,
        ScriptedAnswer::envelope(
            QJsonObject { { "program", QJsonObject { { "id", 7 }, { "title", "P" } } },
                { "episodes", episodeRange(1, 99) } }));
    const ProgramWithEpisodes short_ = runTask(client->getProgram(u"7"_s, 8));
    EXPECT_EQ(short_.program->title, u"P"_s);
    EXPECT_EQ(short_.episodes.size(), 99);
    EXPECT_EQ(service.requestCount(), 1);
    const RecordedRequest first = lastRequest();
    EXPECT_EQ(first.queryValue(u"page"_s), u"1"_s);
    EXPECT_EQ(first.queryValue(u"per_page"_s), u"100"_s);
    EXPECT_EQ(first.header("Cache-Control"), "no-cache");

    service.on("GET", u"programs/7"_s,
        ScriptedAnswer::envelope(QJsonObject { { "episodes", episodeRange(1, 100) } }));
    service.clearRequests();
    (void)runTask(client->getProgram(u"7"_s, 1));
    EXPECT_EQ(service.requestCount(), 1);
    service.clearRequests();
    (void)runTask(client->getProgram(u"7"_s, 20));
    EXPECT_EQ(service.requestCount(), 8); // pages 2 to 8, never more
    QStringList pages;
    for (const RecordedRequest &request : service.requests())
        pages.append(request.queryValue(u"page"_s));
    pages.sort();
    EXPECT_EQ(
        pages, (QStringList { u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s }));
}

TEST_F(ProgramPaging, PagesMergeInPageOrderAndFailedPagesCountEmpty)
{
    service.handle("GET", u"programs/9"_s, [](const RecordedRequest &request) {
        const int page = request.queryValue(u"page"_s).toInt();
        switch (page) {
        case 1:
            return ScriptedAnswer::envelope(QJsonObject { { "episodes", episodeRange(1, 100) } });
        case 2: // slowest: finishes last, still merged first
            return ScriptedAnswer::envelope(QJsonObject { { "episodes", episodeRange(100, 3) } })
                .withDelay(std::chrono::milliseconds(300));
        case 3:
            return ScriptedAnswer::error(500, u"Down"_s);
        default:
            return ScriptedAnswer::envelope(QJsonObject { { "episodes", episodeRange(200, 1) } });
        }
    });
    const ProgramWithEpisodes result = runTask(client->getProgram(u"9"_s, 4));
    EXPECT_FALSE(result.program);
    QStringList tail;
    for (qsizetype i = 98; i < result.episodes.size(); ++i)
        tail.append(result.episodes[i].id.stringValue);
    // 100 from page 2 was already on page 1 and is dropped.
    EXPECT_EQ(tail, (QStringList { u"99"_s, u"100"_s, u"101"_s, u"102"_s, u"200"_s }));
}

TEST_F(ProgramPaging, ProgrammeFromTheFirstPageShapes)
{
    service.on("GET", u"programs/*"_s,
        QList<ScriptedAnswer> {
            ScriptedAnswer::envelope(QJsonObject { { "id", 42 }, { "title", "Inline" } }),
            ScriptedAnswer::envelope(QJsonArray { QJsonObject { { "id", 1 } } }),
            ScriptedAnswer::error(404, u"No such programme"_s) });
    EXPECT_EQ(runTask(client->getProgram(u"42"_s, 1)).program->id.stringValue, u"42"_s);
    const ProgramWithEpisodes list = runTask(client->getProgram(u"42"_s, 1));
    EXPECT_FALSE(list.program);
    EXPECT_TRUE(list.episodes.isEmpty());
    EXPECT_THROW(runTask(client->getProgram(u"42"_s, 1)), APIError);
}

using ProgramSearch = ClientFixture;

TEST_F(ProgramSearch, ExactMatchAnywhereWinsOverAnEarlierPartialOne)
{
    service.handle("GET", u"programs"_s, [](const RecordedRequest &request) {
        const int page = request.queryValue(u"page"_s).toInt();
        QJsonArray programs = programRange(page * 100, 50);
        if (page == 1)
            programs[3] = QJsonObject { { "id", "p" }, { "title", "Healing Streams Live" } };
        if (page == 3)
            programs[10] = QJsonObject { { "id", "x" }, { "name", "H\u00e9aling STREAMS" } };
        return ScriptedAnswer::envelope(QJsonObject { { "programs", programs } });
    });
    const auto found = runTask(client->resolveProgram({ u"  "_s, u"healing streams"_s }));
    EXPECT_EQ(found->id.stringValue, u"x"_s);
    EXPECT_EQ(service.requestCount(), 3);
    EXPECT_EQ(lastRequest().queryValue(u"per_page"_s), u"50"_s);
}

TEST_F(ProgramSearch, PartialMatchesAndTheEndOfPaging)
{
    service.handle("GET", u"programs"_s, [](const RecordedRequest &request) {
        const int page = request.queryValue(u"page"_s).toInt();
        QJsonArray programs = programRange(page * 100, page == 2 ? 49 : 50);
        programs[0] = QJsonObject { { "id", page }, { "title", u"Kids Zone %1"_s.arg(page) } };
        return ScriptedAnswer::envelope(QJsonObject { { "programs", programs } });
    });
    const auto partial = runTask(client->resolveProgram({ u"Kids"_s }));
    EXPECT_EQ(partial->id.stringValue, u"1"_s); // first partial met
    EXPECT_EQ(service.requestCount(), 2); // a page of 49 ends the search

    service.clearRequests();
    EXPECT_FALSE(runTask(client->resolveProgram({ u""_s, u"\u0301"_s })));
    EXPECT_EQ(service.requestCount(), 0);

    service.handle("GET", u"programs"_s, [](const RecordedRequest &request) {
        return ScriptedAnswer::envelope(QJsonObject {
            { "programs", programRange(request.queryValue(u"page"_s).toInt() * 100, 50) } });
    });
    service.clearRequests();
    EXPECT_FALSE(runTask(client->resolveProgram({ u"Nothing like it"_s })));
    EXPECT_EQ(service.requestCount(), 10);

    service.on("GET", u"programs"_s, ScriptedAnswer::error(503, u"Later"_s));
    EXPECT_THROW(runTask(client->resolveProgram({ u"Kids"_s })), APIError);
}

using Endpoints = ClientFixture;

TEST_F(Endpoints, SignInRequestsAndTheirBodies)
{
    service.on("POST", u"tv/device/code"_s,
        ScriptedAnswer::envelope(QJsonObject { { "device_code", "dc" }, { "user_code", "ABCD" } }));
    service.on("POST", u"tv/device/token"_s,
        QList<ScriptedAnswer> {
            ScriptedAnswer::error(400, u"Waiting"_s, u"AUTHORIZATION_PENDING"_s),
            ScriptedAnswer::envelope(QJsonObject { { "token", "t" }, { "refresh_token", "r" } }) });
    service.on("POST", u"auth/login"_s,
        ScriptedAnswer::envelope(QJsonObject { { "access_token", "a" }, { "refresh_token", "r" },
            { "user", QJsonObject { { "fullname", "Ada" } } } }));
    service.on("POST", u"auth/refresh"_s,
        ScriptedAnswer::envelope(QJsonObject {
            { "access_token", "a2" }, { "refresh_token", "r2" }, { "expires_in", 60 } }));
    const QString device = OrvellaAPIClient::deviceId();

    EXPECT_EQ(runTask(client->requestDeviceCode(u"ThinkPad X1"_s)).user_code, u"ABCD"_s);
    RecordedRequest request = lastRequest();
    EXPECT_EQ(request.header("X-Platform"), "androidtv");
    EXPECT_EQ(request.header("Content-Type"), "application/json");
    EXPECT_FALSE(request.hasHeader("Authorization"));
    EXPECT_EQ(request.body,
        (u"{\"device_id\":\""_s + device
            + u"\",\"platform\":\"androidtv\",\"model\":\"Mac \u2014 ThinkPad X1\",\"app_version\":\"1.0.1\"}"_s)
            .toUtf8());

    try {
        runTask(client->pollDeviceToken(u"dc"_s));
        ADD_FAILURE();
    } catch (const APIError &error) {
        EXPECT_EQ(error.code(), u"AUTHORIZATION_PENDING"_s);
        EXPECT_EQ(error.status(), 400);
    }
    EXPECT_EQ(runTask(client->pollDeviceToken(u"dc"_s)).access_token, u"t"_s);
    request = lastRequest();
    EXPECT_EQ(request.header("X-Platform"), "androidtv");
    EXPECT_EQ(request.json().object(),
        (QJsonObject { { "device_code", "dc" }, { "device_id", device } }));

    client->setAccessToken(u"old"_s);
    const TokenData login = runTask(client->loginWithEmail(u"Ada"_s, u"ada@example.org"_s));
    EXPECT_EQ(login.user->name, u"Ada"_s);
    request = lastRequest();
    EXPECT_EQ(request.header("X-Platform"), "macos");
    EXPECT_FALSE(request.hasHeader("Authorization"));
    EXPECT_EQ(request.body,
        (u"{\"fullname\":\"Ada\",\"email\":\"ada@example.org\",\"device_id\":\""_s + device
            + u"\",\"platform\":\"macos\"}"_s)
            .toUtf8());

    EXPECT_EQ(runTask(client->refreshTokens(u"r"_s)).expires_in, 60);
    EXPECT_EQ(lastRequest().json().object(),
        (QJsonObject { { "refresh_token", "r" }, { "device_id", device } }));
    EXPECT_FALSE(lastRequest().hasHeader("Authorization"));
}

TEST_F(Endpoints, CatalogueQueriesAndAnswers)
{
    service.on("GET", u"live/stream"_s,
        ScriptedAnswer::envelope(
            QJsonObject { { "is_live", true }, { "hls_url", "https://h/x.m3u8" } }));
    service.on("GET", u"episodes/search"_s, ScriptedAnswer::envelope(QJsonObject {}));
    service.on("GET", u"episodes/5"_s,
        QList<ScriptedAnswer> {
            ScriptedAnswer::envelope(QJsonObject { { "episode", QJsonObject { { "id", 5 } } } }),
            ScriptedAnswer::envelope(u"text"_s) });
    service.on("GET", u"programs"_s,
        ScriptedAnswer::envelope(QJsonObject { { "programs", programRange(1, 3) } }));

    EXPECT_EQ(runTask(client->getLiveStream(QString())).is_live, true);
    EXPECT_TRUE(lastRequest().target.endsWith("?lang=")) << lastRequest().target.toStdString();
    EXPECT_TRUE(runTask(client->search(u"faith & works + more"_s, 2)).isEmpty());
    EXPECT_EQ(lastRequest().queryValue(u"q"_s), u"faith & works + more"_s);
    EXPECT_EQ(lastRequest().queryValue(u"page"_s), u"2"_s);
    EXPECT_EQ(runTask(client->getEpisode(u"5"_s)).id.stringValue, u"5"_s);
    try {
        (void)runTask(client->getEpisode(u"5"_s));
        ADD_FAILURE();
    } catch (const APIError &error) {
        EXPECT_EQ(error.kind(), APIError::Kind::Empty);
    }
    EXPECT_EQ(runTask(client->getPrograms(1, 60)).size(), 3);
    EXPECT_EQ(lastRequest().queryValue(u"per_page"_s), u"60"_s);
}

TEST_F(Endpoints, ProfileAndContinueWatchingThroughTheTagCache)
{
    client->setAccessToken(u"t"_s);
    service.on("GET", u"user/profile"_s,
        ScriptedAnswer::envelope(
            QJsonObject { { "user", QJsonObject { { "id", 77 }, { "name", "Ada" } } } })
            .withEtag("\"u\""));
    service.on("GET", u"user/continue-watching"_s,
        ScriptedAnswer::envelope(
            QJsonObject { { "items", QJsonArray { QJsonObject { { "episode_id", "e" } } } } })
            .withEtag("\"c\""));
    EXPECT_EQ(runTask(client->getProfile()).id->stringValue, u"77"_s);
    EXPECT_EQ(runTask(client->getProfile()).name, u"Ada"_s); // replayed after 304
    EXPECT_EQ(runTask(client->getContinueWatching()).first().episode_id, u"e"_s);
    EXPECT_EQ(runTask(client->getContinueWatching()).first().episode_id, u"e"_s);
    EXPECT_EQ(lastRequest().header("If-None-Match"), "\"c\"");
    EXPECT_EQ(lastRequest().header("Authorization"), "Bearer t");
}

TEST_F(Endpoints, DisplayTextsFromTheServiceAreBounded)
{
    const QString huge(1'000'000, u'W');
    const QString longUrl = u"https://h/"_s + QString(2000, u'p') + u".m3u8"_s;
    const QString longId(1000, u'i');
    service.on("GET", u"live/stream"_s,
        ScriptedAnswer::envelope(QJsonObject { { "title", huge }, { "viewers_label", huge },
            { "minister", huge }, { "hls_url", longUrl } }));
    service.on("GET", u"live/schedule"_s,
        ScriptedAnswer::envelope(QJsonObject { { "days",
            QJsonArray { QJsonObject { { "items",
                QJsonArray { QJsonObject {
                    { "id", longId }, { "title", huge }, { "minister", huge } } } } } } } }));
    service.on("GET", u"tv/config"_s,
        ScriptedAnswer::envelope(QJsonObject {
            { "live_languages",
                QJsonArray { QJsonObject { { "code", "en" }, { "label", huge } } } },
            { "event", QJsonObject { { "title", huge } } },
            { "events", QJsonArray { QJsonObject { { "title", huge }, { "badge", huge } } } } }));

    const LiveStreamData live = runTask(client->getLiveStream(u"en"_s));
    const ScheduleItem item = runTask(client->getSchedule(1)).toItems().first();
    const TvConfig config = runTask(client->getConfig());
    for (const QString &text : { *live.title, *live.viewers_label, *live.minister, *item.title,
             *item.minister, config.live_languages->first().label, *config.event->title,
             *config.events->first().title, *config.events->first().badge })
        EXPECT_EQ(text, huge.left(displayTextLimit));
    // Identifiers and addresses are never cut.
    EXPECT_EQ(live.hls_url, longUrl);
    EXPECT_EQ(item.id, longId);
}

TEST_F(Endpoints, SignInCodesAndFailureMessagesAreBoundedAndCodesDropControls)
{
    const QString huge(1'000'000, u'7');
    const QString marks(200, QChar(0x0301));
    service.on("POST", u"tv/device/code"_s,
        ScriptedAnswer::envelope(QJsonObject { { "device_code", huge },
            { "user_code", u"AB\u0000\u0007\u200F\u202ECD"_s + marks + huge },
            { "verification_url", u"https://h/"_s + huge } }));
    const DeviceCodeData code = runTask(client->requestDeviceCode(u"ThinkPad"_s));
    EXPECT_TRUE(code.user_code.startsWith(u"ABCD"_s + marks));
    EXPECT_EQ(code.user_code.size(), displayTextLimit + 1);
    EXPECT_TRUE(code.user_code.endsWith(u'…'));
    // What is sent back or opened stays whole.
    EXPECT_EQ(code.device_code, huge);
    EXPECT_EQ(code.verification_url, u"https://h/"_s + huge);

    service.on("POST", u"auth/login"_s, ScriptedAnswer::error(400, huge, u"BAD"_s));
    try {
        runTask(client->loginWithEmail(u"Ada"_s, u"ada@example.org"_s));
        ADD_FAILURE() << "no failure";
    } catch (const APIError &error) {
        EXPECT_EQ(error.description(), huge.left(displayTextLimit));
        EXPECT_EQ(error.code(), u"BAD"_s);
    }
}

TEST(BoundedCodeText, KeepsWholeCharactersAndMarksTheCut)
{
    const QString thumbs = QString::fromUtf8("\U0001F44D");
    EXPECT_EQ(boundedCodeText(u"ORV-1234"_s), u"ORV-1234"_s);
    EXPECT_EQ(boundedCodeText(u"A\uFEFFB\tC\nD"_s), u"ABCD"_s);
    // A lone half of a surrogate pair stands for nothing; a pair is never split by the cut.
    EXPECT_EQ(boundedCodeText(QString(QChar(0xD83D)) + u"X"_s), u"X"_s);
    const QString pairs = u"x"_s + thumbs.repeated(200);
    const QString shown = boundedCodeText(pairs);
    EXPECT_EQ(shown, u"x"_s + thumbs.repeated((displayTextLimit - 1) / 2) + u"…"_s);
}

} // namespace
