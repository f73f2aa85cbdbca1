#include "player/PlayerController.h"

#include "api/MediaURL.h"
#include "platform/MediaPlayerFactory.h"
#include "player/PlaybackQuality.h"

#include <QLocale>
#include <QPointer>
#include <cmath>

namespace orvella {

namespace {
double finiteOrZero(double value)
{
    return std::isfinite(value) ? value : 0;
}

constexpr double liveForwardBuffer = 12.0;
// A live range that grew by less than this since its last end holds nothing new.
constexpr double liveGrowthTolerance = 0.1;
constexpr double onDemandForwardBuffer = 0.5;

// True when a caption rendition's language answers the viewer's preferred language or locale
// ("en" answers "en-US" and the other way round).
bool languageMatches(const QString &preferred, const QString &optionLanguage)
{
    if (optionLanguage.isEmpty())
        return false;
    if (preferred.compare(optionLanguage, Qt::CaseInsensitive) == 0)
        return true;
    const QLocale wanted(preferred);
    const QLocale offered(optionLanguage);
    return wanted.language() != QLocale::C && wanted.language() == offered.language();
}
} // namespace

PlayerController::PlayerController(std::unique_ptr<MediaPlayer> player, QObject *parent)
    : QObject(parent)
    , m_player(player ? std::move(player) : createMediaPlayer())
{
    m_timeObserver.setInterval(1000);
    connect(&m_timeObserver, &QTimer::timeout, this, &PlayerController::refreshTime);
    m_timeObserver.start();

    // Events arrive for the current item only, so a replaced item never reaches these handlers.
    connect(m_player.get(), &MediaPlayer::itemStatusChanged, this, [this] {
        if (m_observingItem)
            handleItemStatus();
    });
    connect(m_player.get(), &MediaPlayer::playedToEnd, this, [this] {
        if (m_observingItem)
            handlePlayedToEnd();
    });
    connect(m_player.get(), &MediaPlayer::playbackStalled, this, [this] {
        if (m_observingItem)
            handleStalled();
    });
    connect(m_player.get(), &MediaPlayer::failedToPlayToEnd, this, [this] {
        if (m_observingItem)
            handleFailedToPlayToEnd();
    });
    connect(m_player.get(), &MediaPlayer::currentItemChanged, this,
        &PlayerController::currentItemChanged);
    connect(m_player.get(), &MediaPlayer::pausedChanged, this, &PlayerController::followPauseState);
    followPauseState();
}

PlayerController::~PlayerController()
{
    // The player goes first, so none of its signals reaches a half-destroyed controller.
    disconnect(m_player.get(), nullptr, this, nullptr);
}

void PlayerController::followPauseState()
{
    const bool playing = !m_player->isPaused();
    if (m_isPlaying == playing)
        return;
    m_isPlaying = playing;
    emit isPlayingChanged();
}

void PlayerController::setIsMuted(bool value)
{
    if (m_isMuted == value)
        return;
    m_isMuted = value;
    emit isMutedChanged();
}

void PlayerController::setStatusText(const QString &text)
{
    if (m_statusText == text)
        return;
    m_statusText = text;
    emit statusTextChanged();
}

void PlayerController::setIsReady(bool value)
{
    if (m_isReady == value)
        return;
    m_isReady = value;
    emit isReadyChanged();
}

void PlayerController::setIsLive(bool value)
{
    if (m_isLive == value)
        return;
    m_isLive = value;
    emit isLiveChanged();
}

void PlayerController::setSeekable(double start, double end)
{
    if (m_seekableStart == start && m_seekableEnd == end)
        return;
    m_seekableStart = start;
    m_seekableEnd = end;
    emit seekableChanged();
}

void PlayerController::bumpFailed()
{
    ++m_failedGeneration;
    emit failedGenerationChanged(m_failedGeneration);
}

void PlayerController::refreshTime()
{
    const double time = finiteOrZero(m_player->currentTime());
    if (time != m_currentTime) {
        m_currentTime = time;
        emit currentTimeChanged();
    }
    if (m_player->hasCurrentItem()) {
        const double duration = finiteOrZero(m_player->duration());
        if (duration != m_duration) {
            m_duration = duration;
            emit durationChanged();
        }
        const auto loaded = m_player->loadedTimeRanges();
        if (!loaded.isEmpty() && loaded.first().end() != m_buffered) {
            m_buffered = loaded.first().end();
            emit bufferedChanged();
        }
        const auto seekable = m_player->seekableTimeRanges();
        if (!seekable.isEmpty()) {
            const MediaTimeRange last = seekable.last();
            setSeekable(finiteOrZero(last.start), finiteOrZero(last.end()));
        }
    }
}

void PlayerController::load(
    const QUrl &url, bool autoplay, std::optional<double> startAt, bool isLive)
{
    ++m_loadSerial;
    m_liveEndReached.reset();
    setIsLive(isLive);
    setIsReady(false);
    setStatusText(QStringLiteral("Loading…"));

    MediaItemSettings settings;
    settings.forwardBufferSeconds = isLive ? liveForwardBuffer : onDemandForwardBuffer;
    settings.waitsToMinimizeStalling = isLive;
    settings.networkWhilePaused = true;
    m_observingItem = false;
    // The address is cleaned as the service's addresses are; one that cannot be is used as is.
    const auto cleaned = MediaURL::make(url.toString(QUrl::FullyEncoded));
    m_player->replaceCurrentItem(cleaned.value_or(url), settings);

    if (autoplay)
        nudgePlay();

    m_context = { isLive, startAt, autoplay };
    m_observingItem = true;
    handleItemStatus();
}

void PlayerController::handleItemStatus()
{
    switch (m_player->itemStatus()) {
    case MediaPlayer::ItemStatus::ReadyToPlay:
        handleReady(m_context);
        break;
    case MediaPlayer::ItemStatus::Failed:
        setIsReady(false);
        setStatusText(QStringLiteral("Connecting…"));
        bumpFailed();
        break;
    case MediaPlayer::ItemStatus::Unknown:
        setStatusText(QStringLiteral("Loading…"));
        break;
    }
}

QCoro::Task<> PlayerController::handleReady(LoadContext context)
{
    setIsReady(true);
    setStatusText(context.isLive ? QStringLiteral("Live") : QStringLiteral("Ready"));
    QPointer self(this);
    const quint64 serial = m_loadSerial;
    if (context.startAt && *context.startAt > 0 && !context.isLive) {
        co_await seek(*context.startAt);
        // A later load or a tear-down during the seek owns the player now.
        if (!self || serial != m_loadSerial)
            co_return;
    }
    if (context.autoplay)
        nudgePlay();
    emit startPositionApplied();
}

void PlayerController::handlePlayedToEnd()
{
    if (m_isLive) {
        handleLiveEnd();
        return;
    }
    // The player keeps the item at its end; it stays paused there.
    m_player->pause();
    ++m_endedGeneration;
    emit endedGenerationChanged(m_endedGeneration);
}

void PlayerController::handleLiveEnd()
{
    const auto seekable = m_player->seekableTimeRanges();
    const std::optional<double> edge
        = seekable.isEmpty() ? std::nullopt : std::optional(seekable.last().end());
    // The same end again: the stream stopped growing (a playlist that fails, an ended window).
    // Going back into the cache would play picture already shown: the last frame stays and the
    // owners' stall recovery takes over.
    if (edge && m_liveEndReached && *edge <= *m_liveEndReached + liveGrowthTolerance) {
        handleStalled();
        return;
    }
    m_liveEndReached = edge;
    resumeLiveAtEdge();
}

void PlayerController::handleStalled()
{
    if (!m_wantsPlayback)
        return;
    ++m_stalledGeneration;
    emit stalledGenerationChanged(m_stalledGeneration);
    nudgePlay();
}

void PlayerController::handleFailedToPlayToEnd()
{
    bumpFailed();
}

void PlayerController::nudgePlay()
{
    m_wantsPlayback = true;
    m_player->play();
}

QCoro::Task<> PlayerController::resumeLiveAtEdge()
{
    m_wantsPlayback = true;
    QPointer self(this);
    if (m_player->hasCurrentItem()) {
        const auto seekable = m_player->seekableTimeRanges();
        if (!seekable.isEmpty()) {
            co_await m_player->seek(seekable.last().end());
            if (!self)
                co_return;
        }
    }
    m_player->play();
}

QCoro::Task<> PlayerController::seek(double seconds)
{
    if (std::isnan(seconds) || seconds < 0)
        seconds = 0;
    // Media time at timescale 600, as the position is kept.
    const double target = std::round(seconds * 600.0) / 600.0;
    co_await m_player->seek(target);
}

void PlayerController::seekTo(double seconds)
{
    seek(seconds);
}

void PlayerController::togglePlay()
{
    if (m_isPlaying) {
        m_wantsPlayback = false;
        m_player->pause();
    } else {
        nudgePlay();
    }
}

void PlayerController::setVolume(float volume)
{
    const float clamped = std::clamp(volume, 0.0f, 1.0f);
    if (clamped != m_volume) {
        m_volume = clamped;
        emit volumeChanged();
    }
    m_player->setVolume(m_volume);
    if (m_volume > 0) {
        setIsMuted(false);
        m_player->setMuted(false);
    }
}

void PlayerController::setMuted(bool muted)
{
    setIsMuted(muted);
    m_player->setMuted(muted);
}

void PlayerController::setQuality(const QString &qualityId)
{
    if (!m_player->hasCurrentItem())
        return;
    const PlaybackQuality &row = PlaybackQuality::option(qualityId);
    m_player->setPreferredPeakBitRate(row.maxBitrate.value_or(0));
    m_player->setPreferredMaximumResolution(row.maxResolution.value_or(QSize()));
}

QCoro::Task<> PlayerController::setCaptions(bool enabled, std::optional<QString> preferredLanguage)
{
    if (!m_player->hasCurrentItem())
        co_return;
    QPointer self(this);
    const QUrl item = m_player->currentUrl();
    const auto options = co_await m_player->loadLegibleOptions();
    if (!self || !options)
        co_return;
    // The item may have changed while the options loaded: select on what the player holds now
    // only when it is the same item.
    if (!m_player->hasCurrentItem() || m_player->currentUrl() != item)
        co_return;
    if (!enabled) {
        m_player->selectLegibleOption(std::nullopt);
        co_return;
    }
    std::optional<int> chosen;
    if (preferredLanguage) {
        for (int i = 0; i < options->size(); ++i) {
            if (languageMatches(*preferredLanguage, options->at(i).language)) {
                chosen = i;
                break;
            }
        }
    }
    if (!chosen) {
        for (int i = 0; i < options->size(); ++i) {
            if (options->at(i).isDefault) {
                chosen = i;
                break;
            }
        }
    }
    if (!chosen && !options->isEmpty())
        chosen = 0;
    m_player->selectLegibleOption(chosen);
}

void PlayerController::tearDown()
{
    ++m_loadSerial;
    m_liveEndReached.reset();
    m_wantsPlayback = false;
    m_player->pause();
    m_player->clearCurrentItem();
    setIsReady(false);
    setSeekable(0, 0);
}

} // namespace orvella
