#include "platform/MpvMediaPlayer.h"

#include "platform/MediaPlayerFactory.h"
#include "platform/MpvCore.h"
#include "platform/MpvLibrary.h"
#include "platform/MpvMediaPlayerReplies.h"
#include "platform/MpvSoftwareRenderer.h"
#include "platform/PlatformError.h"
#include "platform/PlatformLog.h"
#include "platform/SceneGraphChoice.h"
#include "platform/StartupTrace.h"
#include "platform/WebVttCaptions.h"

#include <QGuiApplication>
#include <QQuickWindow>
#include <QTimer>
#include <cmath>

namespace orvella {

using namespace mpvplayer;

namespace {
enum Property : quint64 {
    TimePos = 1,
    Duration,
    Pause,
    PausedForCache,
    CoreIdle,
    EofReached,
    Seekable,
    CacheState,
    CacheDuration,
    VideoParams,
    SubText,
    VideoTrack,
};

// Replies to pause changes carry this bit.
constexpr quint64 pauseReplyBit = quint64(1) << 59;
// The hook that holds a file between opening and choosing its tracks until a surface exists.
constexpr quint64 preloadedHookId = quint64(1) << 61;

bool wantsOpenGl(MpvMediaPlayer::Output output)
{
    if (output != MpvMediaPlayer::Output::Automatic)
        return output == MpvMediaPlayer::Output::OpenGl;
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return false;
    return !sceneGraphDrawsInSoftware();
}
} // namespace

std::unique_ptr<MediaPlayer> createMediaPlayer()
{
    return std::make_unique<MpvMediaPlayer>();
}

MpvMediaPlayer::MpvMediaPlayer(Output output, QObject *parent)
    : MediaPlayer(parent)
    , m_openGl(wantsOpenGl(output))
    , m_outputAutomatic(output == Output::Automatic)
{
    m_startBound.setSingleShot(true);
    connect(&m_startBound, &QTimer::timeout, this, [this] {
        giveUp(QStringLiteral("no picture within %1 s of the load").arg(seconds(m_timeouts.start)));
    });
    m_progressBound.setSingleShot(true);
    connect(&m_progressBound, &QTimer::timeout, this, [this] {
        giveUp(QStringLiteral("its position stayed at %1 s for %2 s")
                   .arg(number(m_time), number(seconds(m_timeouts.progress))));
    });
}

MpvCore *MpvMediaPlayer::core()
{
    if (m_core)
        return m_core.get();
    // Made when first needed rather than with the player, so the library it opens may still be
    // loading while the window comes up.
    try {
        m_core = std::make_shared<MpvCore>();
    } catch (const PlatformError &error) {
        qCWarning(lcPlayer) << "No player:" << error.description();
        return nullptr;
    }
    // Bounded memory: enough for the 12-second live buffer at the highest variants.
    m_core->setOption("demuxer-max-bytes", "48MiB");
    m_core->setOption("demuxer-max-back-bytes", "16MiB");
    m_core->setOption("pause", m_paused ? "yes" : "no");
    m_core->setOption("volume", qPrintable(number(double(m_volume) * 100.0)));
    m_core->setOption("mute", m_muted ? "yes" : "no");
    m_core->setOption("panscan", m_fill ? "1.0" : "0.0");
    m_core->setOption("sub-pos", QByteArray::number(m_captionPosition).constData());

    const MpvLibrary &mpv = mpvLibrary();
    mpv_handle *handle = m_core->handle();
    mpv.observe_property(handle, TimePos, "time-pos", MPV_FORMAT_NODE);
    mpv.observe_property(handle, Duration, "duration", MPV_FORMAT_NODE);
    mpv.observe_property(handle, Pause, "pause", MPV_FORMAT_NODE);
    mpv.observe_property(handle, PausedForCache, "paused-for-cache", MPV_FORMAT_NODE);
    mpv.observe_property(handle, CoreIdle, "core-idle", MPV_FORMAT_NODE);
    mpv.observe_property(handle, EofReached, "eof-reached", MPV_FORMAT_NODE);
    mpv.observe_property(handle, Seekable, "seekable", MPV_FORMAT_NODE);
    mpv.observe_property(handle, CacheState, "demuxer-cache-state", MPV_FORMAT_NODE);
    mpv.observe_property(handle, CacheDuration, "demuxer-cache-duration", MPV_FORMAT_NODE);
    mpv.observe_property(handle, VideoParams, "video-params", MPV_FORMAT_NODE);
    mpv.observe_property(handle, SubText, "sub-text", MPV_FORMAT_NODE);
    mpv.observe_property(handle, VideoTrack, "current-tracks/video", MPV_FORMAT_NODE);

    mpv.set_wakeup_callback(
        handle,
        [](void *context) {
            auto *player = static_cast<MpvMediaPlayer *>(context);
            QMetaObject::invokeMethod(player, &MpvMediaPlayer::drainEvents, Qt::QueuedConnection);
        },
        this);

    // On OpenGL the load goes out at once, so the network and the demuxer work while the
    // window comes up; mpv waits before making its video output until the render context
    // exists (a video output made without one fails and turns the picture off).
    if (m_openGl)
        mpv.hook_add(handle, preloadedHookId, "on_preloaded", 0);
    else
        startSoftwareOutput();
    return m_core.get();
}

MpvMediaPlayer::~MpvMediaPlayer()
{
    if (m_core)
        mpvLibrary().set_wakeup_callback(m_core->handle(), nullptr, nullptr);
    // Work waiting on this item ends now rather than never.
    ++m_generation;
    m_hasItem = false;
    m_headWaiters.resumeAll();
    dropItemReads();
    releaseHeldOpening();
    m_captions.reset();
    m_software.reset();
    // Anyone still waiting for a seek is released.
    m_seekSettled = m_seekRequested;
    emit seekSettled();
}

void MpvMediaPlayer::drainEvents()
{
    if (!m_core)
        return;
    for (;;) {
        const mpv_event *event = mpvLibrary().wait_event(m_core->handle(), 0);
        if (event->event_id == MPV_EVENT_NONE)
            break;
        handleEvent(*event);
    }
}

void MpvMediaPlayer::handleEvent(const mpv_event &event)
{
    switch (event.event_id) {
    case MPV_EVENT_PROPERTY_CHANGE: {
        const auto *property = static_cast<const mpv_event_property *>(event.data);
        QVariant value;
        if (property->format == MPV_FORMAT_NODE)
            value = mpvNodeToVariant(static_cast<const mpv_node *>(property->data));
        handleProperty(event.reply_userdata, value);
        break;
    }
    case MPV_EVENT_START_FILE:
        m_startedEntry = static_cast<const mpv_event_start_file *>(event.data)->playlist_entry_id;
        m_readerAtEnd = false;
        m_readEnd.reset();
        break;
    case MPV_EVENT_FILE_LOADED:
        if (playsCurrentItem()) {
            m_fileLoaded = true;
            m_seekLoading = false;
            qCDebug(lcPlayer) << "File loaded: playlist entry" << m_startedEntry;
            if (m_timeline.keepsTime()) {
                // libmpv counts the file's time from the first time stamp its reader read.
                const QVariant start = m_core->property("demuxer-start-time");
                m_timeline.fileLoaded(
                    start.isValid() ? std::optional(start.toDouble()) : std::nullopt);
                readHeadAhead();
            }
            if (std::exchange(m_reattachCaptions, false))
                reattachCaptions();
        }
        updateRate();
        break;
    case MPV_EVENT_PLAYBACK_RESTART:
        // The file a load made for a seek replaces tells nothing of where the seek lands.
        if (landSeek() || (m_seekLoading && !playsCurrentItem()))
            break;
        settleSeeks();
        if (playsCurrentItem() && m_fileLoaded && m_status == ItemStatus::Unknown)
            setStatus(ItemStatus::ReadyToPlay);
        // A stream of sound alone has started once it plays: it draws no picture.
        if (m_startBound.isActive() && playsCurrentItem() && m_fileLoaded
            && !m_core->property("current-tracks/video").isValid())
            m_startBound.stop();
        break;
    case MPV_EVENT_END_FILE: {
        const auto *end = static_cast<const mpv_event_end_file *>(event.data);
        if (!m_seekLoading || end->playlist_entry_id == m_currentEntry)
            settleSeeks();
        // Only the current item's own file counts: files we replaced or stopped end with
        // "stop", and an older file may end after a newer load went out.
        if (!m_hasItem || end->playlist_entry_id != m_currentEntry
            || end->reason == MPV_END_FILE_REASON_STOP || end->reason == MPV_END_FILE_REASON_QUIT)
            break;
        m_fileLoaded = false;
        m_seekLoading = false;
        // A seek that never landed is not where the item is.
        m_timeline.seekEnded();
        updateRate();
        // Loads name FFmpeg's reader alone, so a playlist it refuses fails; one read as a list
        // of files instead would play other files than the item's.
        if (end->reason == MPV_END_FILE_REASON_ERROR
            || end->reason == MPV_END_FILE_REASON_REDIRECT) {
            if (m_status == ItemStatus::ReadyToPlay)
                emit failedToPlayToEnd();
            setStatus(ItemStatus::Failed);
        } else if (end->reason == MPV_END_FILE_REASON_EOF) {
            onEofReached();
        }
        break;
    }
    case MPV_EVENT_HOOK: {
        const auto *hook = static_cast<const mpv_event_hook *>(event.data);
        releaseHeldOpening();
        m_heldOpening = hook->id;
        if (m_surfaceReady)
            releaseHeldOpening();
        break;
    }
    case MPV_EVENT_COMMAND_REPLY:
        if (event.error < 0)
            qCDebug(lcPlayer) << "mpv command failed:" << mpvLibrary().error_string(event.error);
        if (event.reply_userdata & seekReplyBit)
            m_seekTaken = event.reply_userdata & ~seekReplyBit;
        if ((event.reply_userdata & seekReplyBit) && event.error < 0) {
            m_timeline.seekEnded();
            settleSeeks();
        }
        if (event.reply_userdata & loadReplyBit)
            loadAnswered(event.reply_userdata & ~loadReplyBit, event);
        break;
    case MPV_EVENT_SET_PROPERTY_REPLY:
        if (event.error < 0)
            qCDebug(lcPlayer) << "mpv property not set:" << mpvLibrary().error_string(event.error);
        if (event.reply_userdata == pauseReplyBit && m_pauseRequests > 0
            && --m_pauseRequests == 0) {
            // A change of mpv's own observed meanwhile was passed over: take mpv's state now.
            if (const QVariant paused = m_core->property("pause"); paused.isValid())
                setPaused(paused.toBool());
        }
        break;
    case MPV_EVENT_LOG_MESSAGE:
        logMpvMessage(*static_cast<const mpv_event_log_message *>(event.data));
        break;
    default:
        break;
    }
}

void MpvMediaPlayer::handleProperty(quint64 id, const QVariant &value)
{
    bool moved = false;
    switch (id) {
    case TimePos:
        moved = value.isValid() && m_timeKnown && value.toDouble() != m_time;
        m_timeKnown = value.isValid();
        m_time = value.toDouble();
        if (m_timeKnown && m_fileLoaded && playsCurrentItem()) {
            m_timeline.observe(m_time);
            readHeadAhead();
            followCaptionPart();
        }
        break;
    case Duration:
        m_durationKnown = value.isValid();
        m_duration = value.toDouble();
        break;
    case Pause:
        // The player's own changes (a pause at the end of an item) count at once; what was
        // observed while requests were under way is older than the last of them.
        if (m_pauseRequests == 0)
            setPaused(value.toBool());
        break;
    case PausedForCache: {
        const bool stalled = value.toBool();
        const bool began = stalled && !m_pausedForCache;
        m_pausedForCache = stalled;
        if (began && !m_paused && m_fileLoaded)
            emit playbackStalled();
        break;
    }
    case CoreIdle:
        m_coreIdle = value.isValid() ? value.toBool() : true;
        break;
    case EofReached: {
        const bool reached = value.toBool();
        const bool began = reached && !m_eofReached;
        m_eofReached = reached;
        if (began && m_fileLoaded)
            onEofReached();
        break;
    }
    case Seekable:
        m_seekable = value.toBool();
        break;
    case CacheState: {
        const QVariantMap state = value.toMap();
        m_underrun = state.value(QStringLiteral("underrun")).toBool();
        m_readerAtEnd = state.value(QStringLiteral("eof")).toBool();
        if (const QVariant end = state.value(QStringLiteral("cache-end")); end.isValid())
            m_readEnd = end.toDouble();
        else
            m_readEnd.reset();
        // A paused live picture is still read ahead: its captions are read as far.
        if (m_captions && m_readEnd)
            m_captions->pictureReadTo(*m_readEnd);
        m_cacheRanges.clear();
        for (const QVariant &range : state.value(QStringLiteral("seekable-ranges")).toList()) {
            const QVariantMap map = range.toMap();
            const double start = map.value(QStringLiteral("start")).toDouble();
            const double end = map.value(QStringLiteral("end")).toDouble();
            if (end >= start)
                m_cacheRanges.append({ start, end - start });
        }
        sendCachedSeek();
        break;
    }
    case CacheDuration:
        m_cacheDuration = value.toDouble();
        break;
    case VideoParams: {
        const QVariantMap params = value.toMap();
        m_videoSize = QSize(
            params.value(QStringLiteral("dw")).toInt(), params.value(QStringLiteral("dh")).toInt());
        break;
    }
    case SubText:
        m_subText = value.toString();
        break;
    case VideoTrack: {
        const QVariantMap track = value.toMap();
        m_movingPicture = !track.isEmpty() && !track.value(QStringLiteral("image")).toBool()
            && !track.value(QStringLiteral("albumart")).toBool();
        break;
    }
    default:
        break;
    }
    updateRate();
    if (id == TimePos || id == CacheState)
        checkPictureLost();
    watchProgress(moved);
}

void MpvMediaPlayer::setStatus(ItemStatus status)
{
    if (m_status == status)
        return;
    m_status = status;
    if (status == ItemStatus::Failed)
        m_startBound.stop();
    watchProgress();
    qCDebug(lcPlayer) << "Item status:" << status;
    emit itemStatusChanged();
}

void MpvMediaPlayer::settleSeeks()
{
    if (m_seekSettled == m_seekRequested)
        return;
    m_seekSettled = m_seekRequested;
    emit seekSettled();
    m_seekWaiters.resumeAll();
    watchProgress();
}

bool MpvMediaPlayer::playsCurrentItem() const
{
    return m_hasItem && m_currentEntry != noEntry && m_startedEntry == m_currentEntry;
}

void MpvMediaPlayer::play()
{
    requestPause(false);
}

void MpvMediaPlayer::pause()
{
    requestPause(true);
}

void MpvMediaPlayer::requestPause(bool paused)
{
    // Without a core yet, the core starts in this state.
    if (m_core) {
        ++m_pauseRequests;
        m_core->setProperty("pause", paused, pauseReplyBit);
    }
    // mpv applies requests in order: the last one asked is its state once answered.
    setPaused(paused);
    m_pauseAsked = paused;
    if (!paused)
        m_captionReadsStopped = false;
    if (m_captions)
        m_captions->setPicture(captionPicture());
}

void MpvMediaPlayer::stopCaptionReads()
{
    m_captionReadsStopped = true;
    if (m_captions)
        m_captions->setPicture(captionPicture());
}

WebVttCaptions::Picture MpvMediaPlayer::captionPicture() const
{
    // A pause that comes later does not undo the stop: only play does.
    if (m_captionReadsStopped)
        return WebVttCaptions::Picture::Stopped;
    return m_pauseAsked ? WebVttCaptions::Picture::Paused : WebVttCaptions::Picture::Playing;
}

void MpvMediaPlayer::setPaused(bool paused)
{
    if (m_paused != paused) {
        m_paused = paused;
        emit pausedChanged();
    }
    updateRate();
    watchProgress();
}

void MpvMediaPlayer::setVolume(float volume)
{
    m_volume = std::clamp(volume, 0.0f, 1.0f);
    if (m_core)
        m_core->setProperty("volume", double(m_volume) * 100.0);
}

void MpvMediaPlayer::setMuted(bool muted)
{
    m_muted = muted;
    if (m_core)
        m_core->setProperty("mute", muted);
}

void MpvMediaPlayer::setPreferredPeakBitRate(double bitsPerSecond)
{
    m_peak = std::max(0.0, bitsPerSecond);
    applyVariantCap();
}

void MpvMediaPlayer::setPreferredMaximumResolution(QSize size)
{
    m_maxSize = size;
    applyVariantCap();
}

QVariant MpvMediaPlayer::mpvProperty(const char *name) const
{
    return m_core ? m_core->property(name) : QVariant();
}

} // namespace orvella
