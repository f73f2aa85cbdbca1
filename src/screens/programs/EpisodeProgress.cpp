#include "screens/programs/EpisodeProgress.h"

#include "api/OrvellaAPIClient.h"
#include "app/AppModel.h"
#include "base/DescribedError.h"
#include "core/SessionLog.h"
#include "screens/programs/EpisodeText.h"

#include <QDateTime>

namespace orvella {

EpisodeProgress::Step EpisodeProgress::tick(double seconds, std::chrono::milliseconds now)
{
    Step step;
    if (!m_ready)
        return step;
    m_lastReadyPosition = seconds;
    if (!m_viewPosted && seconds >= viewAfterSeconds) {
        m_viewPosted = true;
        step.postView = true;
    }
    if (!m_lastRecordAt || now - *m_lastRecordAt >= recordSpacing) {
        m_lastRecordAt = now;
        step.record = true;
    }
    return step;
}

EpisodeRecord makeEpisodeRecord(const QString &episodeId, const EpisodeDetail &episode,
    double position, double playerDuration, bool guest)
{
    EpisodeRecord record;
    record.guest = guest;
    LocalHistoryEntry &entry = record.entry;
    entry.episodeId = episodeId;
    entry.title = episodes::displayTitle(episode);
    if (episode.program) {
        entry.programTitle
            = episode.program->title ? episode.program->title : episode.program->name;
    }
    entry.image = episode.image;
    entry.position = episodes::wholeSeconds(position);
    entry.duration = playerDuration > 0 ? episodes::wholeSeconds(playerDuration)
                                        : episode.duration.value_or(0);
    entry.updatedAt = QDateTime::currentSecsSinceEpoch();
    return record;
}

QCoro::Task<> sendEpisodeRecord(QPointer<AppModel> app, EpisodeRecord record)
{
    if (!app)
        co_return;
    const LocalHistoryEntry &entry = record.entry;
    ContinueWatchingItem item;
    item.episode_id = entry.episodeId;
    item.title = entry.title;
    item.program_title = entry.programTitle;
    item.image = entry.image;
    item.position = entry.position;
    item.duration = entry.duration;
    if (entry.duration > 0)
        item.progress_pct = 100.0 * double(entry.position) / double(entry.duration);
    item.updated_at = entry.updatedAt;
    app->updateContinueWatching(item);

    if (record.guest) {
        LocalHistoryStore::record(entry);
        co_return;
    }
    QPointer<OrvellaAPIClient> client(&app->client());
    try {
        co_await client->postHistory(entry.episodeId, entry.position, entry.duration);
    } catch (const DescribedError &error) {
        qCDebug(lcSession) << "history post failed for" << entry.episodeId << ':'
                           << error.description();
    }
}

QCoro::Task<> postEpisodeView(QPointer<AppModel> app, QString episodeId)
{
    if (!app)
        co_return;
    try {
        co_await app->client().postEpisodeView(episodeId);
    } catch (const DescribedError &error) {
        qCDebug(lcSession) << "view report failed for" << episodeId << ':' << error.description();
    }
}

} // namespace orvella
