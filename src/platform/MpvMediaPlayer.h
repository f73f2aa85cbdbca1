#pragma once

#include "platform/HlsItemSource.h"
#include "platform/HlsPlaylist.h"
#include "platform/HlsPlaylistCut.h"
#include "platform/MediaPlayer.h"
#include "platform/PlaylistTimeline.h"
#include "platform/SegmentTimeStamp.h"
#include "platform/WebVttCaptions.h"

#include <QHash>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <chrono>
#include <coroutine>
#include <memory>
#include <stop_token>
#include <vector>

struct mpv_event;

namespace orvella {

class LoopbackPlaylistServer;
class MpvCore;
class MpvSoftwareRenderer;

// The media player on libmpv. It accepts a load at any time. The item's playlist is read here
// first: mpv is given one media playlist (the variant that fits the caps, the highest without
// any) with its separate audio rendition, never a master, and a master whose variant is a master
// fails before anything is loaded. On OpenGL the load goes out once the playlist is read and mpv
// holds the opened file before its video output until the video item made its renderer (the
// surface); offscreen it draws in software on a thread of its own. A load that shows no picture
// within the start bound fails. Captions come from the stream's subtitle renditions, fetched and
// followed here and shown through mpv as an external subtitle file.
class MpvMediaPlayer : public MediaPlayer
{
    Q_OBJECT
public:
    // What a load from one segment on gives mpv: the picture's playlist and the sound's.
    struct PlaylistCuts
    {
        std::optional<HlsPlaylistCut> video;
        std::optional<HlsPlaylistCut> audio;
    };

    enum class Output { Automatic, Software, OpenGl };
    explicit MpvMediaPlayer(Output output = Output::Automatic, QObject *parent = nullptr);
    ~MpvMediaPlayer() override;

    void replaceCurrentItem(const QUrl &url, const MediaItemSettings &settings) override;
    void clearCurrentItem() override;
    [[nodiscard]] bool hasCurrentItem() const override { return m_hasItem; }
    [[nodiscard]] QUrl currentUrl() const override { return m_url; }
    [[nodiscard]] ItemStatus itemStatus() const override { return m_status; }
    void play() override;
    void pause() override;
    void stopCaptionReads() override;
    [[nodiscard]] double rate() const override;
    [[nodiscard]] bool isPaused() const override { return m_paused; }
    [[nodiscard]] double currentTime() const override;
    [[nodiscard]] double duration() const override;
    [[nodiscard]] QList<MediaTimeRange> loadedTimeRanges() const override;
    [[nodiscard]] QList<MediaTimeRange> seekableTimeRanges() const override;
    [[nodiscard]] bool isPlaybackLikelyToKeepUp() const override;
    [[nodiscard]] bool isPlaybackBufferEmpty() const override;
    QCoro::Task<bool> seek(double seconds) override;
    void setVolume(float volume) override;
    [[nodiscard]] float volume() const override { return m_volume; }
    void setMuted(bool muted) override;
    [[nodiscard]] bool isMuted() const override { return m_muted; }
    void setPreferredPeakBitRate(double bitsPerSecond) override;
    void setPreferredMaximumResolution(QSize size) override;
    [[nodiscard]] double preferredPeakBitRate() const override { return m_peak; }
    [[nodiscard]] QSize preferredMaximumResolution() const override { return m_maxSize; }
    QCoro::Task<std::optional<QList<LegibleOption>>> loadLegibleOptions() override;
    void selectLegibleOption(std::optional<int> index) override;
    [[nodiscard]] std::optional<int> selectedLegibleOption() const override { return m_caption; }
    [[nodiscard]] QSize presentationSize() const override { return m_videoSize; }
    [[nodiscard]] bool rendersInSoftware() const override { return !m_openGl; }
    [[nodiscard]] QImage softwareFrame() const override;
    void setSoftwareFrameSize(QSize pixels) override;
    void setVideoFill(bool fill) override;
    void setCaptionInset(double share) override;
    [[nodiscard]] QQuickFramebufferObject::Renderer *createOpenGlRenderer() override;

    // How long a load may take to show its first picture before the item fails. The item's own
    // playlist may take as long to read and, on demand, each request of libmpv's (a slow segment
    // is waited for rather than passed over).
    static constexpr std::chrono::milliseconds defaultStartTimeout { 30000 };
    // A variant or audio playlist that sends nothing for this long makes way for the next.
    static constexpr std::chrono::milliseconds defaultRenditionReadTimeout { 10000 };
    // A live request of libmpv's that hangs this long is passed over, so live goes on and a
    // hung stream is left to the owners' recovery (a playlist that never answers costs about
    // twice this; libmpv's own default is a minute).
    static constexpr std::chrono::milliseconds defaultLiveRequestTimeout { 7500 };
    // An on-demand item whose position stays put this long while it plays (or while a seek is
    // under way) fails: a request that never ends would freeze it for good. Past the request
    // time-out, so libmpv's own retry of a hung request may still deliver.
    static constexpr std::chrono::milliseconds defaultProgressTimeout { 35000 };
    struct Timeouts
    {
        std::chrono::milliseconds start = defaultStartTimeout;
        std::chrono::milliseconds renditionRead = defaultRenditionReadTimeout;
        std::chrono::milliseconds liveRequest = defaultLiveRequestTimeout;
        std::chrono::milliseconds progress = defaultProgressTimeout;
    };
    // Tests shorten them, in proportion.
    void setTimeouts(const Timeouts &timeouts) { m_timeouts = timeouts; }
    void setStartTimeout(std::chrono::milliseconds timeout) { m_timeouts.start = timeout; }
    void setCaptionLimits(CaptionLimits limits) { m_captionLimits = limits; }

    // For tests and the benchmark: the subtitle text mpv shows now, and mpv's own properties.
    [[nodiscard]] QString subtitleText() const { return m_subText; }
    [[nodiscard]] QVariant mpvProperty(const char *name) const;
    [[nodiscard]] std::optional<HlsMasterPlaylist> masterPlaylist() const { return m_master; }
    // The captions being read, none while captions are off.
    [[nodiscard]] const WebVttCaptions *captions() const { return m_captions.get(); }

signals:
    void seekSettled();
    void masterPlaylistSettled();
    void firstFrameRendered();

private:
    friend class MpvOpenGlRenderer;
    // The mpv core, made and set up on first use; null (with a warning) when mpv cannot start.
    MpvCore *core();
    void drainEvents();
    void handleEvent(const mpv_event &event);
    void handleProperty(quint64 id, const QVariant &value);
    // Drops what the player knew of its item and ends the work under way for it.
    void forgetItem();
    void issueLoad(std::optional<double> startAt = std::nullopt);
    QCoro::Task<> cutAndLoad(
        quint64 serial, PlaylistTimeline::Load load, std::optional<double> startAt);
    // Gives mpv the load: the playlist whole, or the cuts made for it.
    void sendLoad(
        std::optional<double> startAt, const PlaylistTimeline::Load &load, PlaylistCuts cuts);
    // Issues the load once the item's playlist is read and there is something to draw on.
    void loadWhenPossible();
    // Loads the item again, for another variant.
    void reloadInPlace();
    void reattachCaptions();
    // Tells the captions of a joined item the part that plays, and shortly before its end that
    // the next part's come.
    void followCaptionPart();
    // mpv's answer to the load with that serial number.
    void loadAnswered(quint64 serial, const mpv_event &reply);
    // The file mpv plays now is the current item's.
    [[nodiscard]] bool playsCurrentItem() const;
    void applyVariantCap();
    // Reads the item's playlist and settles what mpv opens for it.
    QCoro::Task<> prepareItem(quint64 generation, QUrl url, std::stop_token stop);
    // Chooses the variant for the caps (again when they change meanwhile) and loads it.
    QCoro::Task<> chooseVariant(quint64 generation);
    // The item cannot play: nothing more of it is read or loaded, and it fails.
    void giveUp(const QString &why);
    // Starts the start bound, unless the load is held for want of a surface or already shows.
    void armStartBound();
    void setStatus(ItemStatus status);
    void settleSeeks();
    void surfaceAttached();
    // The OpenGL driver rasterizes in software: mpv's scaler draws the picture for far less.
    void useSoftwareOutput();
    void startSoftwareOutput();
    // Lets mpv go on with a file it holds before making its video output.
    void releaseHeldOpening();
    void surfaceDetached();
    void onEofReached();
    // The picture ended well short of the item while its sound plays on: the item fails.
    void checkPictureLost();
    // Keeps the progress bound running while an on-demand item should move, from its last move.
    void watchProgress(bool moved = false);
    [[nodiscard]] HlsReadTimeouts readTimeouts() const
    {
        return { m_timeouts.start, m_timeouts.renditionRead };
    }
    // The position and length in the item's own time (across the joins of a joined playlist),
    // as every comparison of the player takes them.
    [[nodiscard]] double itemTime() const
    {
        return m_timeline.keepsTime() ? m_timeline.position() : m_time;
    }
    [[nodiscard]] double itemLength() const
    {
        return m_timeline.keepsTime() ? m_timeline.length() : m_duration;
    }
    // A seek only libmpv's cache reaches waits until the cache holds its target.
    void sendSeek(const PlaylistTimeline::Seek &seek, quint64 serial);
    void sendCachedSeek();
    // A seek the file mpv holds cannot make (a part on time stamps another part shares): the
    // item is loaded again from the target's segment on. Not a new start: nothing of the item's
    // state but the file changes.
    void loadForSeek(double seconds, quint64 serial);
    // Reads a segment's head (once per item, unless its server refused it for now) and tells
    // the timeline what it found.
    QCoro::Task<> readHead(PlaylistTimeline::Head head);
    // What the segment's head tells (with its map's picture track for fragmented MP4).
    QCoro::Task<SegmentHead> readSegmentStart(PlaylistTimeline::Head head);
    // Waits while the head or map is being read; false when the item went meanwhile.
    QCoro::Task<bool> waitForHeadRead(QString key);
    // The load libmpv played ended at a join it cannot play across: the item goes on from there.
    void loadOnFromJoin(double join);
    // While a joined item plays, the next part is placed by its first segment's head before
    // playback reaches it.
    void readHeadAhead();
    // A seek (or a load's start) showed its first picture: true when it goes on from there.
    bool landSeek();
    void updateRate();
    void setPaused(bool paused);
    void requestPause(bool paused);
    [[nodiscard]] WebVttCaptions::Picture captionPicture() const;
    void noteFrame();

    // Null until first needed.
    std::shared_ptr<MpvCore> m_core;
    std::unique_ptr<MpvSoftwareRenderer> m_software;
    bool m_openGl = false;
    // Chosen by the platform rather than asked for: may move to software output.
    const bool m_outputAutomatic;
    bool m_surfaceReady = false;
    QNetworkAccessManager m_network;
    std::unique_ptr<WebVttCaptions> m_captions;
    CaptionLimits m_captionLimits;
    // Ends the item's playlist reads and wakes whoever waits for its master; they find it gone.
    void dropItemReads();
    // Coroutines waiting for the master playlist or a seek. They are resumed directly when it
    // settles, when the item is cleared and (the master's) when the player goes: a queued signal
    // would never arrive once the player is gone, and the waiter would stay suspended.
    class Waiters
    {
    public:
        struct Next
        {
            Waiters &waiters;
            [[nodiscard]] bool await_ready() const noexcept { return false; }
            void await_suspend(std::coroutine_handle<> waiter)
            {
                waiters.m_handles.push_back(waiter);
            }
            void await_resume() const noexcept { }
        };
        [[nodiscard]] Next next() { return { *this }; }
        void resumeAll();

    private:
        std::vector<std::coroutine_handle<>> m_handles;
    };
    Waiters m_masterWaiters;
    Waiters m_seekWaiters;
    void settleMaster();

    // A cut reaches libmpv at a short address on 127.0.0.1, served by the player (made with its
    // first cut, a child of the player's), until the next load or the item's end.
    struct CutAddresses
    {
        QUrl video;
        std::optional<QUrl> audio;
    };
    // None when the cuts cannot be served (the playlist is then loaded whole).
    [[nodiscard]] std::optional<CutAddresses> publishCuts(const PlaylistCuts &cuts);
    void withdrawCuts();
    LoopbackPlaylistServer *m_cutServer = nullptr;
    QList<QUrl> m_publishedCuts;

    // The current item.
    quint64 m_generation = 0;
    bool m_hasItem = false;
    QUrl m_url;
    MediaItemSettings m_settings;
    ItemStatus m_status = ItemStatus::Unknown;
    bool m_issued = false;
    bool m_fileLoaded = false;
    // mpv's playlist entries: the current item's file (once mpv answered its load) and the file
    // mpv started last.
    static constexpr qint64 noEntry = -1;
    quint64 m_loadSerial = 0;
    qint64 m_currentEntry = noEntry;
    qint64 m_startedEntry = noEntry;
    bool m_masterSettled = false;
    bool m_capsPending = false;
    bool m_reattachCaptions = false;
    // Ends the reads of the current item's playlists.
    std::stop_source m_itemReads;
    std::optional<HlsMasterPlaylist> m_master;
    // What mpv opens for the item (known once its playlists are read), and what it was given.
    std::optional<HlsPlayable> m_playable;
    std::optional<HlsPlayable> m_loadedPlayable;
    // The item's time over mpv's, for the file mpv plays and for the playable chosen last.
    PlaylistTimeline m_timeline;
    PlaylistTimeline m_playableTimeline;
    // The playable's playlists, which a load from one segment on is cut from.
    HlsPlaylistTexts m_playableTexts;
    // A load made for a seek is under way: further seeks load again. Seeks of one turn make one
    // load, to the last one's target.
    bool m_seekLoading = false;
    bool m_seekLoadQueued = false;
    double m_seekLoadTarget = 0;
    // What the heads of the item's segments told, the maps of its fragmented MP4, and the heads
    // and maps being read, by address and part.
    QHash<QString, SegmentHead> m_segmentHeads;
    QHash<QString, Fmp4Map> m_fmp4Maps;
    QSet<QString> m_headsReading;
    // Seeks waiting for a head being read.
    Waiters m_headWaiters;
    // A seek waiting for libmpv's cache to hold its target, with its serial number.
    std::optional<std::pair<PlaylistTimeline::Seek, quint64>> m_cachedSeek;
    // The variant the caps asked for when the variant was last chosen.
    int m_wantedVariant = -1;
    bool m_choosing = false;
    bool m_choiceStale = false;
    bool m_givenUp = false;
    QTimer m_startBound;
    QTimer m_progressBound;
    Timeouts m_timeouts;
    double m_peak = 0;
    QSize m_maxSize;
    std::optional<int> m_caption;
    bool m_firstFrameSeen = false;
    quint64 m_heldOpening = 0; // the id of the held "on_preloaded" hook, 0 for none

    // mpv's state as last observed.
    double m_time = 0;
    bool m_timeKnown = false;
    double m_duration = 0;
    bool m_durationKnown = false;
    bool m_paused = true;
    // Paused as the owner asked last (mpv pauses itself at an end as well).
    bool m_pauseAsked = true;
    // The owner wants nothing more of the captions read until it plays again.
    bool m_captionReadsStopped = false;
    // Pause changes asked of mpv and not yet answered: until then an observed value may be
    // older than the last request.
    int m_pauseRequests = 0;
    bool m_pausedForCache = false;
    bool m_coreIdle = true;
    bool m_eofReached = false;
    bool m_seekable = false;
    bool m_underrun = false;
    // The main file (the video, when the sound is a rendition of its own) was read to its end,
    // and where its data ends then.
    bool m_readerAtEnd = false;
    std::optional<double> m_readEnd;
    // The item's video is a moving picture (not a still image or a cover).
    bool m_movingPicture = false;
    double m_cacheDuration = 0;
    QList<MediaTimeRange> m_cacheRanges;
    QSize m_videoSize;
    QString m_subText;
    double m_lastRate = 0;

    float m_volume = 1;
    bool m_muted = false;
    bool m_fill = false;
    QSize m_softwareFrameSize;
    // Where captions stand: a share of the surface's height from its top (mpv's sub-pos).
    qint64 m_captionPosition = 100;
    quint64 m_seekRequested = 0;
    quint64 m_seekSettled = 0;
    // The last seek mpv took the command of: a restart before it is an earlier seek's.
    quint64 m_seekTaken = 0;
};

} // namespace orvella
