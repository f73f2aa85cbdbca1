#pragma once

#include "api/ConfigModels.h"
#include "api/ContentModels.h"
#include "api/ScheduleData.h"

#include <QCoro/QCoroTask>
#include <QList>
#include <QObject>
#include <memory>
#include <optional>
#include <stop_token>

namespace orvella {

class OrvellaAPIClient;
class Session;

// The data several screens share: the configuration, home, the programme list, continue
// watching, the live stream (one fetch that every load joins) and the live schedule. None of
// the loads throws; a requested stop ends a load without writing anything.
class SharedContent : public QObject
{
    Q_OBJECT

public:
    SharedContent(OrvellaAPIClient &client, const Session &session, QObject *parent = nullptr);
    ~SharedContent() override;

    [[nodiscard]] const std::optional<TvConfig> &config() const { return m_config; }
    [[nodiscard]] const std::optional<HomeData> &home() const { return m_home; }
    [[nodiscard]] const QList<ContinueWatchingItem> &continueWatching() const
    {
        return m_continueWatching;
    }
    [[nodiscard]] const QList<ProgramSummary> &programsCache() const { return m_programsCache; }
    // Why the first loads failed, while nothing is shown in their place.
    [[nodiscard]] const std::optional<QString> &bootstrapError() const { return m_bootstrapError; }
    [[nodiscard]] const std::optional<LiveStreamData> &liveStreamCache() const
    {
        return m_liveStreamCache;
    }
    [[nodiscard]] const std::optional<ScheduleData> &liveSchedule() const { return m_liveSchedule; }
    [[nodiscard]] const std::optional<QString> &liveScheduleError() const
    {
        return m_liveScheduleError;
    }
    [[nodiscard]] bool isLoadingLiveSchedule() const { return m_isLoadingLiveSchedule; }

    void setConfig(std::optional<TvConfig> config);
    void setBootstrapError(std::optional<QString> error);
    void clearContinueWatching();
    // Records where the viewer is in one episode: its continue-watching entry takes the new
    // position and duration (an episode not listed yet comes first).
    void updateContinueWatching(const ContinueWatchingItem &item);

    QCoro::Task<std::optional<LiveStreamData>> loadLiveStream(
        QString lang, bool force, std::stop_token stop = {});
    QCoro::Task<> refreshHome(bool force, std::stop_token stop = {});
    // Takes a fresh home when the service gives one; a failure changes nothing.
    QCoro::Task<> reloadHomeQuietly();
    QCoro::Task<> refreshContinueWatching(std::stop_token stop = {});
    QCoro::Task<> refreshProgramsCache(bool force, std::stop_token stop = {});
    QCoro::Task<> loadLiveSchedule(bool force);
    // Fetches the configuration; a failure keeps the one held.
    QCoro::Task<> refreshConfig();

signals:
    void configChanged();
    void homeChanged();
    void continueWatchingChanged();
    void programsCacheChanged();
    void bootstrapErrorChanged();
    void liveStreamCacheChanged();
    void liveScheduleChanged();
    void liveScheduleErrorChanged();
    void isLoadingLiveScheduleChanged();
    // A live-stream answer arrived (after it was cached).
    void liveStreamFetched(const orvella::LiveStreamData &stream);

private:
    class LiveFetch;

    std::shared_ptr<LiveFetch> startLiveFetch(const QString &lang);
    QCoro::Task<> runLiveFetch(std::shared_ptr<LiveFetch> fetch, QString lang);
    void setHome(std::optional<HomeData> home);
    void setContinueWatching(QList<ContinueWatchingItem> items);
    void setProgramsCache(QList<ProgramSummary> programs);
    void setLiveStreamCache(std::optional<LiveStreamData> stream);
    void setLiveSchedule(std::optional<ScheduleData> schedule);
    void setLiveScheduleError(std::optional<QString> error);
    void setIsLoadingLiveSchedule(bool loading);

    OrvellaAPIClient &m_client;
    const Session &m_session;
    std::optional<TvConfig> m_config;
    std::optional<HomeData> m_home;
    QList<ContinueWatchingItem> m_continueWatching;
    QList<ProgramSummary> m_programsCache;
    std::optional<QString> m_bootstrapError;
    std::optional<LiveStreamData> m_liveStreamCache;
    std::optional<ScheduleData> m_liveSchedule;
    std::optional<QString> m_liveScheduleError;
    bool m_isLoadingLiveSchedule = false;
    std::shared_ptr<LiveFetch> m_liveLoad;
};

} // namespace orvella
