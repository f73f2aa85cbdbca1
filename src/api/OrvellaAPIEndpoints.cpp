// The service's endpoints, built on the client's request primitives.

#include "api/ApiLog.h"
#include "api/Identity.h"
#include "api/JsonBodyWriter.h"
#include "api/OrvellaAPIClient.h"

#include <QDateTime>
#include <QNetworkAccessManager>
#include <QPointer>
#include <vector>

using namespace Qt::StringLiterals;

namespace orvella {

namespace {

// An identifier placed in a path is one segment: "/" and dots cannot change the path. URLs
// decode "%2E", so "." and ".." cannot be sent as a segment at all: none for those.
std::optional<QString> pathSegment(const QString &id)
{
    if (id == "."_L1 || id == ".."_L1)
        return std::nullopt;
    return QString::fromLatin1(QUrl::toPercentEncoding(id));
}

QString requiredSegment(const QString &id)
{
    if (auto segment = pathSegment(id))
        return *segment;
    throw APIError::empty();
}

QueryItems programsQuery(int page, int perPage)
{
    return { { u"page"_s, QString::number(page) }, { u"per_page"_s, QString::number(perPage) } };
}
// Which programme of a page matches the folded title phrases.
struct PageMatch
{
    qsizetype size = 0;
    std::optional<ProgramSummary> exact;
    std::optional<ProgramSummary> partial; // the first one
};

PageMatch matchPage(const QList<ProgramSummary> &programs, const QStringList &folded)
{
    PageMatch match;
    match.size = programs.size();
    for (const ProgramSummary &program : programs) {
        const QString title = foldForMatching(program.displayTitle());
        if (folded.contains(title)) {
            match.exact = program;
            return match;
        }
        if (match.partial)
            continue;
        for (const QString &needle : folded) {
            if (title.contains(needle) || needle.contains(title)) {
                match.partial = program;
                break;
            }
        }
    }
    return match;
}

} // namespace

QCoro::Task<TvConfig> OrvellaAPIClient::getConfig(std::stop_token stop)
{
    co_return co_await getDecoded(
        u"tv/config"_s, QueryItems(), false, false, &decodeConfigAnswer, std::move(stop));
}

QCoro::Task<HomeData> OrvellaAPIClient::getHome(std::stop_token stop)
{
    co_return co_await getDecoded(
        u"tv/home"_s, QueryItems(), false, false, &decodeHomeAnswer, std::move(stop));
}

QCoro::Task<LiveStreamData> OrvellaAPIClient::getLiveStream(QString lang, std::stop_token stop)
{
    const QueryItems query { { u"lang"_s, lang } };
    co_return co_await getDecoded(
        u"live/stream"_s, query, false, false, &decodeData<LiveStreamData>, std::move(stop));
}

QCoro::Task<QList<ProgramSummary>> OrvellaAPIClient::getPrograms(
    int page, int perPage, std::stop_token stop)
{
    co_return co_await getDecoded(u"programs"_s, programsQuery(page, perPage), false, true,
        &decodeProgramsAnswer, std::move(stop));
}

QCoro::Task<std::optional<ProgramSummary>> OrvellaAPIClient::resolveProgram(
    QStringList needles, std::stop_token stop)
{
    QStringList folded;
    for (const QString &needle : std::as_const(needles)) {
        QString text = foldForMatching(needle);
        if (!text.isEmpty())
            folded.append(std::move(text));
    }
    if (folded.isEmpty())
        co_return std::nullopt;

    constexpr int perPage = 50;
    constexpr int lastPage = 10;
    QPointer<OrvellaAPIClient> self(this);
    std::optional<ProgramSummary> fallback;
    // Each page is the programme list's own request; its titles are matched where it decodes.
    const auto match
        = [folded](const JSONValue &data) { return matchPage(decodeProgramsAnswer(data), folded); };
    for (int page = 1; page <= lastPage; ++page) {
        const PageMatch found = co_await getDecoded(
            u"programs"_s, programsQuery(page, perPage), false, true, match, stop);
        if (!self)
            throwGone();
        if (found.size == 0)
            co_return fallback;
        if (found.exact)
            co_return std::optional<ProgramSummary>(found.exact);
        if (!fallback)
            fallback = found.partial;
        if (found.size < perPage)
            break;
    }
    co_return fallback;
}

QCoro::Task<QList<EpisodeSummary>> OrvellaAPIClient::fetchProgramPage(
    QString id, int page, std::stop_token stop)
{
    try {
        const QueryItems query { { u"page"_s, QString::number(page) },
            { u"per_page"_s, u"100"_s } };
        co_return co_await getDecoded(
            u"programs/"_s + requiredSegment(id), query, false, false, &decodeEpisodePage, stop);
    } catch (const DescribedError &error) {
        // A failed extra page counts as empty; the programme still loads.
        qCDebug(lcApi) << "Episode page" << page << "of" << id << "dropped:" << error.description();
        co_return QList<EpisodeSummary>();
    }
}

QCoro::Task<ProgramWithEpisodes> OrvellaAPIClient::getProgram(
    QString id, int maxPages, std::stop_token stop)
{
    QPointer<OrvellaAPIClient> self(this);
    const auto segment = pathSegment(id);
    if (!segment)
        co_return ProgramWithEpisodes();
    const QueryItems query { { u"page"_s, u"1"_s }, { u"per_page"_s, u"100"_s } };
    ProgramWithEpisodes result = co_await getDecoded(
        u"programs/"_s + *segment, query, false, false, &decodeProgramPage, stop);
    if (!self)
        throwGone();
    const int pageBound = std::min(std::max(maxPages, 1), 8);
    if (result.episodes.size() < 100 || maxPages < 2)
        co_return result;

    // All further pages at once; merged in page order, whatever order they finish in.
    std::vector<QCoro::Task<QList<EpisodeSummary>>> pending;
    for (int page = 2; page <= pageBound; ++page)
        pending.push_back(fetchProgramPage(id, page, stop));
    QList<QList<EpisodeSummary>> pages;
    for (auto &task : pending)
        pages.append(co_await task);
    if (!self)
        throwGone();
    QFuture<Decoded<QList<EpisodeSummary>>> merging = m_decoders.run(
        [first = std::move(result.episodes), pages] { return mergeEpisodePages(first, pages); });
    Decoded<QList<EpisodeSummary>> merged = co_await merging;
    result.episodes = merged.take();
    co_return result;
}

QCoro::Task<ScheduleData> OrvellaAPIClient::getSchedule(int days, std::stop_token stop)
{
    const QUrl url = endpointURL(u"live/schedule"_s,
        { { u"days"_s, QString::number(days) },
            { u"_"_s, QString::number(QDateTime::currentMSecsSinceEpoch()) } });
    co_return co_await readOnDecoders(
        getUncached(m_scheduleSession, url, false, m_options.schedule, std::move(stop)),
        [](const HttpAnswer &answer) {
            throwIfNeeded(answer.status, answer.body);
            return decodeScheduleAnswer(answer.body);
        });
}

QCoro::Task<EpisodeDetail> OrvellaAPIClient::getEpisode(QString id, std::stop_token stop)
{
    co_return co_await getDecoded(u"episodes/"_s + requiredSegment(id), QueryItems(), false, false,
        &decodeEpisodeAnswer, std::move(stop));
}

QCoro::Task<QList<SearchResult>> OrvellaAPIClient::search(
    QString query, int page, std::stop_token stop)
{
    const QueryItems items { { u"q"_s, query }, { u"page"_s, QString::number(page) } };
    co_return co_await getDecoded(
        u"episodes/search"_s, items, false, true, &decodeSearchAnswer, std::move(stop));
}

QCoro::Task<DeviceCodeData> OrvellaAPIClient::requestDeviceCode(QString model, std::stop_token stop)
{
    const QByteArray body = JsonBodyWriter()
                                .add("device_id", deviceId())
                                .add("platform", QString::fromLatin1(identity::signInPlatform))
                                .add("model", deviceModelText(model))
                                .add("app_version", QString::fromLatin1(identity::appVersion))
                                .finish();
    co_return co_await post<DeviceCodeData>(u"tv/device/code"_s, body, false,
        QString::fromLatin1(identity::signInPlatform), std::move(stop));
}

QCoro::Task<TokenData> OrvellaAPIClient::pollDeviceToken(QString deviceCode, std::stop_token stop)
{
    const QByteArray body
        = JsonBodyWriter().add("device_code", deviceCode).add("device_id", deviceId()).finish();
    co_return co_await post<TokenData>(u"tv/device/token"_s, body, false,
        QString::fromLatin1(identity::signInPlatform), std::move(stop));
}

QCoro::Task<TokenData> OrvellaAPIClient::loginWithEmail(
    QString fullname, QString email, std::stop_token stop)
{
    const QByteArray body = JsonBodyWriter()
                                .add("fullname", fullname)
                                .add("email", email)
                                .add("device_id", deviceId())
                                .add("platform", QString::fromLatin1(identity::platform))
                                .finish();
    co_return co_await post<TokenData>(u"auth/login"_s, body, false, std::nullopt, std::move(stop));
}

QCoro::Task<RefreshData> OrvellaAPIClient::refreshTokens(QString refreshToken, std::stop_token stop)
{
    const QByteArray body
        = JsonBodyWriter().add("refresh_token", refreshToken).add("device_id", deviceId()).finish();
    co_return co_await post<RefreshData>(
        u"auth/refresh"_s, body, false, std::nullopt, std::move(stop));
}

QCoro::Task<SignOutData> OrvellaAPIClient::signOut(std::stop_token stop)
{
    co_return co_await deleteResource<SignOutData>(
        u"tv/device"_s, QString::fromLatin1(identity::signInPlatform), std::move(stop));
}

QCoro::Task<UserProfile> OrvellaAPIClient::getProfile(std::stop_token stop)
{
    co_return co_await getDecoded(
        u"user/profile"_s, QueryItems(), true, true, &decodeProfileAnswer, std::move(stop));
}

QCoro::Task<QList<ContinueWatchingItem>> OrvellaAPIClient::getContinueWatching(std::stop_token stop)
{
    co_return co_await getDecoded(u"user/continue-watching"_s, QueryItems(), true, true,
        &decodeContinueWatchingAnswer, std::move(stop));
}

QCoro::Task<> OrvellaAPIClient::postHistory(
    QString episodeId, qint64 position, qint64 duration, std::stop_token stop)
{
    const QByteArray body = JsonBodyWriter()
                                .add("episode_id", episodeId)
                                .add("position", position)
                                .add("duration", duration)
                                .finish();
    // The 2xx body is not read: an "error" envelope still counts as delivered.
    co_await postChecked(u"user/history"_s, body, true, std::nullopt, std::move(stop));
}

QCoro::Task<> OrvellaAPIClient::postEpisodeView(QString id, std::stop_token stop)
{
    // Never authorised, even when signed in.
    co_await postChecked(u"episodes/"_s + requiredSegment(id) + u"/view"_s, "{}", false,
        std::nullopt, std::move(stop));
}

} // namespace orvella
