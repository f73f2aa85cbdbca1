// The item side of a player: taking and dropping items, reading the item's master, the variant
// that fits the caps, the bound on a load's start, and the caption renditions, which the client
// reads and draws itself.
#include "platform/Clock.h"
#include "platform/MpvCore.h"
#include "platform/MpvMediaPlayer.h"
#include "platform/PlatformLog.h"
#include "platform/WebVttCaptions.h"

#include <QTimer>
#include <algorithm>

namespace orvella {

void MpvMediaPlayer::forgetItem()
{
    // Work for the earlier item finds the generation moved on and leaves.
    ++m_generation;
    m_status = ItemStatus::Unknown;
    m_issued = false;
    m_fileLoaded = false;
    m_currentEntry = noEntry;
    m_firstFrameSeen = false;
    m_masterSettled = false;
    m_reattachCaptions = false;
    m_master.reset();
    m_playable.reset();
    m_loadedPlayable.reset();
    m_timeline = {};
    m_playableTimeline = {};
    m_playableTexts = {};
    withdrawCuts();
    m_seekLoading = false;
    m_seekLoadQueued = false;
    m_segmentHeads.clear();
    m_fmp4Maps.clear();
    m_headsReading.clear();
    m_headWaiters.resumeAll();
    m_cachedSeek.reset();
    m_wantedVariant = -1;
    m_choosing = false;
    m_choiceStale = false;
    m_givenUp = false;
    m_caption.reset();
    m_captions.reset();
    m_cacheRanges.clear();
    m_readerAtEnd = false;
    m_readEnd.reset();
    m_startBound.stop();
    m_progressBound.stop();
    settleSeeks();
    releaseHeldOpening();
}

void MpvMediaPlayer::replaceCurrentItem(const QUrl &url, const MediaItemSettings &settings)
{
    forgetItem();
    m_hasItem = true;
    m_url = url;
    m_settings = settings;
    m_peak = 0;
    m_maxSize = {};
    m_eofReached = false;
    m_timeKnown = false;
    m_durationKnown = false;
    // Whoever waited for the earlier item's master finds it gone.
    m_masterWaiters.resumeAll();
    armStartBound();
    // The earlier item's reads end; this one's playlist is read before anything is loaded.
    prepareItem(m_generation, url, renewStop(m_itemReads));
    // mpv starts meanwhile (at the end of this turn, so settings made right after the load
    // reach it).
    const quint64 generation = m_generation;
    QTimer::singleShot(0, this, [this, generation] {
        if (generation != m_generation || !m_hasItem || m_issued || m_givenUp)
            return;
        if (!core())
            setStatus(ItemStatus::Failed);
        else
            loadWhenPossible();
    });
    emit currentItemChanged();
    updateRate();
}

void MpvMediaPlayer::loadWhenPossible()
{
    if (!m_hasItem || m_issued || m_givenUp || !m_playable || !m_core)
        return;
    if (m_surfaceReady || m_openGl)
        issueLoad();
}

void MpvMediaPlayer::clearCurrentItem()
{
    const bool wasIssued = m_issued;
    forgetItem();
    m_hasItem = false;
    m_url = QUrl();
    m_videoSize = {};
    dropItemReads();
    if (wasIssued)
        m_core->commandAsync({ QStringLiteral("stop") });
    emit currentItemChanged();
    updateRate();
}

QCoro::Task<> MpvMediaPlayer::prepareItem(quint64 generation, QUrl url, std::stop_token stop)
{
    QPointer self(this);
    HlsItemRead read;
    if (isWebUrl(url)) {
        auto reading = readHlsItem(m_network, url, readTimeouts(), stop);
        read = co_await reading;
        if (!self || generation != m_generation || stop.stop_requested())
            co_return;
    }
    if (!read.refusal)
        m_master = std::move(read.master);
    m_masterSettled = true;
    settleMaster();
    if (generation != m_generation)
        co_return;
    if (read.refusal) {
        giveUp(*read.refusal);
        co_return;
    }
    if (!m_master) {
        // A media playlist, or no playlist at all: mpv opens it as it is.
        m_playable = HlsPlayable { url, std::nullopt };
        m_playableTimeline = std::move(read.timeline);
        m_playableTexts = std::move(read.texts);
        loadWhenPossible();
        co_return;
    }
    chooseVariant(generation);
}

QCoro::Task<> MpvMediaPlayer::chooseVariant(quint64 generation)
{
    if (m_choosing) {
        m_choiceStale = true;
        co_return;
    }
    m_choosing = true;
    QPointer self(this);
    const std::stop_token stop = m_itemReads.get_token();
    for (;;) {
        m_choiceStale = false;
        const QList<int> preference = variantPreference(m_master->variants, m_peak, m_maxSize);
        // The caps still ask for the variant chosen last (or the one that made way for it).
        if (m_playable && !preference.isEmpty() && preference.first() == m_wantedVariant)
            break;
        auto choosing = chooseHlsVariant(m_network, *m_master, preference, readTimeouts(), stop);
        const HlsVariantChoice choice = co_await choosing;
        if (!self || generation != m_generation || stop.stop_requested())
            co_return;
        if (m_choiceStale)
            continue;
        if (!choice.playable) {
            m_choosing = false;
            giveUp(choice.refusal);
            co_return;
        }
        m_wantedVariant = preference.first();
        m_playable = choice.playable;
        m_playableTimeline = choice.timeline;
        m_playableTexts = choice.texts;
        break;
    }
    m_choosing = false;
    if (!m_issued)
        loadWhenPossible();
    else if (m_playable != m_loadedPlayable)
        reloadInPlace();
}

void MpvMediaPlayer::applyVariantCap()
{
    // Before the master is read the caps travel with the first choice. Afterwards a change of
    // variant loads the item again where it is, once both caps are set (at the end of the turn).
    if (!m_hasItem || !m_master || m_givenUp || m_capsPending)
        return;
    m_capsPending = true;
    QTimer::singleShot(0, this, [this, generation = m_generation] {
        m_capsPending = false;
        if (generation == m_generation && m_master && !m_givenUp)
            chooseVariant(generation);
    });
}

void MpvMediaPlayer::giveUp(const QString &why)
{
    if (!m_hasItem || m_givenUp)
        return;
    qCWarning(lcPlayer) << "The item cannot play:" << why;
    m_givenUp = true;
    m_startBound.stop();
    m_itemReads.request_stop();
    m_captions.reset();
    // Nothing of it is fetched any more, and no load goes out for it again. Before its own load
    // went out mpv may still play the item it replaced: that ends too.
    if (m_core)
        m_core->commandAsync({ QStringLiteral("stop") });
    m_fileLoaded = false;
    releaseHeldOpening();
    if (m_status == ItemStatus::ReadyToPlay)
        emit failedToPlayToEnd();
    setStatus(ItemStatus::Failed);
    updateRate();
}

void MpvMediaPlayer::armStartBound()
{
    // The bound counts only while the load can go on: an OpenGL player without its surface
    // holds the file until it has one.
    if (!m_hasItem || m_givenUp || m_firstFrameSeen || m_status == ItemStatus::Failed
        || (m_openGl && !m_surfaceReady)) {
        m_startBound.stop();
        return;
    }
    if (!m_startBound.isActive())
        m_startBound.start(m_timeouts.start);
}

void MpvMediaPlayer::reloadInPlace()
{
    // A live item comes back at its edge, an on-demand one where it was.
    std::optional<double> at;
    // A load made for a seek comes back at the seek's target.
    if (!m_settings.waitsToMinimizeStalling && ((m_fileLoaded && m_timeKnown) || m_seekLoading))
        at = itemTime();
    qCDebug(lcPlayer) << "Another variant for the caps:" << m_playable->video;
    m_fileLoaded = false;
    m_reattachCaptions = true;
    issueLoad(at);
    updateRate();
}

void MpvMediaPlayer::reattachCaptions()
{
    // A new file drops the external subtitle track: the captions are added to it again.
    if (!m_caption)
        return;
    const auto caption = m_caption;
    m_captions.reset();
    m_caption.reset();
    selectLegibleOption(caption);
}

void MpvMediaPlayer::dropItemReads()
{
    m_itemReads.request_stop();
    settleMaster();
}

void MpvMediaPlayer::Waiters::resumeAll()
{
    for (std::coroutine_handle<> waiter : std::exchange(m_handles, {}))
        waiter.resume();
}

void MpvMediaPlayer::settleMaster()
{
    m_masterWaiters.resumeAll();
    emit masterPlaylistSettled();
}

QCoro::Task<std::optional<QList<LegibleOption>>> MpvMediaPlayer::loadLegibleOptions()
{
    QPointer self(this);
    const quint64 generation = m_generation;
    while (self && m_hasItem && generation == m_generation && !m_masterSettled) {
        auto settled = m_masterWaiters.next();
        co_await settled;
    }
    if (!self || !m_hasItem || generation != m_generation || !m_master
        || m_master->subtitles.isEmpty())
        co_return std::nullopt;
    QList<LegibleOption> options;
    for (const HlsRendition &rendition : m_master->subtitles)
        options.append({ rendition.language, rendition.name, rendition.isDefault });
    co_return options;
}

void MpvMediaPlayer::selectLegibleOption(std::optional<int> index)
{
    if (!m_hasItem)
        return;
    if (!index || !m_master || *index < 0 || *index >= m_master->subtitles.size()) {
        m_caption.reset();
        m_captions.reset();
        if (m_core)
            m_core->setProperty("sid", QStringLiteral("no"));
        return;
    }
    if (m_caption == index && m_captions)
        return;
    if (m_givenUp || !core())
        return;
    m_caption = index;
    // A live viewer reaches back as far as the cache holds (and to where it plays now).
    auto earliestReachable = [this]() -> std::optional<double> {
        if (m_cacheRanges.isEmpty())
            return std::nullopt;
        double earliest = m_cacheRanges.first().start;
        for (const MediaTimeRange &range : std::as_const(m_cacheRanges))
            earliest = std::min(earliest, range.start);
        return m_timeKnown ? std::min(earliest, m_time) : earliest;
    };
    // A load from one segment on shows only the cues from there. A live item paused by its
    // owner reads its captions as far as its picture is read.
    m_captions = std::make_unique<WebVttCaptions>(m_core, &m_network,
        m_master->subtitles[*index].uri, !m_settings.waitsToMinimizeStalling,
        std::move(earliestReachable), m_captionLimits, m_timeline.origin(), captionPicture());
    followCaptionPart();
}

void MpvMediaPlayer::followCaptionPart()
{
    // Time enough before a join for mpv to read the file holding the next part's first cues.
    constexpr double handoverLead = 1.0;
    if (!m_captions || !m_timeline.isJoined())
        return;
    const PlaylistTimeline::PlayingPart part = m_timeline.playingPart();
    // While a seek goes on the position is its target, not where mpv's clock is.
    const double left = part.end - m_timeline.position();
    std::optional<double> handover;
    if (m_timeKnown && m_fileLoaded && !m_timeline.isSeeking() && left < handoverLead)
        handover = m_time + left - handoverLead;
    m_captions->showPart(part.index, handover);
}

} // namespace orvella
