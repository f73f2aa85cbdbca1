#include "screens/programs/EpisodeViewingHistory.h"

#include "api/OrvellaAPIClient.h"
#include "app/AppModel.h"
#include "base/DescribedError.h"
#include "core/LocalHistory.h"
#include "core/ProgressReports.h"
#include "core/SessionLog.h"
#include "screens/programs/EpisodeText.h"

#include <QDateTime>

namespace orvella {

namespace {

constexpr double restartMargin = 10;

// The record of where the viewer is in an episode; the duration is the player's when known,
// else the episode's, else 0.
LocalHistoryEntry makeEntry(
    const QString &episodeId, const EpisodeDetail &episode, double position, double playerDuration)
{
    LocalHistoryEntry entry;
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
    return entry;
}

QCoro::Task<> postView(QPointer<OrvellaAPIClient> client, QString episodeId)
{
    try {
        co_await client->postEpisodeView(episodeId);
    } catch (const DescribedError &error) {
        qCDebug(lcSession) << "view report failed for" << episodeId << ':' << error.description();
    }
}

} // namespace

void EpisodeViewingHistory::setEpisode(AppModel *app, const QString &episodeId)
{
    m_app = app;
    m_episodeId = episodeId;
}

bool EpisodeViewingHistory::startsOver(double position, double duration)
{
    return position > 0 && duration > 0 && position >= duration - restartMargin;
}

std::optional<double> EpisodeViewingHistory::resumePosition(
    std::optional<double> knownDuration) const
{
    // This computer's records first: a position the service has not taken yet (newer than the
    // continue-watching entry), then the local history.
    std::optional<LocalHistoryEntry> record = ProgressReports::keptPosition(m_episodeId);
    for (const LocalHistoryEntry &entry : LocalHistoryStore::load()) {
        if (!record && entry.episodeId == m_episodeId)
            record = entry;
    }
    std::optional<double> position;
    std::optional<double> duration;
    if (record) {
        position = double(record->position);
        if (record->duration > 0)
            duration = double(record->duration);
    } else if (m_app) {
        for (const ContinueWatchingItem &item : m_app->continueWatching()) {
            if (item.episode_id == m_episodeId && item.position) {
                position = double(*item.position);
                if (item.duration && *item.duration > 0)
                    duration = double(*item.duration);
                break;
            }
        }
    }
    if (!duration)
        duration = knownDuration;
    if (position && duration && startsOver(*position, *duration))
        return 0.0;
    return position;
}

void EpisodeViewingHistory::tick(const EpisodeDetail &episode, double position,
    double playerDuration, std::chrono::milliseconds now)
{
    if (!m_ready || !m_app)
        return;
    m_lastReadyPosition = position;
    if (!m_viewPosted && position >= viewAfterSeconds) {
        m_viewPosted = true;
        postView(&m_app->client(), m_episodeId);
    }
    if (!m_lastRecordAt || now - *m_lastRecordAt >= recordSpacing) {
        m_lastRecordAt = now;
        record(episode, position, playerDuration);
    }
}

void EpisodeViewingHistory::leave(const EpisodeDetail &episode, double playerDuration)
{
    if (m_lastReadyPosition && m_app)
        record(episode, *m_lastReadyPosition, playerDuration);
}

void EpisodeViewingHistory::record(
    const EpisodeDetail &episode, double position, double playerDuration)
{
    const LocalHistoryEntry entry = makeEntry(m_episodeId, episode, position, playerDuration);
    m_app->updateContinueWatching(continueWatchingItem(entry));
    // Runs on after the screen is gone.
    m_app->progressReports().report(entry);
}

} // namespace orvella
