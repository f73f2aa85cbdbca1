// The chrome of the episode player: its timers, the settings and texts it shows, its menus,
// the seek bar and the related row.

#include "app/AppModel.h"
#include "platform/Clock.h"
#include "player/PlaybackQuality.h"
#include "player/PlayerController.h"
#include "screens/programs/EpisodeListModel.h"
#include "screens/programs/EpisodePlayerModel.h"
#include "screens/programs/EpisodeText.h"
#include "screens/programs/ScreenTasks.h"

namespace orvella {

using namespace std::chrono_literals;

namespace {
constexpr auto chromeHide = 4s;
constexpr auto relatedHide = 8s;
} // namespace

bool EpisodePlayerModel::captionsEnabled() const
{
    return m_app && m_app->settings()->captionsEnabled();
}

bool EpisodePlayerModel::autoplayNext() const
{
    return m_app && m_app->settings()->autoplayNext();
}

int EpisodePlayerModel::repeatMode() const
{
    return m_app ? int(m_app->settings()->episodeRepeatMode()) : int(EpisodeRepeatMode::Off);
}

QString EpisodePlayerModel::repeatSymbol() const
{
    return repeatMode() == EpisodeRepeatMode::One ? QStringLiteral("repeat.1")
                                                  : QStringLiteral("repeat");
}

QString EpisodePlayerModel::quality() const
{
    return m_app ? m_app->settings()->preferredQuality() : QStringLiteral("Auto");
}

QVariantList EpisodePlayerModel::repeatRows()
{
    const auto row = [](EpisodeRepeatMode::Value mode, const char *text) {
        return QVariantMap { { QStringLiteral("value"), int(mode) },
            { QStringLiteral("text"), QString::fromLatin1(text) } };
    };
    return { row(EpisodeRepeatMode::Off, "Repeat off"), row(EpisodeRepeatMode::One, "Repeat one"),
        row(EpisodeRepeatMode::All, "Repeat all") };
}

QVariantList EpisodePlayerModel::qualityRows()
{
    QVariantList rows;
    for (const PlaybackQuality &option : PlaybackQuality::all())
        rows.append(QVariantMap {
            { QStringLiteral("value"), option.id }, { QStringLiteral("text"), option.id } });
    return rows;
}

QString EpisodePlayerModel::elapsedText() const
{
    return episodes::formatTime(m_player ? m_player->currentTime() : 0);
}

QString EpisodePlayerModel::totalText() const
{
    const double duration = m_player ? m_player->duration() : 0;
    return duration > 0 ? episodes::formatTime(duration) : QStringLiteral("--:--");
}

double EpisodePlayerModel::scrubMaximum() const
{
    return std::max(m_player ? m_player->duration() : 0.0, 1.0);
}

double EpisodePlayerModel::scrubPosition() const
{
    return std::min(m_player ? m_player->currentTime() : 0.0, scrubMaximum());
}

double EpisodePlayerModel::bufferedFraction() const
{
    if (!m_player)
        return 0;
    return std::clamp(m_player->buffered() / scrubMaximum(), 0.0, 1.0);
}

// The chrome.

void EpisodePlayerModel::showControls()
{
    setControlsVisible(true);
    hideAfter(chromeHide, false, restartStop(m_hideTask));
}

void EpisodePlayerModel::scheduleRelatedHide()
{
    hideAfter(relatedHide, true, restartStop(m_hideTask));
}

QCoro::Task<> EpisodePlayerModel::hideAfter(
    std::chrono::milliseconds span, bool closesRelated, std::stop_token stop)
{
    QPointer self(this);
    co_await m_clock->sleep(span, stop);
    if (!self || stop.stop_requested())
        co_return;
    if (closesRelated) {
        setFlag(m_relatedOpen, false);
        showControls();
    } else if (!m_qualityOpen && !m_repeatOpen && !m_relatedOpen) {
        setControlsVisible(false);
    }
}

void EpisodePlayerModel::tap()
{
    if (m_relatedOpen)
        return;
    if (m_controlsVisible && ready())
        m_player->togglePlay();
    showControls();
}

void EpisodePlayerModel::pointerActivity()
{
    if (m_relatedOpen)
        scheduleRelatedHide();
    else
        showControls();
}

void EpisodePlayerModel::hover(bool entered)
{
    if (entered)
        pointerActivity();
}

void EpisodePlayerModel::back()
{
    if (m_app)
        m_app->goBack();
}

void EpisodePlayerModel::refresh()
{
    load(true);
}

void EpisodePlayerModel::skip(double seconds)
{
    if (m_player)
        m_player->seekTo(m_player->currentTime() + seconds);
    showControls();
}

void EpisodePlayerModel::togglePlay()
{
    if (m_player)
        m_player->togglePlay();
    showControls();
}

void EpisodePlayerModel::toggleMute()
{
    if (m_player)
        m_player->setMuted(!m_player->isMuted());
    showControls();
}

void EpisodePlayerModel::scrubMoved(double seconds)
{
    m_scrubDrag = seconds;
    emit playbackChanged();
    showControls();
}

void EpisodePlayerModel::scrubReleased()
{
    const std::optional<double> target = std::exchange(m_scrubDrag, std::nullopt);
    if (!target)
        return;
    if (m_player)
        m_player->seekTo(*target);
    emit playbackChanged();
}

void EpisodePlayerModel::toggleCaptions()
{
    if (!m_app)
        return;
    SettingsModel *settings = m_app->settings();
    settings->setCaptionsEnabled(!settings->captionsEnabled());
    settings->persist();
    if (m_player)
        m_player->setCaptions(settings->captionsEnabled(), settings->captionLanguage());
    showControls();
}

void EpisodePlayerModel::toggleAutoplay()
{
    if (!m_app)
        return;
    m_app->settings()->setAutoplayNext(!m_app->settings()->autoplayNext());
    m_app->settings()->persist();
    showControls();
}

void EpisodePlayerModel::toggleRepeatMenu()
{
    setFlag(m_qualityOpen, false);
    setFlag(m_repeatOpen, !m_repeatOpen);
    showControls();
}

void EpisodePlayerModel::selectRepeatMode(int mode)
{
    if (!m_app || mode < EpisodeRepeatMode::Off || mode > EpisodeRepeatMode::All)
        return;
    m_app->settings()->setEpisodeRepeatMode(EpisodeRepeatMode::Value(mode));
    m_app->settings()->persist();
    setFlag(m_repeatOpen, false);
    showControls();
}

void EpisodePlayerModel::dismissRepeat()
{
    setFlag(m_repeatOpen, false);
    showControls();
}

void EpisodePlayerModel::toggleQualityMenu()
{
    setFlag(m_repeatOpen, false);
    setFlag(m_qualityOpen, !m_qualityOpen);
    showControls();
}

void EpisodePlayerModel::selectQuality(const QString &id)
{
    if (!m_app)
        return;
    m_app->settings()->setPreferredQuality(id);
    m_app->settings()->persist();
    if (m_player)
        m_player->setQuality(id);
    setFlag(m_qualityOpen, false);
    showControls();
}

void EpisodePlayerModel::dismissQuality()
{
    setFlag(m_qualityOpen, false);
    showControls();
}

void EpisodePlayerModel::more()
{
    setFlag(m_qualityOpen, false);
    setFlag(m_repeatOpen, false);
    setFlag(m_relatedOpen, true);
    scheduleRelatedHide();
}

void EpisodePlayerModel::selectRelated(int row)
{
    if (row < 0 || row >= m_related->count())
        return;
    setFlag(m_relatedOpen, false);
    m_hideTask.request_stop();
    m_playNextTask.request_stop();
    setCountdown(std::nullopt);
    if (m_app)
        m_app->openEpisode(m_related->episodeIdAt(row));
}

void EpisodePlayerModel::closeRelated()
{
    setFlag(m_relatedOpen, false);
    showControls();
}

void EpisodePlayerModel::stopPlayNext()
{
    m_playNextTask.request_stop();
    setCountdown(std::nullopt);
    showControls();
}

} // namespace orvella
