#include "core/SharedContent.h"

#include "api/APIError.h"
#include "api/AnswerDecoding.h"
#include "api/OrvellaAPIClient.h"
#include "core/Latch.h"
#include "core/LocalHistory.h"
#include "core/PublishedValue.h"
#include "core/Session.h"
#include "core/SessionLog.h"

#include <QPointer>

namespace orvella {

// One live-stream fetch that any number of loads may wait on.
class SharedContent::LiveFetch
{
public:
    Latch done;
    std::optional<LiveStreamData> result;
};

namespace {

const QString unavailable = QStringLiteral("unavailable");

} // namespace

SharedContent::SharedContent(OrvellaAPIClient &client, const Session &session, QObject *parent)
    : QObject(parent)
    , m_client(client)
    , m_session(session)
{ }

SharedContent::~SharedContent() = default;

void SharedContent::setConfig(std::optional<TvConfig> config)
{
    publish(this, m_config, std::move(config), &SharedContent::configChanged);
}

void SharedContent::setHome(std::optional<HomeData> home)
{
    publish(this, m_home, std::move(home), &SharedContent::homeChanged);
}

void SharedContent::setContinueWatching(QList<ContinueWatchingItem> items)
{
    publish(this, m_continueWatching, std::move(items), &SharedContent::continueWatchingChanged);
}

void SharedContent::clearContinueWatching()
{
    setContinueWatching({});
}

void SharedContent::setProgramsCache(QList<ProgramSummary> programs)
{
    publish(this, m_programsCache, std::move(programs), &SharedContent::programsCacheChanged);
}

void SharedContent::setBootstrapError(std::optional<QString> error)
{
    publish(this, m_bootstrapError, std::move(error), &SharedContent::bootstrapErrorChanged);
}

void SharedContent::setLiveStreamCache(std::optional<LiveStreamData> stream)
{
    publish(this, m_liveStreamCache, std::move(stream), &SharedContent::liveStreamCacheChanged);
}

void SharedContent::setLiveSchedule(std::optional<ScheduleData> schedule)
{
    publish(this, m_liveSchedule, std::move(schedule), &SharedContent::liveScheduleChanged);
}

void SharedContent::setLiveScheduleError(std::optional<QString> error)
{
    publish(this, m_liveScheduleError, std::move(error), &SharedContent::liveScheduleErrorChanged);
}

void SharedContent::setIsLoadingLiveSchedule(bool loading)
{
    publish(this, m_isLoadingLiveSchedule, loading, &SharedContent::isLoadingLiveScheduleChanged);
}

QCoro::Task<std::optional<LiveStreamData>> SharedContent::loadLiveStream(
    QString lang, bool force, std::stop_token stop)
{
    if (!force && m_liveStreamCache
        && (!m_liveStreamCache->lang || *m_liveStreamCache->lang == lang))
        co_return std::optional<LiveStreamData>(m_liveStreamCache);
    // Unforced loads join the fetch in flight, whatever language it was started for.
    const std::shared_ptr<LiveFetch> fetch
        = (!force && m_liveLoad) ? m_liveLoad : startLiveFetch(lang);
    if (!co_await fetch->done.wait(stop))
        co_return std::nullopt;
    // A copy: QCoro moves from an lvalue given to co_return, and other loads read this result.
    co_return std::optional<LiveStreamData>(fetch->result);
}

std::shared_ptr<SharedContent::LiveFetch> SharedContent::startLiveFetch(const QString &lang)
{
    auto fetch = std::make_shared<LiveFetch>();
    m_liveLoad = fetch;
    runLiveFetch(fetch, lang);
    return fetch;
}

QCoro::Task<> SharedContent::runLiveFetch(std::shared_ptr<LiveFetch> fetch, QString lang)
{
    QPointer<SharedContent> self(this);
    QPointer<OrvellaAPIClient> client(&m_client);
    std::optional<LiveStreamData> stream;
    bool failed = false;
    try {
        stream = co_await client->getLiveStream(lang);
    } catch (const DescribedError &error) {
        qCDebug(lcSession) << "Live stream in" << lang << "failed:" << error.description();
        failed = true;
    }
    if (failed && lang != u"en" && client) {
        try {
            stream = co_await client->getLiveStream(QStringLiteral("en"));
        } catch (const DescribedError &error) {
            qCDebug(lcSession) << "Live stream in en failed:" << error.description();
        }
    }
    if (self) {
        if (m_liveLoad == fetch)
            m_liveLoad.reset();
        if (stream) {
            setLiveStreamCache(stream);
            emit liveStreamFetched(*stream);
        }
    }
    fetch->result = std::move(stream);
    fetch->done.open();
}

QCoro::Task<> SharedContent::refreshHome(bool force, std::stop_token stop)
{
    if (!force && m_home)
        co_return;
    QPointer<SharedContent> self(this);
    std::optional<HomeData> home;
    std::optional<QString> failure;
    try {
        home = co_await m_client.getHome(stop);
    } catch (const DescribedError &error) {
        qCDebug(lcSession) << "Home failed:" << error.description();
        failure = error.description();
    }
    if (!self || stop.stop_requested())
        co_return;
    if (home)
        setHome(std::move(home));
    else if (!m_home)
        setBootstrapError(failure);
}

QCoro::Task<> SharedContent::reloadHomeQuietly()
{
    QPointer<SharedContent> self(this);
    std::optional<HomeData> home;
    try {
        home = co_await m_client.getHome();
    } catch (const DescribedError &error) {
        qCDebug(lcSession) << "Home not reloaded:" << error.description();
    }
    if (self && home)
        setHome(std::move(home));
}

QCoro::Task<> SharedContent::refreshContinueWatching(std::stop_token stop)
{
    if (m_session.isGuest()) {
        QList<ContinueWatchingItem> items;
        for (const LocalHistoryEntry &entry : LocalHistoryStore::load())
            items.append(continueWatchingItem(entry));
        setContinueWatching(std::move(items));
        co_return;
    }
    QPointer<SharedContent> self(this);
    const quint64 generation = m_session.generation();
    std::optional<QList<ContinueWatchingItem>> items;
    try {
        items = co_await m_client.getContinueWatching(stop);
    } catch (const DescribedError &error) {
        qCDebug(lcSession) << "Continue watching failed:" << error.description();
    }
    if (!self || stop.stop_requested() || generation != m_session.generation() || !items)
        co_return;
    setContinueWatching(std::move(*items));
}

QCoro::Task<> SharedContent::refreshProgramsCache(bool force, std::stop_token stop)
{
    if (!force && !m_programsCache.isEmpty())
        co_return;
    QPointer<SharedContent> self(this);
    std::optional<QList<ProgramSummary>> programs;
    try {
        programs = co_await m_client.getPrograms(1, 60, stop);
    } catch (const DescribedError &error) {
        qCDebug(lcSession) << "Programmes failed:" << error.description();
    }
    if (!self || stop.stop_requested() || !programs)
        co_return;
    setProgramsCache(std::move(*programs));
}

QCoro::Task<> SharedContent::loadLiveSchedule(bool force)
{
    QPointer<SharedContent> self(this);
    setIsLoadingLiveSchedule(true);
    setLiveScheduleError(std::nullopt);
    if (force)
        setLiveSchedule(std::nullopt);
    std::optional<ScheduleData> schedule;
    try {
        schedule = co_await m_client.getSchedule(3);
    } catch (const DescribedError &error) {
        qCDebug(lcSession) << "Schedule failed:" << error.description();
    }
    if (!self)
        co_return;
    if (schedule) {
        const bool empty = schedule->toItems().isEmpty();
        setLiveSchedule(std::move(schedule));
        setLiveScheduleError(empty ? std::optional(unavailable) : std::nullopt);
    } else {
        setLiveSchedule(std::nullopt);
        setLiveScheduleError(unavailable);
    }
    setIsLoadingLiveSchedule(false);
}

QCoro::Task<> SharedContent::refreshConfig()
{
    QPointer<SharedContent> self(this);
    std::optional<TvConfig> config;
    try {
        config = co_await m_client.getConfig();
    } catch (const DescribedError &error) {
        // The configuration already held stays.
        qCDebug(lcSession) << "Configuration not refreshed:" << error.description();
    }
    if (self && config)
        setConfig(std::move(config));
}

void SharedContent::updateContinueWatching(const ContinueWatchingItem &item)
{
    QList<ContinueWatchingItem> items = m_continueWatching;
    const auto found = std::find_if(items.begin(), items.end(),
        [&](const ContinueWatchingItem &entry) { return entry.episode_id == item.episode_id; });
    if (found == items.end()) {
        // The newest first, within what is kept of the service's list.
        items.prepend(item);
        keepFirst(items, continueWatchingKept);
    } else {
        found->position = item.position;
        found->duration = item.duration;
        found->progress_pct = item.progress_pct;
        found->updated_at = item.updated_at;
        if (item.title)
            found->title = item.title;
        if (item.program_title)
            found->program_title = item.program_title;
        if (item.image)
            found->image = item.image;
    }
    setContinueWatching(std::move(items));
}

} // namespace orvella
