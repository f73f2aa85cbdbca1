// Every rule of sending a testimony in one place: what the client puts on the wire and in which
// order it tries the routes, what the delivery does with the answer (archive copy, file manager,
// portal, texts), and the two joined through the real client.

#include "../api/ApiTestSupport.h"
#include "DeliveryTestSupport.h"
#include "api/MultipartForm.h"
#include "studio/RecordingDelivery.h"
#include "support/RawHttpServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QRegularExpression>

using namespace Qt::StringLiterals;
using namespace orvella;
using namespace orvella::test;

namespace {

const QStringList routes { u"user/testimony"_s, u"user/testimonies"_s, u"testimony/upload"_s,
    u"testimonies/upload"_s, u"engagement/testimony"_s };

class Upload : public ClientFixture
{
protected:
    void SetUp() override
    {
        ClientFixture::SetUp();
        movie = files.filePath(u"my testimony.mov"_s);
        QFile file(movie);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        // Bytes that look like a boundary and line breaks must pass unchanged.
        content = QByteArray("\x00\x01movie\r\n--Boundary-X\r\n", 23) + QByteArray(70000, 'v');
        file.write(content);
    }

    void answerRoutes(const QList<ScriptedAnswer> &answers)
    {
        for (qsizetype i = 0; i < routes.size(); ++i)
            service.on("POST", routes[i], answers[i]);
    }

    APIError uploadFailure()
    {
        try {
            runTask(client->uploadTestimony(movie, u"Ada"_s, u"ada@x.org"_s, u"My story"_s));
        } catch (const APIError &error) {
            return error;
        }
        ADD_FAILURE() << "the upload did not fail";
        return APIError::unauthorized();
    }

    static QByteArray expectedBody(
        const QByteArray &boundary, const QByteArray &fileName, const QByteArray &content)
    {
        QByteArray body;
        const auto field = [&](const char *name, const char *value) {
            body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name
                + "\"\r\n\r\n" + value + "\r\n";
        };
        field("name", "Ada");
        field("fullname", "Ada");
        field("email", "ada@x.org");
        field("title", "My story");
        field("source", "macos_studio");
        field("platform", "macos");
        body += "--" + boundary + "\r\nContent-Disposition: form-data; name=\"video\"; filename=\""
            + fileName + "\"\r\nContent-Type: video/quicktime\r\n\r\n" + content + "\r\n--"
            + boundary + "--\r\n";
        return body;
    }

    // The delivery of the movie through the real client, with a portal that opens.
    delivery::UploadReport deliver(FakeDeliveryServices &fake, const QUrl &portal = {})
    {
        delivery::Services services = fake.make(files.filePath(u"archive"_s));
        services.upload = delivery::apiUploader(*client);
        return runTask(delivery::upload(services, movie, u"Ann"_s, u"ann@example.org"_s, portal));
    }

    QTemporaryDir files;
    QString movie;
    QByteArray content;
};

TEST_F(Upload, TriesEveryRouteWithTheSameBytes)
{
    answerRoutes({ ScriptedAnswer::error(404, u"No"_s), ScriptedAnswer::empty(404),
        ScriptedAnswer::empty(404), ScriptedAnswer::empty(404),
        ScriptedAnswer::json(QJsonObject { { "status", "created" } }, 201) });
    client->setAccessToken(u"tok"_s);
    runTask(client->uploadTestimony(movie, u"Ada"_s, u"ada@x.org"_s, u"My story"_s));

    const QList<RecordedRequest> sent = service.requests();
    ASSERT_EQ(sent.size(), 5);
    const QByteArray contentType = sent.first().header("Content-Type");
    const QRegularExpression pattern(
        u"^multipart/form-data; boundary=(Boundary-[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12})$"_s);
    const auto match = pattern.match(QString::fromLatin1(contentType));
    ASSERT_TRUE(match.hasMatch()) << contentType.toStdString();
    const QByteArray body = expectedBody(match.captured(1).toLatin1(), "my testimony.mov", content);
    for (qsizetype i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i].apiPath(), routes[i]);
        EXPECT_EQ(sent[i].header("Content-Type"), contentType);
        EXPECT_EQ(sent[i].header("Authorization"), "Bearer tok");
        EXPECT_EQ(sent[i].header("X-Platform"), "macos");
        EXPECT_TRUE(sent[i].body == body) << "route " << i;
    }
}

TEST_F(Upload, AnyTwoHundredThatIsNotAnErrorEnvelopeSucceeds)
{
    answerRoutes({ ScriptedAnswer::raw("OK", "text/plain"), ScriptedAnswer::empty(404),
        ScriptedAnswer::empty(404), ScriptedAnswer::empty(404), ScriptedAnswer::empty(404) });
    runTask(client->uploadTestimony(movie, u"Ada"_s, u"ada@x.org"_s, u"My story"_s));
    EXPECT_EQ(service.requestCount(), 1);
}

TEST_F(Upload, TheLastRoutesFailureIsThrown)
{
    const ScriptedAnswer errorEnvelope
        = ScriptedAnswer::json(QJsonObject { { "status", "error" } });
    answerRoutes({ errorEnvelope, ScriptedAnswer::empty(404), ScriptedAnswer::empty(404),
        ScriptedAnswer::empty(404), ScriptedAnswer::error(500, u"Ignored here"_s) });
    const APIError last = uploadFailure();
    EXPECT_EQ(service.requestCount(), 5);
    EXPECT_EQ(last.status(), 500);
    EXPECT_EQ(last.description(), u"internal server error"_s); // no envelope message, no 403 text

    answerRoutes({ ScriptedAnswer::empty(404), ScriptedAnswer::empty(404),
        ScriptedAnswer::empty(404), ScriptedAnswer::empty(404), errorEnvelope });
    const APIError rejected = uploadFailure();
    EXPECT_EQ(rejected.status(), 200);
    EXPECT_EQ(rejected.description(), u"Upload failed"_s);

    answerRoutes(
        { errorEnvelope, errorEnvelope, errorEnvelope, errorEnvelope, ScriptedAnswer::dropped() });
    EXPECT_THROW(runTask(client->uploadTestimony(movie, u"Ada"_s, u"a"_s, u"t"_s)), TransportError);
}

// A route that moves its upload (307/308) has the whole body sent once more, to the new address
// on the same service: an answer came, so that is not the resend of an unanswered request.
TEST_F(Upload, ARedirectedRouteSendsTheBodyOnToItsNewAddress)
{
    for (const int status : { 307, 308 }) {
        service.clearScripts();
        service.clearRequests();
        answerRoutes({ ScriptedAnswer::empty(status).withHeader(
                           "Location", "/fresh/newapi/v1/testimony/moved"),
            ScriptedAnswer::empty(404), ScriptedAnswer::empty(404), ScriptedAnswer::empty(404),
            ScriptedAnswer::empty(404) });
        service.on("POST", u"testimony/moved"_s,
            ScriptedAnswer::json(QJsonObject { { "status", "created" } }, 201));
        runTask(client->uploadTestimony(movie, u"Ada"_s, u"ada@x.org"_s, u"My story"_s));
        const QList<RecordedRequest> sent = service.requests();
        ASSERT_EQ(sent.size(), 2) << status;
        EXPECT_EQ(sent[1].apiPath(), u"testimony/moved"_s);
        EXPECT_TRUE(sent[1].body == sent[0].body) << status;
        EXPECT_TRUE(sent[1].body.contains(content)) << status;
    }

    // Elsewhere, with the bearer token, it does not go: that route has failed.
    service.clearScripts();
    service.clearRequests();
    answerRoutes({ ScriptedAnswer::empty(307).withHeader("Location", "http://other.invalid/x"),
        ScriptedAnswer::empty(404), ScriptedAnswer::empty(404), ScriptedAnswer::empty(404),
        ScriptedAnswer::json(QJsonObject { { "status", "created" } }, 201) });
    runTask(client->uploadTestimony(movie, u"Ada"_s, u"ada@x.org"_s, u"My story"_s));
    EXPECT_EQ(service.requestCount(), 5);
}

// Qt sends a request again when its connection closes before an answer; an upload goes out
// once per route whether the service took all of the body or part of it.
TEST_F(Upload, EachRouteIsSentOnceWhenTheServiceClosesWithoutAnswering)
{
    service.on("POST", "*", ScriptedAnswer::dropped());
    FakeDeliveryServices portalOpens;
    const auto afterWholeBodies = deliver(portalOpens, QUrl(u"https://portal.example/testimony"_s));
    EXPECT_EQ(service.requestCount(), routes.size());
    for (qsizetype i = 0; i < routes.size(); ++i)
        EXPECT_EQ(service.requests()[i].apiPath(), routes[i]);
    EXPECT_FALSE(afterWholeBodies.uploaded);
    EXPECT_EQ(afterWholeBodies.statusMessage, u"Upload needs portal confirmation"_s);
    const QString archived = QDir(files.filePath(u"archive"_s)).filePath(u"my testimony.mov"_s);
    EXPECT_EQ(readAll(archived), content);
    EXPECT_EQ(portalOpens.reveal->revealed, QStringList { archived });

    // A body too large for the system's buffers, cut off after its first kilobyte.
    QFile file(movie);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(QByteArray(16 * 1024 * 1024, 'v')), 16 * 1024 * 1024);
    file.close();
    RawHttpServer raw;
    ASSERT_TRUE(raw.start());
    raw.setBehaviour({ .closeAfterBodyBytes = 1024 });
    qputenv("ORVELLA_API_BASE", raw.origin().toString().toUtf8());
    FakeDeliveryServices noPortal;
    const auto afterPartBodies = deliver(noPortal);
    EXPECT_EQ(raw.requestCount(), routes.size());
    EXPECT_EQ(afterPartBodies.uploadMessage, u"Upload failed: A network error occurred."_s);
    EXPECT_EQ(afterPartBodies.statusMessage, u"Upload failed"_s);
    EXPECT_EQ(QFileInfo(archived).size(), 16 * 1024 * 1024);
}

// A kept-alive connection of other requests is not the upload's: one the service has closed
// since cannot fail a route.
TEST_F(Upload, GoesOutOnAConnectionOfItsOwn)
{
    RawHttpServer raw;
    ASSERT_TRUE(raw.start());
    const QByteArray accepted = R"({"status":"success","data":{}})";
    // Each connection gets its answer and then stays open, silent.
    raw.setBehaviour(
        { .head = RawHttpServer::okHead(accepted.size()), .body = accepted, .stall = true });
    qputenv("ORVELLA_API_BASE", raw.origin().toString().toUtf8());
    (void)runTask(client->getConfig());
    runTask(client->uploadTestimony(movie, u"Ada"_s, u"ada@x.org"_s, u"My story"_s));
    EXPECT_EQ(raw.requestCount(), 2);
    EXPECT_EQ(raw.connectionCount(), 2);
}

// The answer bound is the answer's: a movie far larger goes out whole.
TEST_F(Upload, TheAnswerBoundLeavesTheMovieAlone)
{
    APIClientOptions options;
    options.cacheDirectory = cacheFolder.path();
    options.answerBytes = 1024;
    OrvellaAPIClient bounded(options);
    service.on("POST", "*", ScriptedAnswer::json(QJsonObject { { "status", "created" } }, 201));
    runTask(bounded.uploadTestimony(movie, u"Ada"_s, u"ada@x.org"_s, u"My story"_s));
    ASSERT_EQ(service.requestCount(), 1);
    EXPECT_TRUE(service.requests().first().body.contains(content));
}

TEST_F(Upload, UnreadableFileSendsNothing)
{
    EXPECT_THROW(
        runTask(client->uploadTestimony(files.filePath(u"missing.mov"_s), u"A"_s, u"a"_s, u"t"_s)),
        FileReadError);
    EXPECT_THROW(
        runTask(client->uploadTestimony(files.path(), u"A"_s, u"a"_s, u"t"_s)), FileReadError);
    EXPECT_EQ(service.requestCount(), 0);
}

TEST(MultipartBody, OnlyBreakingFileNameCharactersAreEncoded)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"say \"hi\".mov"_s);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
    file.close();
    const MultipartForm form(
        u"B"_s, { { u"name"_s, u"a \"b\"\r\nc"_s } }, u"video"_s, path, "video/quicktime");
    EXPECT_EQ(form.readAll(),
        "--B\r\nContent-Disposition: form-data; name=\"name\"\r\n\r\na \"b\"\r\nc\r\n"
        "--B\r\nContent-Disposition: form-data; name=\"video\"; filename=\"say %22hi%22.mov\"\r\n"
        "Content-Type: video/quicktime\r\n\r\nx\r\n--B--\r\n");
    EXPECT_EQ(form.size(), form.readAll().size());
    EXPECT_EQ(MultipartForm::escapedFileName(u"a\rb\nc"_s), u"a%0Db%0Ac"_s);
    EXPECT_NE(MultipartForm::newBoundary(), MultipartForm::newBoundary());
}

// What the delivery makes of the answer, with an uploader that answers as told.
struct OutcomeCase
{
    const char *name;
    std::optional<QString> failure; // none: the service took it
    const char *portal;
    bool archive; // the application may keep copies
    bool browserOpens;
    const char *uploadMessage; // on a refusal, empty stands for the portal text
    const char *statusMessage;
    enum Shown { nothing, archivedCopy, recording } revealed;
    bool portalOpened;
};

const QString accepted
    = u"Uploaded to the Orvella testimony team. An admin can review it shortly."_s;
const QString portalText
    = u"Opened the official Orvella testimony portal (urls.testimony). Your recording is "
      "selected in your file manager — attach it there so the team receives it."_s;
constexpr auto web = "https://portal.example/testimony?src=macos&platform=macos";

const OutcomeCase outcomes[] = {
    { "accepted", std::nullopt, web, true, true, "", "Upload complete", OutcomeCase::nothing,
        false },
    { "refused, portal", u"not found"_s, web, true, true, "", "Upload needs portal confirmation",
        OutcomeCase::archivedCopy, true },
    { "refused, no portal", u"internal server error"_s, "", true, true,
        "Upload failed: internal server error.", "Upload failed", OutcomeCase::nothing, false },
    { "a sentence keeps its stop", u"The request timed out."_s, "", true, true,
        "Upload failed: The request timed out.", "Upload failed", OutcomeCase::nothing, false },
    { "a file portal", u"not found"_s, "file:///home/someone/run.sh", true, true,
        "Upload failed: not found.", "Upload failed", OutcomeCase::nothing, false },
    { "a script portal", u"not found"_s, "javascript:alert(1)", true, true,
        "Upload failed: not found.", "Upload failed", OutcomeCase::nothing, false },
    { "no archive", u"offline"_s, web, false, true, "", "Upload needs portal confirmation",
        OutcomeCase::recording, true },
    { "the browser does not open", u"offline"_s, web, true, false, "Upload failed: offline.",
        "Upload failed", OutcomeCase::archivedCopy, false },
};

TEST_F(Upload, EachAnswerEndsAsItShould)
{
    for (const OutcomeCase &c : outcomes) {
        SCOPED_TRACE(c.name);
        QTemporaryDir scratch;
        const QString archive = c.archive ? scratch.filePath(u"archive"_s) : QString();
        FakeDeliveryServices fake;
        fake.failure = c.failure;
        fake.browserOpens = c.browserOpens;
        const auto report = runTask(delivery::upload(fake.make(archive), movie, u"Ann"_s,
            u"ann@example.org"_s, QUrl(QString::fromLatin1(c.portal))));
        ASSERT_EQ(fake.requests.size(), 1);
        const delivery::UploadRequest &sent = fake.requests[0];
        EXPECT_EQ(sent.filePath, movie);
        EXPECT_EQ(sent.name, "Ann");
        EXPECT_EQ(sent.email, "ann@example.org");
        EXPECT_EQ(sent.title, "Testimony from macOS Studio");
        EXPECT_EQ(report.uploaded, !c.failure);
        const QString message = !c.failure ? accepted
            : *c.uploadMessage == 0        ? portalText
                                           : QString::fromUtf8(c.uploadMessage);
        EXPECT_EQ(report.uploadMessage, message);
        EXPECT_EQ(report.statusMessage, QString::fromUtf8(c.statusMessage));

        // A refused recording is always kept where the application keeps its data.
        const QString copy = QDir(archive).filePath(QFileInfo(movie).fileName());
        if (c.failure && c.archive)
            EXPECT_EQ(readAll(copy), content);
        else if (!archive.isEmpty())
            EXPECT_FALSE(QFileInfo::exists(archive));
        const QStringList shown = c.revealed == OutcomeCase::archivedCopy ? QStringList { copy }
            : c.revealed == OutcomeCase::recording                        ? QStringList { movie }
                                                                          : QStringList {};
        EXPECT_EQ(fake.reveal->revealed, shown);
        EXPECT_EQ(fake.opened.size(), c.revealed == OutcomeCase::nothing ? 0 : 1);
        EXPECT_EQ(c.portalOpened, !fake.opened.isEmpty() && c.browserOpens);
    }
}

// The client's failures reach the viewer as their descriptions.
TEST_F(Upload, ThroughTheClientTheServicesAnswerIsWhatTheViewerReads)
{
    delivery::Services services;
    services.upload = delivery::apiUploader(*client);
    services.archiveFolder = files.filePath(u"archive"_s);
    service.on("POST", "*", ScriptedAnswer::error(500, u"Down"_s));
    const auto refused = runTask(delivery::upload(services, movie, u""_s, u""_s, QUrl()));
    EXPECT_EQ(service.requestCount(), routes.size());
    EXPECT_EQ(refused.uploadMessage, u"Upload failed: internal server error."_s);

    service.on("POST", "*", ScriptedAnswer::json(QJsonObject { { "id", 7 } }, 201));
    const auto taken
        = runTask(delivery::upload(services, movie, u"Ann"_s, u"ann@example.org"_s, QUrl()));
    EXPECT_TRUE(taken.uploaded);
    const RecordedRequest last = service.requests().last();
    EXPECT_TRUE(last.body.contains("name=\"title\"\r\n\r\nTestimony from macOS Studio\r\n"));
    EXPECT_TRUE(last.body.contains("name=\"email\"\r\n\r\nann@example.org\r\n"));
}

} // namespace
