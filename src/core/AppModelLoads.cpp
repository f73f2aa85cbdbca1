// The data several screens share, and the event reminders.

#include "api/APIError.h"
#include "api/MediaURL.h"
#include "api/OrvellaAPIClient.h"
#include "core/AppModel.h"
#include "core/Latch.h"
#include "core/LocalHistory.h"
#include "player/PlayerController.h"

#include <QPointer>

namespace orvella {

// One live-stream fetch that any number of loads may wait on.
class AppModel::LiveFetch
{
public:
    Latch done;
    std::optional<LiveStreamData> result;
};

namespace {

const QString unavailable = QStringLiteral("unavailable");

ContinueWatchingItem continueWatchingItem(const LocalHistoryEntry &entry)
{
    ContinueWatchingItem item;
    item.episode_id = entry.episodeId;
    item.title = entry.title;
    item.program_title = entry.programTitle;
    item.image = entry.image;
    item.duration = entry.duration;
    item.position = entry.position;
    item.updated_at = entry.updatedAt;
    item.progress_pct
        = entry.duration >= 1 ? double(entry.position) / double(entry.duration) * 100.0 : 0.0;
    return item;
}

} // namespace

QCoro::Task<std::optional<LiveStreamData>> AppModel::loadLiveStream(
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

std::shared_ptr<AppModel::LiveFetch> AppModel::startLiveFetch(const QString &lang)
{
    auto fetch = std::make_shared<LiveFetch>();
    m_liveLoad = fetch;
    runLiveFetch(fetch, lang);
    return fetch;
}

QCoro::Task<> AppModel::runLiveFetch(std::shared_ptr<LiveFetch> fetch, QString lang)
{
    QPointer<AppModel> self(this);
    QPointer<OrvellaAPIClient> client(m_client);
    std::optional<LiveStreamData> stream;
    bool failed = false;
    try {
        stream = co_await client->getLiveStream(lang);
    } catch (...) {
        failed = true;
    }
    if (failed && lang != u"en" && client) {
        try {
            stream = co_await client->getLiveStream(QStringLiteral("en"));
        } catch (...) { }
    }
    if (self) {
        if (m_liveLoad == fetch)
            m_liveLoad.reset();
        if (stream)
            applyLiveStream(*stream);
    }
    fetch->result = std::move(stream);
    fetch->done.open();
}

void AppModel::applyLiveStream(const LiveStreamData &stream)
{
    setLiveStreamCache(stream);
    if (m_livePlayer->hasCurrentItem())
        return;
    const auto url = MediaURL::make(stream.hls_url ? stream.hls_url : stream.stream_url);
    if (!url)
        return;
    const bool isLive
        = stream.is_live.value_or(stream.status.value_or(QString()).toLower() == u"live");
    m_livePlayer->load(*url, false, std::nullopt, isLive);
    m_livePlayer->setQuality(m_settings->preferredQuality());
}

QCoro::Task<> AppModel::refreshHome(bool force, std::stop_token stop)
{
    if (!force && m_home)
        co_return;
    QPointer<AppModel> self(this);
    std::optional<HomeData> home;
    std::optional<QString> failure;
    try {
        home = co_await m_client->getHome(stop);
    } catch (...) {
        failure = describeException(std::current_exception());
    }
    if (!self || stop.stop_requested())
        co_return;
    if (home)
        setHome(std::move(home));
    else if (!m_home)
        setBootstrapError(failure);
}

QCoro::Task<> AppModel::refreshContinueWatching(std::stop_token stop)
{
    if (m_isGuest) {
        QList<ContinueWatchingItem> items;
        for (const LocalHistoryEntry &entry : LocalHistoryStore::load())
            items.append(continueWatchingItem(entry));
        setContinueWatching(std::move(items));
        co_return;
    }
    QPointer<AppModel> self(this);
    const quint64 session = m_session;
    std::optional<QList<ContinueWatchingItem>> items;
    try {
        items = co_await m_client->getContinueWatching(stop);
    } catch (...) { }
    if (!self || stop.stop_requested() || session != m_session || !items)
        co_return;
    setContinueWatching(std::move(*items));
}

QCoro::Task<> AppModel::refreshProgramsCache(bool force, std::stop_token stop)
{
    if (!force && !m_programsCache.isEmpty())
        co_return;
    QPointer<AppModel> self(this);
    std::optional<QList<ProgramSummary>> programs;
    try {
        programs = co_await m_client->getPrograms(1, 60, stop);
    } catch (...) { }
    if (!self || stop.stop_requested() || !programs)
        co_return;
    setProgramsCache(std::move(*programs));
}

QCoro::Task<> AppModel::syncProfileFromServer(std::stop_token stop)
{
    if (m_isGuest)
        co_return;
    QPointer<AppModel> self(this);
    const quint64 session = m_session;
    std::optional<UserProfile> profile;
    try {
        profile = co_await m_client->getProfile(stop);
    } catch (...) { }
    if (!self || stop.stop_requested() || session != m_session || !profile)
        co_return;
    adoptProfile(*profile);
}

QCoro::Task<> AppModel::loadLiveSchedule(bool force)
{
    QPointer<AppModel> self(this);
    setIsLoadingLiveSchedule(true);
    setLiveScheduleError(std::nullopt);
    if (force)
        setLiveSchedule(std::nullopt);
    std::optional<ScheduleData> schedule;
    try {
        schedule = co_await m_client->getSchedule(3);
    } catch (...) { }
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

QCoro::Task<> AppModel::refreshConfig()
{
    QPointer<AppModel> self(this);
    std::optional<TvConfig> config;
    try {
        config = co_await m_client->getConfig();
    } catch (...) {
        // The configuration already held stays.
    }
    if (self && config)
        setConfig(std::move(config));
}

QCoro::Task<> AppModel::syncEventNotifications()
{
    QPointer<AppModel> self(this);
    co_await refreshConfig();
    if (!self)
        co_return;
    // Offline, the rules run on the configuration already held, so reminders keep counting.
    m_notificationSync.applyConfigEvent(
        m_config ? m_config->event : std::nullopt, m_settings->value());
}

QCoro::Task<> AppModel::refreshEventScheduleData()
{
    QPointer<AppModel> self(this);
    co_await refreshConfig();
    if (!self)
        co_return;
    std::optional<HomeData> home;
    try {
        home = co_await m_client->getHome();
    } catch (...) { }
    if (self && home)
        setHome(std::move(home));
}

} // namespace orvella
