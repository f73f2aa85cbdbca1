#include "platform/MpvMediaPlayer.h"

#include "platform/HlsPlaylistCut.h"
#include "platform/MediaPlayerFactory.h"
#include "platform/MpvCore.h"
#include "platform/MpvLibrary.h"
#include "platform/MpvSoftwareRenderer.h"
#include "platform/PlatformError.h"
#include "platform/PlatformLog.h"
#include "platform/SceneGraphChoice.h"
#include "platform/SegmentTimeStamp.h"
#include "platform/StartupTrace.h"
#include "platform/WebVttCaptions.h"

#include <QGuiApplication>
#include <QQuickWindow>
#include <QRegularExpression>
#include <QTimer>
#include <cmath>

namespace orvella {

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

// Replies to seek commands carry this bit, so they are told apart from other replies.
constexpr quint64 seekReplyBit = quint64(1) << 62;
// Replies to pause changes carry this bit.
constexpr quint64 pauseReplyBit = quint64(1) << 59;
// Replies to loads carry this bit and the load's serial number.
constexpr quint64 loadReplyBit = quint64(1) << 60;
// The hook that holds a file between opening and choosing its tracks until a surface exists.
constexpr quint64 preloadedHookId = quint64(1) << 61;
constexpr double liveEdgeMargin = 0.5;
// A start this close to the beginning of what mpv is given starts there.
constexpr double startSlack = 0.05;
// How long a seek into a part not placed yet waits for its first segment's head; past it, the
// item is loaded from the target's segment on.
constexpr std::chrono::milliseconds segmentHeadTimeout { 3000 };
// The last picture of the cache lies this far inside its end at most.
constexpr double endOfCacheMargin = 0.05;

bool wantsOpenGl(MpvMediaPlayer::Output output)
{
    if (output != MpvMediaPlayer::Output::Automatic)
        return output == MpvMediaPlayer::Output::OpenGl;
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return false;
    return !sceneGraphDrawsInSoftware();
}

QString number(double value)
{
    return QString::number(value, 'f', 3);
}

double seconds(std::chrono::milliseconds span)
{
    return double(span.count()) / 1000.0;
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
        // A file mpv read as a playlist goes on as the entries it named.
        if (end->reason == MPV_END_FILE_REASON_REDIRECT && end->playlist_entry_id == m_currentEntry
            && end->playlist_insert_num_entries > 0) {
            m_currentEntry = end->playlist_insert_id;
            break;
        }
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
        if (end->reason == MPV_END_FILE_REASON_ERROR) {
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
        noteFailedSegment(*static_cast<const mpv_event_log_message *>(event.data));
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
        if (m_timeKnown && m_fileLoaded && playsCurrentItem())
            m_timeline.observe(m_time);
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
        m_cacheRanges.clear();
        for (const QVariant &range : state.value(QStringLiteral("seekable-ranges")).toList()) {
            const QVariantMap map = range.toMap();
            const double start = map.value(QStringLiteral("start")).toDouble();
            const double end = map.value(QStringLiteral("end")).toDouble();
            if (end >= start)
                m_cacheRanges.append({ start, end - start });
        }
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

void MpvMediaPlayer::issueLoad(std::optional<double> startAt)
{
    MpvCore *mpv = core();
    if (!mpv) {
        setStatus(ItemStatus::Failed);
        return;
    }
    markStartup(StartupMilestone::LiveLoadIssued);
    m_issued = true;
    m_currentEntry = noEntry;
    ++m_loadSerial;
    m_loadedPlayable = m_playable;
    // The variant's timeline, with what was learnt of its parts on the variant it replaces.
    PlaylistTimeline timeline = m_playableTimeline;
    timeline.keepLearnt(m_timeline);
    m_timeline = std::move(timeline);
    // A start the whole playlist cannot reach (a part whose time stamps another part shares)
    // loads the playlist from the start's segment on, the separate sound from the same time.
    std::optional<HlsPlaylistCut> videoCut;
    std::optional<HlsPlaylistCut> audioCut;
    if (const double from = startAt ? m_timeline.loadStart(*startAt) : 0.0; from > 0) {
        videoCut = cutHlsMediaPlaylist(m_playableTexts.video, m_playableTexts.videoUrl, from);
        if (videoCut && m_playable->audio) {
            audioCut = cutHlsMediaPlaylist(
                m_playableTexts.audio, m_playableTexts.audioUrl, videoCut->start);
            if (!audioCut)
                videoCut.reset();
        }
        if (!videoCut)
            qCWarning(lcPlayer) << "The playlist cannot be cut at" << from << "s: loading it whole";
    }
    m_timeline.beginLoad(videoCut ? videoCut->start : 0.0);
    const double buffer = m_settings.forwardBufferSeconds;
    QStringList options {
        QStringLiteral("demuxer-readahead-secs=%1").arg(number(buffer)),
        QStringLiteral("cache-secs=%1").arg(number(buffer)),
        QStringLiteral("cache-pause=yes"),
        QStringLiteral("cache-pause-initial=%1")
            .arg(m_settings.waitsToMinimizeStalling ? QStringLiteral("yes") : QStringLiteral("no")),
        QStringLiteral("cache-pause-wait=%1")
            .arg(m_settings.waitsToMinimizeStalling ? QStringLiteral("1") : QStringLiteral("0.2")),
    };
    if (startAt) {
        const PlaylistTimeline::Seek start = m_timeline.seekTo(*startAt, {});
        // A start at the load's first picture is no seek: one asked there lands a moment before
        // the reader's first time stamp, which its HLS reader takes for a later segment. A cut
        // of fragmented MP4 starts at its first picture too: the reader cannot seek inside it,
        // and the position shows where it starts.
        if ((start.raw > startSlack || start.demuxerOffset != 0)
            && !(videoCut && videoCut->fragmented)) {
            options.append(QStringLiteral("start=%1").arg(number(start.raw)));
            options.append(
                QStringLiteral("hr-seek-demuxer-offset=%1").arg(number(start.demuxerOffset)));
        }
    }
    // On demand a slow request is waited for as long as the load may take to start (a segment
    // passed over would skip its part of the episode); live passes over a hung one and goes on.
    const auto requestTimeout
        = m_settings.waitsToMinimizeStalling ? m_timeouts.liveRequest : m_timeouts.start;
    options.append(QStringLiteral("network-timeout=%1").arg(number(seconds(requestTimeout))));
    // mpv's %length% quoting keeps commas inside one option's value.
    const auto quoted
        = [](const QString &value) { return u'%' + QString::number(value.size()) + u'%' + value; };
    if (videoCut) {
        // A cut is read from its own data; what it names is opened over the network only.
        options.append(QStringLiteral("demuxer-lavf-o=")
            + quoted(QStringLiteral("protocol_whitelist=[data,http,https,tcp,tls,crypto]")));
    } else if (isWebUrl(m_playable->video)) {
        // What a network playlist names is opened over the network only: never a local file.
        options.append(QStringLiteral("demuxer-lavf-o=")
            + quoted(QStringLiteral("protocol_whitelist=[http,https,tcp,tls,crypto]")));
    }
    if (m_playable->audio) {
        options.append(QStringLiteral("audio-files-append=")
            + quoted(
                audioCut ? audioCut->address() : m_playable->audio->toString(QUrl::FullyEncoded)));
    }
    if (videoCut)
        qCDebug(lcPlayer) << "Loading the playlist from" << videoCut->start << "s on";
    mpv->commandAsync(
        { QStringLiteral("loadfile"),
            videoCut ? videoCut->address() : m_playable->video.toString(QUrl::FullyEncoded),
            QStringLiteral("replace"), options.join(u',') },
        loadReplyBit | m_loadSerial);
}

void MpvMediaPlayer::loadAnswered(quint64 serial, const mpv_event &reply)
{
    // Only the last load counts (a load stopped or replaced since is not the item's file).
    if (serial != m_loadSerial || !m_hasItem || !m_issued)
        return;
    if (reply.error < 0) {
        setStatus(ItemStatus::Failed);
        return;
    }
    // mpv answers a load before it starts the file, and may start only the last of several
    // loads that reached it together: the entry id tells the current item's file apart.
    const auto *command = static_cast<const mpv_event_command *>(reply.data);
    const QVariantMap result = mpvNodeToVariant(&command->result).toMap();
    m_currentEntry = result.value(QStringLiteral("playlist_entry_id"), noEntry).toLongLong();
    qCDebug(lcPlayer) << "Load issued: playlist entry" << m_currentEntry;
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

QCoro::Task<bool> MpvMediaPlayer::seek(double seconds)
{
    if (!m_hasItem || (!m_fileLoaded && !m_seekLoading))
        co_return false;
    // A live stream seeks only inside what is cached; a seek to the very end of the cache
    // would leave it and start the stream over, so the edge is taken just inside it. A seek
    // forward never lands behind the position: at the end of the cache it stays where it is,
    // and mpv reads on from there rather than playing the last half second again.
    if (!m_seekable && !m_cacheRanges.isEmpty()) {
        const MediaTimeRange last = m_timeline.itemRanges(m_cacheRanges).last();
        const double target
            = std::clamp(seconds, last.start, std::max(last.start, last.end() - liveEdgeMargin));
        const bool towardEdge = seconds >= last.end() - liveEdgeMargin;
        seconds = towardEdge && m_timeKnown && itemTime() > target
            ? std::max(target, std::min(itemTime(), last.end() - endOfCacheMargin))
            : target;
    }
    const quint64 serial = ++m_seekRequested;
    const quint64 generation = m_generation;
    // The count starts again with each seek, which must land within the bound.
    watchProgress(true);
    QPointer self(this);
    bool inPlace = m_fileLoaded && m_timeline.seeksInPlace(seconds, m_cacheRanges);
    if (m_fileLoaded && !inPlace) {
        auto reading = reachesUnplacedPart(seconds);
        inPlace = co_await reading;
        if (!self || generation != m_generation)
            co_return false;
    }
    // A later seek asked meanwhile goes there instead.
    if (serial == m_seekRequested) {
        if (inPlace && m_fileLoaded)
            sendSeek(m_timeline.seekTo(seconds, m_cacheRanges), serial);
        else
            loadForSeek(seconds, serial);
    }
    while (self && m_seekSettled < serial) {
        auto settled = m_seekWaiters.next();
        co_await settled;
    }
    co_return self &&generation == m_generation;
}

void MpvMediaPlayer::sendSeek(const PlaylistTimeline::Seek &seek, quint64 serial)
{
    // Set for every seek: a joined item's stays with mpv until the next.
    m_core->setProperty("hr-seek-demuxer-offset", seek.demuxerOffset);
    m_core->commandAsync(
        { QStringLiteral("seek"), number(seek.raw), QStringLiteral("absolute+exact") },
        seekReplyBit | serial);
}

QCoro::Task<bool> MpvMediaPlayer::reachesUnplacedPart(double seconds)
{
    const auto part = m_timeline.unplacedPartAt(seconds);
    if (!part || part->firstSegment.isEmpty())
        co_return false;
    if (!m_segmentHeads.contains(part->firstSegment)) {
        QPointer self(this);
        auto reading = readSegmentStartTime(m_network, part->firstSegment, std::nullopt,
            segmentHeadTimeout, m_itemReads.get_token());
        const std::optional<double> stamp = co_await reading;
        if (!self)
            co_return false;
        m_segmentHeads.insert(part->firstSegment, stamp);
    }
    const std::optional<double> stamp = m_segmentHeads.value(part->firstSegment);
    const QVariant start = m_core ? m_core->property("demuxer-start-time") : QVariant();
    co_return stamp &&start.isValid()
        && m_fileLoaded &&m_timeline.reachesUnplaced(part->index, *stamp - start.toDouble());
}

void MpvMediaPlayer::noteFailedSegment(const mpv_event_log_message &message)
{
    // FFmpeg's HLS reader: "Failed to open segment <media sequence number> of playlist <n>".
    static const QRegularExpression failed(
        QStringLiteral("Failed to open segment (\\d+) of playlist"));
    if (!m_timeline.isJoined() || qstrcmp(message.prefix, "ffmpeg/demuxer") != 0)
        return;
    const QRegularExpressionMatch match = failed.match(QString::fromUtf8(message.text));
    if (match.hasMatch())
        m_timeline.segmentFailed(match.captured(1).toLongLong());
}

void MpvMediaPlayer::loadForSeek(double seconds, quint64 serial)
{
    // The load's start is this seek's landing; pause and volume are mpv's own and stay.
    m_seekTaken = serial;
    m_seekLoading = true;
    m_fileLoaded = false;
    m_reattachCaptions = m_reattachCaptions || m_caption.has_value();
    m_seekLoadTarget = seconds;
    updateRate();
    if (std::exchange(m_seekLoadQueued, true))
        return;
    QTimer::singleShot(0, this, [this, generation = m_generation] {
        m_seekLoadQueued = false;
        if (generation == m_generation && m_seekLoading && !m_givenUp)
            issueLoad(m_seekLoadTarget);
    });
}

bool MpvMediaPlayer::landSeek()
{
    // Only the restart of the last seek asked (or of the load) tells where it landed.
    if (!m_timeline.isSeeking() || !playsCurrentItem() || !m_fileLoaded
        || m_seekTaken != m_seekRequested)
        return false;
    const QVariant raw = m_core->property("time-pos");
    if (!raw.isValid()) {
        m_timeline.seekEnded();
        return false;
    }
    const auto onward = m_timeline.landed(raw.toDouble(), m_cacheRanges);
    if (!onward)
        return false;
    sendSeek(*onward, m_seekRequested);
    return true;
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
