// The end of an episode: repeat it, move on in a loop, or count down to the next one.

#include "app/AppModel.h"
#include "platform/Clock.h"
#include "player/PlayerController.h"
#include "screens/programs/EpisodePlayerModel.h"
#include "screens/programs/EpisodeText.h"
#include "screens/programs/ScreenTasks.h"

namespace orvella {

using namespace std::chrono_literals;

namespace {
constexpr int countdownFrom = 5;
} // namespace

void EpisodePlayerModel::endCounterChanged(int value)
{
    if (value >= 1)
        handleEpisodeEnded();
}

QList<EpisodeSummary> EpisodePlayerModel::orderedPlaylist() const
{
    if (!m_programEpisodes.isEmpty())
        return m_programEpisodes;
    if (m_episode && m_episode->related)
        return *m_episode->related;
    return {};
}

std::optional<EpisodeSummary> EpisodePlayerModel::nextEpisodeForAutoplay() const
{
    return episodes::nextEpisode(orderedPlaylist(), m_episodeId);
}

void EpisodePlayerModel::handleEpisodeEnded()
{
    if (!m_app || m_left)
        return;
    switch (m_app->settings()->episodeRepeatMode()) {
    case EpisodeRepeatMode::Off:
        beginPlayNext();
        break;
    case EpisodeRepeatMode::One:
        restartFromZero();
        break;
    case EpisodeRepeatMode::All:
        if (const auto next = nextEpisodeForAutoplay())
            openNext(*next);
        else
            showControls();
        break;
    }
}

QCoro::Task<> EpisodePlayerModel::restartFromZero()
{
    QPointer self(this);
    co_await m_player->seek(0);
    if (self && m_player && !m_left)
        m_player->nudgePlay();
}

void EpisodePlayerModel::openNext(const EpisodeSummary &next)
{
    m_playNextTask.request_stop();
    setCountdown(std::nullopt);
    m_app->openEpisode(next.id.stringValue);
}

void EpisodePlayerModel::beginPlayNext()
{
    if (!m_app || m_app->settings()->episodeRepeatMode() != EpisodeRepeatMode::Off
        || !m_app->settings()->autoplayNext() || !nextEpisodeForAutoplay()) {
        showControls();
        return;
    }
    const std::stop_token stop = restartStop(m_playNextTask);
    setCountdown(countdownFrom);
    countdown(stop);
}

QCoro::Task<> EpisodePlayerModel::countdown(std::stop_token stop)
{
    QPointer self(this);
    for (int left = countdownFrom - 1; left >= 0; --left) {
        co_await m_clock->sleep(1s, stop);
        if (!self || stop.stop_requested())
            co_return;
        setCountdown(left);
    }
    if (const auto next = nextEpisodeForAutoplay()) {
        m_app->openEpisode(next->id.stringValue);
    } else {
        // The list changed and nothing can be opened: the card goes and the chrome shows.
        setCountdown(std::nullopt);
        showControls();
    }
}

bool EpisodePlayerModel::showsPlayingNext() const
{
    return m_countdown && nextEpisodeForAutoplay();
}

QString EpisodePlayerModel::playingNextTitle() const
{
    const auto next = m_countdown ? nextEpisodeForAutoplay() : std::nullopt;
    return next ? episodes::displayTitle(*next).left(300) : QString();
}

QString EpisodePlayerModel::playingNextImage() const
{
    const auto next = m_countdown ? nextEpisodeForAutoplay() : std::nullopt;
    return next ? next->image.value_or(QString()) : QString();
}

QString EpisodePlayerModel::countdownText() const
{
    return m_countdown ? QStringLiteral("Playing in: %1s").arg(*m_countdown) : QString();
}

} // namespace orvella
