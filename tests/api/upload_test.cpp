#include "ApiTestSupport.h"
#include "api/MultipartForm.h"

#include <QFile>
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

} // namespace
