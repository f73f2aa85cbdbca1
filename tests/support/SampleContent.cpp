#include "support/SampleContent.h"

#include "support/ServiceDouble.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTimeZone>
#include <memory>

namespace orvella::test {

namespace {

struct Sample
{
    QString directory;
    QString origin;
    QJsonArray programs;
    QJsonObject episodesByProgram; // programme id text -> list of episode summaries
    int tokenPolls = 0;

    [[nodiscard]] QByteArray text(const QString &name, const QString &language = {}) const
    {
        QFile file(directory + u'/' + name);
        if (!file.open(QIODevice::ReadOnly))
            qFatal("sample file %s is missing", qPrintable(file.fileName()));
        return expandSample(
            file.readAll(), origin, language.isEmpty() ? QStringLiteral("en") : language);
    }
    [[nodiscard]] QJsonValue json(const QString &name, const QString &language = {}) const
    {
        const QJsonDocument document = QJsonDocument::fromJson(text(name, language));
        return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
    }
};

QString idText(const QJsonValue &id)
{
    return id.isString() ? id.toString() : QString::number(id.toInteger());
}

// Answers that the client fetches with its ETag exchange carry a tag made from their body.
ScriptedAnswer tagged(ScriptedAnswer answer)
{
    const QByteArray hash = QCryptographicHash::hash(answer.body, QCryptographicHash::Sha1).toHex();
    return answer.withEtag('"' + hash.left(16) + '"');
}

int positiveQuery(const RecordedRequest &request, const QString &name, int fallback)
{
    bool ok = false;
    const int value = request.queryValue(name).toInt(&ok);
    return ok && value > 0 ? value : fallback;
}

QJsonObject pageMeta(int page, int perPage, qsizetype total)
{
    const int pages = int((total + perPage - 1) / perPage);
    return { { "page", page }, { "per_page", perPage }, { "total", total },
        { "total_pages", pages }, { "has_more", page < pages } };
}

QJsonArray slice(const QJsonArray &items, int page, int perPage)
{
    QJsonArray part;
    const qsizetype from = qsizetype(page - 1) * perPage;
    for (qsizetype i = from; i < std::min(items.size(), from + perPage); ++i)
        part.append(items.at(i));
    return part;
}

bool signedIn(const RecordedRequest &request)
{
    const QByteArray authorization = request.header("Authorization");
    return authorization.startsWith("Bearer ") && authorization.size() > 7;
}

ScriptedAnswer unauthorized()
{
    return ScriptedAnswer::error(
        401, QStringLiteral("Unauthenticated."), QStringLiteral("UNAUTHORIZED"));
}

QJsonObject findProgram(const Sample &sample, const QString &id)
{
    for (const QJsonValue &program : sample.programs) {
        if (idText(program[QStringLiteral("id")]) == id)
            return program.toObject();
    }
    return {};
}

// The episode's detail: its summary, its programme, playback and subtitles, and up to four
// related episodes of the same programme.
QJsonObject episodeDetail(const Sample &sample, const QString &id)
{
    for (auto it = sample.episodesByProgram.begin(); it != sample.episodesByProgram.end(); ++it) {
        const QJsonArray episodes = it.value().toArray();
        for (qsizetype i = 0; i < episodes.size(); ++i) {
            QJsonObject episode = episodes.at(i).toObject();
            if (idText(episode[QStringLiteral("id")]) != id)
                continue;
            const QJsonObject program = findProgram(sample, it.key());
            const QJsonObject extra = sample.json(QStringLiteral("episode.json")).toObject();
            for (auto field = extra.begin(); field != extra.end(); ++field)
                episode.insert(field.key(), field.value());
            // Even episodes play the three-variant stream, so the quality menu has choices.
            if (id.toLongLong() % 2 == 0)
                episode.insert(QStringLiteral("hls_url"),
                    sample.origin + QStringLiteral("/media/multi/master.m3u8"));
            episode.insert(QStringLiteral("slug"), QStringLiteral("episode-") + id);
            episode.insert(QStringLiteral("program"),
                QJsonObject { { "id", program[QStringLiteral("id")] },
                    { "title", program[QStringLiteral("title")] },
                    { "slug", program[QStringLiteral("slug")] } });
            QJsonArray related;
            for (qsizetype r = i + 1; r < episodes.size() && related.size() < 4; ++r)
                related.append(episodes.at(r));
            episode.insert(QStringLiteral("related"), related);
            return episode;
        }
    }
    return {};
}

QJsonArray searchResults(const Sample &sample, const QString &query)
{
    QJsonArray results;
    if (query.trimmed().isEmpty())
        return results;
    for (const QJsonValue &program : sample.programs) {
        if (program[QStringLiteral("title")].toString().contains(
                query.trimmed(), Qt::CaseInsensitive))
            results.append(
                QJsonObject { { "kind", "program" }, { "id", program[QStringLiteral("id")] },
                    { "title", program[QStringLiteral("title")] },
                    { "image", program[QStringLiteral("image")] } });
    }
    for (const QJsonValue &list : sample.episodesByProgram) {
        for (const QJsonValue &episode : list.toArray()) {
            if (episode[QStringLiteral("title")].toString().contains(
                    query.trimmed(), Qt::CaseInsensitive))
                results.append(
                    QJsonObject { { "kind", "episode" }, { "id", episode[QStringLiteral("id")] },
                        { "title", episode[QStringLiteral("title")] },
                        { "image", episode[QStringLiteral("image")] },
                        { "program_title", episode[QStringLiteral("program_title")] },
                        { "duration", episode[QStringLiteral("duration")] } });
        }
    }
    return results;
}

void installCatalogue(ServiceDouble &service, const std::shared_ptr<Sample> &sample)
{
    service.handle("GET", "tv/config", [sample](const RecordedRequest &) {
        return ScriptedAnswer::envelope(sample->json(QStringLiteral("config.json")));
    });
    service.handle("GET", "tv/home", [sample](const RecordedRequest &) {
        return ScriptedAnswer::envelope(sample->json(QStringLiteral("home.json")));
    });
    service.handle("GET", "live/stream", [sample](const RecordedRequest &request) {
        return ScriptedAnswer::envelope(
            sample->json(QStringLiteral("live-stream.json"), request.queryValue("lang")));
    });
    service.handle("GET", "live/schedule", [sample](const RecordedRequest &) {
        return ScriptedAnswer::envelope(sample->json(QStringLiteral("schedule.json")))
            .withHeader("Cache-Control", "no-store");
    });
    service.handle("GET", "programs", [sample](const RecordedRequest &request) {
        const int page = positiveQuery(request, "page", 1);
        const int perPage = positiveQuery(request, "per_page", 20);
        return tagged(ScriptedAnswer::envelope(
            QJsonObject { { "programs", slice(sample->programs, page, perPage) } },
            QJsonObject { { "meta", pageMeta(page, perPage, sample->programs.size()) } }));
    });
    service.handle("GET", "programs/*", [sample](const RecordedRequest &request) {
        const QString id = request.apiPath().section(u'/', 1, 1);
        const QJsonObject program = findProgram(*sample, id);
        if (program.isEmpty())
            return ScriptedAnswer::error(
                404, QStringLiteral("Program not found"), QStringLiteral("NOT_FOUND"));
        const QJsonArray episodes = sample->episodesByProgram.value(id).toArray();
        const int page = positiveQuery(request, "page", 1);
        const int perPage = positiveQuery(request, "per_page", 100);
        return ScriptedAnswer::envelope(
            QJsonObject { { "program", program }, { "episodes", slice(episodes, page, perPage) } },
            QJsonObject { { "meta", pageMeta(page, perPage, episodes.size()) } });
    });
    service.handle("GET", "episodes/search", [sample](const RecordedRequest &request) {
        const QJsonArray results = searchResults(*sample, request.queryValue("q"));
        const int page = positiveQuery(request, "page", 1);
        return tagged(
            ScriptedAnswer::envelope(QJsonObject { { "results", slice(results, page, 20) } },
                QJsonObject { { "meta", pageMeta(page, 20, results.size()) } }));
    });
    service.handle("GET", "episodes/*", [sample](const RecordedRequest &request) {
        const QJsonObject episode = episodeDetail(*sample, request.apiPath().section(u'/', 1, 1));
        if (episode.isEmpty())
            return ScriptedAnswer::error(
                404, QStringLiteral("Episode not found"), QStringLiteral("NOT_FOUND"));
        return ScriptedAnswer::envelope(QJsonObject { { "episode", episode } });
    });
    service.on("POST", "episodes/*", ScriptedAnswer::envelope(QJsonObject { { "counted", true } }));
}

void installAccount(ServiceDouble &service, const std::shared_ptr<Sample> &sample)
{
    service.handle("GET", "user/profile", [sample](const RecordedRequest &request) {
        if (!signedIn(request))
            return unauthorized();
        return tagged(ScriptedAnswer::envelope(sample->json(QStringLiteral("profile.json"))));
    });
    service.handle("GET", "user/continue-watching", [sample](const RecordedRequest &request) {
        if (!signedIn(request))
            return unauthorized();
        return tagged(
            ScriptedAnswer::envelope(sample->json(QStringLiteral("continue-watching.json"))));
    });
    service.handle("POST", "user/history", [](const RecordedRequest &request) {
        if (!signedIn(request))
            return unauthorized();
        return ScriptedAnswer::envelope(QJsonObject { { "saved", true } });
    });
    service.handle("POST", "tv/device/code", [sample](const RecordedRequest &) {
        sample->tokenPolls = 0;
        return ScriptedAnswer::envelope(sample->json(QStringLiteral("device-code.json")));
    });
    // The phone approves on the second poll after a code was issued: the first shows the
    // waiting status, and a new viewer is signed in about six seconds after the code shows.
    service.handle("POST", "tv/device/token", [sample](const RecordedRequest &request) {
        if (request.json()[QStringLiteral("device_code")].toString().isEmpty())
            return ScriptedAnswer::error(400, QStringLiteral("The device code is missing."),
                QStringLiteral("INVALID_REQUEST"));
        if (++sample->tokenPolls <= 1)
            return ScriptedAnswer::error(400, QStringLiteral("Waiting for approval on your phone."),
                QStringLiteral("AUTHORIZATION_PENDING"));
        return ScriptedAnswer::envelope(sample->json(QStringLiteral("token.json")));
    });
    service.handle("POST", "auth/login", [sample](const RecordedRequest &request) {
        if (!request.json()[QStringLiteral("email")].toString().contains(u'@'))
            return ScriptedAnswer::error(422,
                QStringLiteral("Please enter a valid e-mail address."),
                QStringLiteral("INVALID_EMAIL"));
        return ScriptedAnswer::envelope(sample->json(QStringLiteral("token.json")));
    });
    service.handle("POST", "auth/refresh", [sample](const RecordedRequest &request) {
        if (request.json()[QStringLiteral("refresh_token")].toString().isEmpty())
            return ScriptedAnswer::error(
                401, QStringLiteral("Session expired."), QStringLiteral("INVALID_REFRESH_TOKEN"));
        return ScriptedAnswer::envelope(sample->json(QStringLiteral("refresh.json")));
    });
    service.on(
        "DELETE", "tv/device", ScriptedAnswer::envelope(QJsonObject { { "signed_out", true } }));

    // Uploads: the first two routes do not exist on this service.
    service.on("POST", "user/testimony", ScriptedAnswer::error(404, QStringLiteral("Not found")));
    service.on("POST", "user/testimonies", ScriptedAnswer::error(404, QStringLiteral("Not found")));
    for (const char *route : { "testimony/upload", "testimonies/upload", "engagement/testimony" }) {
        service.handle("POST", QString::fromLatin1(route), [](const RecordedRequest &request) {
            if (!request.header("Content-Type").startsWith("multipart/form-data"))
                return ScriptedAnswer::error(422, QStringLiteral("A video file is required."),
                    QStringLiteral("VALIDATION_ERROR"));
            return ScriptedAnswer::envelope(
                QJsonObject { { "id", "t-1001" }, { "status", "received" } },
                QJsonObject { { "message", "Thank you! Your testimony was received." } });
        });
    }
}

} // namespace

QByteArray expandSample(QByteArray text, const QString &origin, const QString &language)
{
    const qint64 hour = QDateTime::currentSecsSinceEpoch() / 3600 * 3600;
    static const QRegularExpression number(
        QStringLiteral(R"re("\{\{(HOUR|HOUR_MS)([+-]\d+)\}\}")re"));
    QString expanded = QString::fromUtf8(text);
    QString result;
    qsizetype last = 0;
    for (auto it = number.globalMatch(expanded); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const qint64 offset = match.captured(2).toLongLong();
        const qint64 value = match.captured(1) == u"HOUR" ? hour + offset : hour * 1000 + offset;
        result += QStringView(expanded).mid(last, match.capturedStart() - last);
        result += QString::number(value);
        last = match.capturedEnd();
    }
    result += QStringView(expanded).mid(last);

    const QDate today = QDateTime::currentDateTime()
                            .toTimeZone(QTimeZone(QByteArrayLiteral("Africa/Lagos")))
                            .date();
    result.replace(QStringLiteral("{{MEDIA}}"), origin + QStringLiteral("/media"));
    result.replace(QStringLiteral("{{ORIGIN}}"), origin);
    result.replace(QStringLiteral("{{LANG}}"), language);
    result.replace(QStringLiteral("{{TODAY}}"), today.toString(Qt::ISODate));
    result.replace(QStringLiteral("{{TOMORROW}}"), today.addDays(1).toString(Qt::ISODate));
    return result.toUtf8();
}

void installSampleContent(ServiceDouble &service, const QString &directory)
{
    auto sample = std::make_shared<Sample>();
    sample->directory = directory;
    sample->origin = service.origin().toString();
    sample->programs = sample->json(QStringLiteral("programs.json")).toArray();
    sample->episodesByProgram = sample->json(QStringLiteral("episodes.json")).toObject();
    installCatalogue(service, sample);
    installAccount(service, sample);
}

} // namespace orvella::test
