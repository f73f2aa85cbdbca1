// The item's loads and seeks: what mpv is given for the item (the playlist whole, or cut from
// the segment a start or seek needs on), and where a seek lands on the item's own time.
#include "platform/HlsPlaylistCut.h"
#include "platform/LoopbackPlaylistServer.h"
#include "platform/MpvCore.h"
#include "platform/MpvLibrary.h"
#include "platform/MpvMediaPlayer.h"
#include "platform/MpvMediaPlayerReplies.h"
#include "platform/PlatformLog.h"
#include "platform/SegmentTimeStamp.h"
#include "platform/StartupTrace.h"

#include <QCoroFuture>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <cmath>

namespace orvella {

using namespace mpvplayer;

namespace {
constexpr double liveEdgeMargin = 0.5;
// The last picture of the cache lies this far inside its end at most.
constexpr double endOfCacheMargin = 0.05;
// A start this close to the beginning of what mpv is given starts there.
constexpr double startSlack = 0.05;
// How long a seek into a part not placed yet waits for its first segment's head; past it, the
// item is loaded from the target's segment on.
constexpr std::chrono::milliseconds segmentHeadTimeout { 3000 };
} // namespace

void MpvMediaPlayer::issueLoad(std::optional<double> startAt)
{
    if (!core()) {
        setStatus(ItemStatus::Failed);
        return;
    }
    markStartup(StartupMilestone::LiveLoadIssued);
    m_issued = true;
    m_currentEntry = noEntry;
    m_cachedSeek.reset();
    const quint64 serial = ++m_loadSerial;
    m_loadedPlayable = m_playable;
    // The variant's timeline, with what was learnt of its parts on the variant it replaces.
    PlaylistTimeline timeline = m_playableTimeline;
    timeline.keepLearnt(m_timeline);
    m_timeline = std::move(timeline);
    // A start the whole playlist cannot reach (a part whose time stamps another part shares),
    // or a load that must end at a join, is a cut of the playlist, made on a worker: a playlist
    // may be long.
    const PlaylistTimeline::Load load = m_timeline.loadFor(startAt.value_or(0.0));
    if (load.from > 0 || load.until)
        cutAndLoad(serial, load, startAt);
    else
        sendLoad(startAt, load, {});
}

namespace {
// The playable's playlists for the load: the segment that holds its start on (up to its end,
// when it has one), the separate sound over the same time; none where either cannot be cut.
MpvMediaPlayer::PlaylistCuts cutPlayable(
    const HlsPlaylistTexts &texts, bool withAudio, PlaylistTimeline::Load load)
{
    MpvMediaPlayer::PlaylistCuts cuts;
    cuts.video = cutHlsMediaPlaylist(texts.video, texts.videoUrl, load.from, load.until);
    if (cuts.video && withAudio) {
        cuts.audio = cutHlsMediaPlaylist(texts.audio, texts.audioUrl, cuts.video->start,
            load.until ? std::optional(cuts.video->end) : std::nullopt);
        if (!cuts.audio)
            cuts.video.reset();
    }
    return cuts;
}
} // namespace

QCoro::Task<> MpvMediaPlayer::cutAndLoad(
    quint64 serial, PlaylistTimeline::Load load, std::optional<double> startAt)
{
    QPointer self(this);
    QFuture<PlaylistCuts> cutting
        = QtConcurrent::run(&cutPlayable, m_playableTexts, m_playable->audio.has_value(), load);
    PlaylistCuts cuts = co_await cutting;
    // A later load, or the item gone, replaced this one meanwhile.
    if (!self || serial != m_loadSerial || !m_issued || m_givenUp || !m_core)
        co_return;
    if (!cuts.video) {
        qCWarning(lcPlayer) << "The playlist cannot be cut at" << load.from
                            << "s: loading it whole";
    }
    sendLoad(startAt, load, std::move(cuts));
}

std::optional<MpvMediaPlayer::CutAddresses> MpvMediaPlayer::publishCuts(const PlaylistCuts &cuts)
{
    if (!m_cutServer)
        m_cutServer = new LoopbackPlaylistServer(this);
    CutAddresses addresses;
    if (const auto video = m_cutServer->publish(cuts.video->text))
        addresses.video = *video;
    else
        return std::nullopt;
    m_publishedCuts.append(addresses.video);
    if (cuts.audio) {
        addresses.audio = m_cutServer->publish(cuts.audio->text);
        if (!addresses.audio)
            return std::nullopt;
        m_publishedCuts.append(*addresses.audio);
    }
    return addresses;
}

void MpvMediaPlayer::withdrawCuts()
{
    for (const QUrl &address : std::as_const(m_publishedCuts))
        m_cutServer->withdraw(address);
    m_publishedCuts.clear();
}

void MpvMediaPlayer::sendLoad(
    std::optional<double> startAt, const PlaylistTimeline::Load &load, PlaylistCuts cuts)
{
    MpvCore *mpv = m_core.get();
    // libmpv read the cuts of the load this one replaces once, at its start (an ended playlist
    // is never read again): they are withdrawn.
    withdrawCuts();
    const std::optional<CutAddresses> cutAddresses = cuts.video ? publishCuts(cuts) : std::nullopt;
    if (cuts.video && !cutAddresses) {
        qCWarning(lcPlayer) << "The playlist's cut cannot be served: loading it whole";
        cuts = {};
    }
    const std::optional<HlsPlaylistCut> &videoCut = cuts.video;
    const std::optional<HlsPlaylistCut> &audioCut = cuts.audio;
    // A load that ends at a join ends its file there (mpv does not hold it open paused): the
    // item goes on with a load from the join.
    const bool endsAtJoin = videoCut && load.until;
    m_timeline.beginLoad(
        videoCut ? videoCut->start : 0.0, endsAtJoin ? std::optional(videoCut->end) : std::nullopt);
    const double buffer = m_settings.forwardBufferSeconds;
    double readAhead = buffer;
    QStringList options {
        QStringLiteral("demuxer=lavf"), // a playlist FFmpeg refuses fails, never a list of files
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
        // the reader's first time stamp, which its HLS reader takes for a later segment. A start
        // in fragmented MP4 is no seek either (its reader cannot seek inside it): the load starts
        // at its first picture, reads on past the target, and the cache takes it there.
        if ((start.raw > startSlack || start.demuxerOffset != 0) && !start.cacheOnly) {
            options.append(QStringLiteral("start=%1").arg(number(start.raw)));
            options.append(
                QStringLiteral("hr-seek-demuxer-offset=%1").arg(number(start.demuxerOffset)));
        }
        readAhead = std::max(readAhead, load.readAhead);
    }
    if (m_timeline.loadEnd())
        options.append(QStringLiteral("keep-open=no"));
    options.prepend(QStringLiteral("demuxer-readahead-secs=%1").arg(number(readAhead)));
    // On demand a slow request is waited for as long as the load may take to start (a segment
    // passed over would skip its part of the episode); live passes over a hung one and goes on.
    const auto requestTimeout
        = m_settings.waitsToMinimizeStalling ? m_timeouts.liveRequest : m_timeouts.start;
    options.append(QStringLiteral("network-timeout=%1").arg(number(seconds(requestTimeout))));
    // mpv's %length% quoting keeps commas inside one option's value.
    const auto quoted
        = [](const QString &value) { return u'%' + QString::number(value.size()) + u'%' + value; };
    if (videoCut || isWebUrl(m_playable->video)) {
        // What a network playlist names is opened over the network only: never a local file.
        // A cut is served on 127.0.0.1, which no proxy is asked for (keepLoopbackOffProxies).
        options.append(QStringLiteral("demuxer-lavf-o=")
            + quoted(QStringLiteral("protocol_whitelist=[http,https,tcp,tls,crypto]")));
    }
    if (m_playable->audio) {
        options.append(QStringLiteral("audio-files-append=")
            + quoted(audioCut ? cutAddresses->audio->toString(QUrl::FullyEncoded)
                              : m_playable->audio->toString(QUrl::FullyEncoded)));
    }
    if (videoCut)
        qCDebug(lcPlayer) << "Loading the playlist from" << videoCut->start << "s on";
    mpv->commandAsync({ QStringLiteral("loadfile"),
                          videoCut ? cutAddresses->video.toString(QUrl::FullyEncoded)
                                   : m_playable->video.toString(QUrl::FullyEncoded),
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
    m_timeline.aim(seconds);
    using Step = PlaylistTimeline::Plan::Step;
    PlaylistTimeline::Plan plan = m_timeline.plan(seconds, m_cacheRanges, m_fileLoaded);
    // A few segments refused in a row are passed over; past them the seek loads.
    for (int heads = 1; plan.step == Step::ReadHead; ++heads) {
        auto reading = readHead(*plan.head);
        co_await reading;
        if (!self || generation != m_generation)
            co_return false;
        plan = m_timeline.plan(
            seconds, m_cacheRanges, m_fileLoaded, heads < PlaylistTimeline::mostRefusedInARow);
    }
    // A later seek asked meanwhile goes there instead.
    if (serial == m_seekRequested) {
        if (plan.step == Step::InFile) {
            m_timeline.seekSent(plan.seek);
            sendSeek(plan.seek, serial);
        } else {
            loadForSeek(seconds, serial);
        }
    }
    while (self && m_seekSettled < serial) {
        auto settled = m_seekWaiters.next();
        co_await settled;
    }
    co_return self &&generation == m_generation;
}

void MpvMediaPlayer::sendSeek(const PlaylistTimeline::Seek &seek, quint64 serial)
{
    // The reader would pass over everything to the end: the cache reads on until it holds it.
    if (seek.cacheOnly && !m_readerAtEnd && !rangesHold(m_cacheRanges, seek.raw)) {
        m_cachedSeek = { seek, serial };
        return;
    }
    m_cachedSeek.reset();
    // Set for every seek: a joined item's stays with mpv until the next.
    m_core->setProperty("hr-seek-demuxer-offset", seek.demuxerOffset);
    m_core->commandAsync(
        { QStringLiteral("seek"), number(seek.raw), QStringLiteral("absolute+exact") },
        seekReplyBit | serial);
}

void MpvMediaPlayer::sendCachedSeek()
{
    // A later seek took its place; while no file plays, it waits on.
    if (m_cachedSeek && m_cachedSeek->second != m_seekRequested)
        m_cachedSeek.reset();
    if (m_cachedSeek && m_fileLoaded && playsCurrentItem())
        sendSeek(m_cachedSeek->first, m_cachedSeek->second);
}

namespace {
// Names a file, or a part of one, among the heads and maps an item reads.
QString headKey(const QUrl &url, const std::optional<std::pair<qint64, qint64>> &range)
{
    QString key = url.toString(QUrl::FullyEncoded);
    if (range)
        key += u' ' + QString::number(range->first) + u' ' + QString::number(range->second);
    return key;
}
} // namespace

QCoro::Task<bool> MpvMediaPlayer::waitForHeadRead(QString key)
{
    QPointer self(this);
    const quint64 generation = m_generation;
    while (m_headsReading.contains(key)) {
        auto read = m_headWaiters.next();
        co_await read;
        if (!self || generation != m_generation)
            co_return false;
    }
    co_return true;
}

QCoro::Task<SegmentHead> MpvMediaPlayer::readSegmentStart(PlaylistTimeline::Head head)
{
    const std::stop_token stop = m_itemReads.get_token();
    if (!head.readable || head.mapUrl.isEmpty()) {
        auto reading = readSegmentHead(m_network, head.url, head.range, segmentHeadTimeout, stop);
        co_return co_await reading;
    }
    // Fragmented MP4 is read with its map's picture track, each map once for the item.
    QPointer self(this);
    const quint64 generation = m_generation;
    const QString mapKey = headKey(head.mapUrl, head.mapRange);
    auto waiting = waitForHeadRead(mapKey);
    if (!co_await waiting)
        co_return SegmentHead {};
    if (!m_fmp4Maps.contains(mapKey)) {
        m_headsReading.insert(mapKey);
        auto reading = readFmp4Map(m_network, head.mapUrl, head.mapRange, segmentHeadTimeout, stop);
        const Fmp4MapHead read = co_await reading;
        if (!self || generation != m_generation)
            co_return SegmentHead {};
        m_headsReading.remove(mapKey);
        // A map not read is asked again with the next head that needs it.
        if (read.map)
            m_fmp4Maps.insert(mapKey, *read.map);
        // Whoever waited for it takes it.
        m_headWaiters.resumeAll();
        if (!self || generation != m_generation)
            co_return SegmentHead {};
    }
    if (const auto map = m_fmp4Maps.constFind(mapKey); map != m_fmp4Maps.constEnd()) {
        auto reading
            = readFmp4SegmentHead(m_network, head.url, head.range, *map, segmentHeadTimeout, stop);
        co_return co_await reading;
    }
    // Without its map the head still tells whether its server gives the segment.
    auto reading = readSegmentHead(m_network, head.url, head.range, segmentHeadTimeout, stop);
    SegmentHead read = co_await reading;
    read.startTime.reset();
    co_return read;
}

QCoro::Task<> MpvMediaPlayer::readHead(PlaylistTimeline::Head head)
{
    QPointer self(this);
    const quint64 generation = m_generation;
    const QString key = headKey(head.url, head.range);
    // The same head being read already (ahead of playback, say) is waited for, not read twice.
    auto waiting = waitForHeadRead(key);
    if (!co_await waiting)
        co_return;
    std::optional<SegmentHead> read = m_segmentHeads.value(key);
    if (!m_segmentHeads.contains(key)) {
        m_headsReading.insert(key);
        auto reading = readSegmentStart(head);
        read = co_await reading;
        if (!self || generation != m_generation)
            co_return;
        m_headsReading.remove(key);
        // Whoever waited for this head takes what it told.
        m_segmentHeads.insert(key, *read);
        m_headWaiters.resumeAll();
        if (!self || generation != m_generation)
            co_return;
        // What a server refuses for now, or does not answer, is asked again when next needed.
        if (read->unread || (read->refused && !read->refusedForGood))
            m_segmentHeads.remove(key);
    }
    // A head not answered in time is passed over as the reader will pass over its segment.
    using Answer = PlaylistTimeline::Answer;
    const Answer answer = read->refused && read->refusedForGood ? Answer::Refused
        : read->refused || read->unread                         ? Answer::RefusedForNow
                                                                : Answer::Served;
    m_timeline.headRead(head, answer, head.readable ? read->startTime : std::nullopt);
}

void MpvMediaPlayer::readHeadAhead()
{
    // Asked as positions come in: a head already read (one that told nothing) is not asked again.
    const auto head = m_timeline.headAhead();
    if (!head)
        return;
    if (const QString key = headKey(head->url, head->range);
        m_headsReading.contains(key) || m_segmentHeads.contains(key))
        return;
    // A segment refused: the next one of the part is read in its place.
    QCoro::connect(readHead(*head), this, [this] { readHeadAhead(); });
}

void MpvMediaPlayer::loadForSeek(double seconds, quint64 serial)
{
    // The load's start is this seek's landing; pause and volume are mpv's own and stay.
    m_seekTaken = serial;
    m_seekLoading = true;
    m_fileLoaded = false;
    m_reattachCaptions = m_reattachCaptions || m_caption.has_value();
    m_seekLoadTarget = seconds;
    m_cachedSeek.reset();
    updateRate();
    if (std::exchange(m_seekLoadQueued, true))
        return;
    QTimer::singleShot(0, this, [this, generation = m_generation] {
        m_seekLoadQueued = false;
        if (generation == m_generation && m_seekLoading && !m_givenUp)
            issueLoad(m_seekLoadTarget);
    });
}

void MpvMediaPlayer::loadOnFromJoin(double join)
{
    // No new start and no seek of the owner's: the item plays on, from the join's first picture.
    qCDebug(lcPlayer) << "The load ended at the join at" << join << "s: the item goes on";
    m_timeline.aim(join);
    m_seekLoading = true;
    m_fileLoaded = false;
    m_reattachCaptions = m_reattachCaptions || m_caption.has_value();
    m_cachedSeek.reset();
    updateRate();
    issueLoad(join);
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
    const auto onward = m_timeline.landed(raw.toDouble());
    if (!onward)
        return false;
    sendSeek(*onward, m_seekRequested);
    return true;
}

} // namespace orvella
