// Redirects of requests that carry the token or a body: followed by the client itself, one
// request per hop and on the service only; every other request as Qt follows them.

#include "ApiTestSupport.h"
#include "support/RawHttpServer.h"

#include <QJsonArray>

using namespace Qt::StringLiterals;
using namespace orvella;
using namespace orvella::test;

namespace {

class Redirects : public ClientFixture
{
protected:
    void SetUp() override
    {
        ClientFixture::SetUp();
        ASSERT_TRUE(elsewhere.start());
        elsewhere.on("*", u"*"_s, ScriptedAnswer::envelope(QJsonObject {}));
        client->setAccessToken(u"secret"_s);
    }

    // A 307 to the same path on another port of the same host: another server.
    [[nodiscard]] ScriptedAnswer movedElsewhere(const QString &path) const
    {
        return ScriptedAnswer::empty(307).withHeader("Location", elsewhere.url(path).toEncoded());
    }

    // Scripts `hops` redirects from `path` through "<path>/1", "<path>/2", ... on the service,
    // each hop with the next of `statuses` and its address alternately as a path and whole; the
    // last address answers `end`. Returns the addresses in order.
    QStringList chain(const QByteArray &method, const QString &path, int hops,
        const QList<int> &statuses, const ScriptedAnswer &end,
        std::chrono::milliseconds delay = std::chrono::milliseconds(0))
    {
        QStringList addresses { path };
        for (int hop = 1; hop <= hops; ++hop)
            addresses.append(path + u'/' + QString::number(hop));
        for (int hop = 0; hop < hops; ++hop) {
            const QUrl next = service.url(addresses[hop + 1]);
            service.on(method, addresses[hop],
                ScriptedAnswer::empty(statuses[hop % statuses.size()])
                    .withHeader("Location",
                        hop % 2 == 0 ? next.path(QUrl::FullyEncoded).toUtf8() : next.toEncoded())
                    .withDelay(delay));
        }
        service.on(method, addresses.last(), end);
        return addresses;
    }

    [[nodiscard]] QStringList asked() const
    {
        QStringList paths;
        for (const RecordedRequest &request : service.requests())
            paths.append(request.apiPath());
        return paths;
    }

    static void expectRefused(const TransportError &error)
    {
        EXPECT_EQ(error.kind(), TransportError::Kind::RedirectRefused);
        EXPECT_EQ(error.description(), u"The service redirected the request to another server."_s);
    }

    ServiceDouble elsewhere;
};

TEST_F(Redirects, TheTokenAndBodiesAreNotCarriedToAnotherServer)
{
    const QString cw = u"user/continue-watching"_s;
    service.on("GET", cw, movedElsewhere(cw));
    expectRefused(transportFailure(client->getContinueWatching()));

    // The revisit with the service's tag goes no further either, and the tag stays.
    service.on("GET", cw,
        QList<ScriptedAnswer> {
            ScriptedAnswer::envelope(QJsonArray {}).withEtag("\"cw\""), movedElsewhere(cw) });
    (void)runTask(client->getContinueWatching());
    expectRefused(transportFailure(client->getContinueWatching()));
    EXPECT_EQ(lastRequest().header("If-None-Match"), "\"cw\"");
    EXPECT_EQ(client->etags().value(cw), u"\"cw\""_s);

    // A position, a sign-in's details and a sign-out.
    service.on("POST", u"user/history"_s, movedElsewhere(u"user/history"_s));
    expectRefused(transportFailure(client->postHistory(u"e1"_s, 30, 60)));
    EXPECT_EQ(service.requests("POST", u"user/history"_s).size(), 1) << "not sent again";
    service.on("POST", u"auth/login"_s, movedElsewhere(u"auth/login"_s));
    expectRefused(transportFailure(client->loginWithEmail(u"A"_s, u"a@x"_s)));
    service.on("DELETE", u"tv/device"_s, movedElsewhere(u"tv/device"_s));
    expectRefused(transportFailure(client->signOut()));

    test::spinFor(std::chrono::milliseconds(50));
    EXPECT_EQ(elsewhere.requestCount(), 0);
}

TEST_F(Redirects, OnTheServiceTheyAreFollowedWithTheTokenAndBody)
{
    service.on("GET", u"user/profile"_s,
        ScriptedAnswer::empty(307).withHeader("Location", "/fresh/newapi/v1/user/profile-moved"));
    service.on("GET", u"user/profile-moved"_s,
        ScriptedAnswer::envelope(QJsonObject { { "user", QJsonObject { { "name", "A" } } } }));
    EXPECT_EQ(runTask(client->getProfile()).name, u"A"_s);
    EXPECT_EQ(lastRequest().header("Authorization"), "Bearer secret");

    service.on("POST", u"user/history"_s,
        ScriptedAnswer::empty(307).withHeader(
            "Location", service.url(u"user/history-moved"_s).toEncoded()));
    service.on("POST", u"user/history-moved"_s, ScriptedAnswer::envelope(QJsonObject {}));
    runTask(client->postHistory(u"e1"_s, 30, 60));
    const RecordedRequest moved = lastRequest();
    EXPECT_EQ(moved.apiPath(), u"user/history-moved"_s);
    EXPECT_EQ(moved.header("Authorization"), "Bearer secret");
    EXPECT_EQ(moved.json().object().value("episode_id").toString(), u"e1"_s);
}

TEST_F(Redirects, ARequestWithNeitherFollowsWhereverItLeads)
{
    service.on("GET", u"tv/config"_s, movedElsewhere(u"tv/config"_s));
    elsewhere.on("GET", u"tv/config"_s,
        ScriptedAnswer::envelope(QJsonObject { { "image_base", "elsewhere" } }));
    EXPECT_EQ(runTask(client->getConfig()).image_base, u"elsewhere"_s);
    EXPECT_EQ(elsewhere.requests("GET", u"tv/config"_s).size(), 1);
}

// Up to five hops, each asked once, with the token, the method and (for a POST) the whole body.
TEST_F(Redirects, ChainsOnTheServiceAskEachHopOnce)
{
    const QString cw = u"user/continue-watching"_s;
    const QString history = u"user/history"_s;
    for (const int hops : { 1, 3, 5 }) {
        SCOPED_TRACE(hops);
        service.clearRequests();
        const QStringList gets = chain("GET", cw, hops, { 302, 301, 303, 307, 308 },
            ScriptedAnswer::envelope(QJsonArray { QJsonObject { { "episode_id", "a" } } }));
        EXPECT_EQ(runTask(client->getContinueWatching()).first().episode_id, u"a"_s);
        EXPECT_EQ(asked(), gets);

        service.clearRequests();
        const QStringList posts
            = chain("POST", history, hops, { 307, 308 }, ScriptedAnswer::envelope(QJsonObject {}));
        runTask(client->postHistory(u"e1"_s, 30, 60));
        EXPECT_EQ(asked(), posts);
        for (const RecordedRequest &request : service.requests()) {
            EXPECT_EQ(request.method, "POST");
            EXPECT_EQ(request.header("Authorization"), "Bearer secret");
            EXPECT_EQ(request.body, R"({"episode_id":"e1","position":30,"duration":60})");
        }
    }

    // A sixth hop is not asked: the request fails clearly.
    for (const QByteArray method : { "GET", "POST" }) {
        service.clearRequests();
        const QString path = method == "GET" ? cw : history;
        const QStringList addresses
            = chain(method, path, 6, { 307 }, ScriptedAnswer::envelope(QJsonArray {}));
        const TransportError error = method == "GET"
            ? transportFailure(client->getContinueWatching())
            : transportFailure(client->postHistory(u"e1"_s, 30, 60));
        EXPECT_EQ(error.kind(), TransportError::Kind::TooManyRedirects);
        EXPECT_EQ(error.description(), u"The service redirected the request too many times."_s);
        EXPECT_EQ(asked(), addresses.first(6)) << method.constData();
    }
}

// Followed, a 301, 302 or 303 would turn the call into a GET without its body: the service's
// part is unknown, so the call fails as sent nowhere.
TEST_F(Redirects, OnlyAGetFollowsAMoveThatWouldChangeItsMethod)
{
    const QByteArray moved = service.url(u"moved"_s).toEncoded();
    for (const int status : { 301, 302, 303 }) {
        const ScriptedAnswer move = ScriptedAnswer::empty(status).withHeader("Location", moved);
        service.on("POST", u"user/history"_s, move);
        service.on("DELETE", u"tv/device"_s, move);
        for (const TransportError &error : { transportFailure(client->postHistory(u"e"_s, 3, 6)),
                 transportFailure(client->signOut()) }) {
            EXPECT_EQ(error.kind(), TransportError::Kind::RedirectNotFollowed) << status;
            EXPECT_EQ(error.description(),
                u"The service redirected the request in a way the client cannot follow."_s);
        }
    }
    EXPECT_EQ(service.requestCount(), 6) << "nothing went to the moved address";
}

TEST_F(Redirects, HttpsOnAnotherPortAndLocalAddressesAreAnotherServer)
{
    // Whatever listens there is never reached, not even for a secure handshake.
    RawHttpServer otherPort;
    ASSERT_TRUE(otherPort.start());
    QUrl secure = otherPort.origin();
    secure.setScheme(u"https"_s);
    secure.setPath(u"/fresh/newapi/v1/user/history"_s);
    for (const QByteArray &location :
        { secure.toEncoded(), QByteArray("file:///etc/hostname"), QByteArray("data:,{}") }) {
        SCOPED_TRACE(location.toStdString());
        const ScriptedAnswer move = ScriptedAnswer::empty(302).withHeader("Location", location);
        service.on("GET", u"user/continue-watching"_s, move);
        service.on("POST", u"user/history"_s, move.withStatus(307));
        expectRefused(transportFailure(client->getContinueWatching()));
        expectRefused(transportFailure(client->postHistory(u"e1"_s, 30, 60)));
    }
    EXPECT_EQ(otherPort.connectionCount(), 0);
}

// A fresh answer of the disk cache serves at whichever hop it belongs.
TEST_F(Redirects, TheDiskCacheServesEachHop)
{
    const QStringList addresses = chain("GET", u"user/profile"_s, 1, { 302 },
        ScriptedAnswer::envelope(QJsonObject { { "user", QJsonObject { { "name", "A" } } } })
            .withHeader("Cache-Control", "max-age=60"));
    EXPECT_EQ(runTask(client->getProfile()).name, u"A"_s);
    EXPECT_EQ(runTask(client->getProfile()).name, u"A"_s);
    EXPECT_EQ(asked(), (QStringList { addresses[0], addresses[1], addresses[0] }));
}

// The whole-transfer bound covers the chain: hops that each come within it cannot add up past it.
TEST_F(Redirects, TheWholeChainKeepsToTheTransferBound)
{
    APIClientOptions options;
    options.cacheDirectory = cacheFolder.path();
    options.main = { std::chrono::milliseconds(5000), std::chrono::milliseconds(400) };
    OrvellaAPIClient quick(options);
    quick.setAccessToken(u"secret"_s);
    (void)chain("POST", u"user/history"_s, 5, { 307 }, ScriptedAnswer::envelope(QJsonObject {}),
        std::chrono::milliseconds(150));
    EXPECT_EQ(transportFailure(quick.postHistory(u"e1"_s, 30, 60)).kind(),
        TransportError::Kind::TimedOut);
    EXPECT_LT(service.requestCount(), 5);
}

// Qt sends a request again on a new connection when its kept-alive one closes before the answer:
// a body goes once all the same, and the request fails.
TEST_F(Redirects, ABodyGoesOnceWhenItsConnectionClosesBeforeTheAnswer)
{
    RawHttpServer raw;
    ASSERT_TRUE(raw.start());
    const QByteArray config = R"({"status":"success","data":{}})";
    // The first request is answered on a connection kept alive; every later one gets no answer.
    raw.setBehaviours(
        { { .head = RawHttpServer::okHead(config.size()), .body = config, .keepAlive = true },
            {} });
    qputenv("ORVELLA_API_BASE", raw.origin().toString().toUtf8());
    (void)runTask(client->getConfig());
    const TransportError lost = transportFailure(client->postHistory(u"e1"_s, 30, 60));
    EXPECT_EQ(lost.kind(), TransportError::Kind::Other);
    EXPECT_EQ(raw.requestCount(), 2) << "the position went out once";
    EXPECT_EQ(raw.connectionCount(), 1);
}

TEST(SameService, SameHostBySchemeAndPortOrUpToHttpsOnTheSamePort)
{
    const QUrl service(u"http://api.orvella.example/fresh/newapi/v1/x"_s);
    for (const char *same : { "http://api.orvella.example/y", "http://API.orvella.example:80/y",
             "https://api.orvella.example/y", "https://api.orvella.example:443/y" })
        EXPECT_TRUE(isSameService(service, QUrl(QString::fromLatin1(same)))) << same;
    for (const char *other : { "http://api.orvella.example:8080/y",
             "https://api.orvella.example:8443/y", "http://other.example/y", "http://127.0.0.2/y",
             "ftp://api.orvella.example/y", "file://api.orvella.example/y", "/relative" })
        EXPECT_FALSE(isSameService(service, QUrl(QString::fromLatin1(other)))) << other;
    EXPECT_FALSE(isSameService(
        QUrl(u"https://api.orvella.example/x"_s), QUrl(u"http://api.orvella.example/x"_s)));

    // Off the default port, up to https only on the same port.
    const QUrl local(u"http://127.0.0.1:8080/x"_s);
    EXPECT_TRUE(isSameService(local, QUrl(u"https://127.0.0.1:8080/y"_s)));
    for (const char *other : { "https://127.0.0.1/y", "https://127.0.0.1:8443/y" })
        EXPECT_FALSE(isSameService(local, QUrl(QString::fromLatin1(other)))) << other;
}

} // namespace
