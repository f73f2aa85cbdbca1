#pragma once

#include "platform/HlsPlaylist.h"
#include "platform/WebVttCues.h"

#include <QCoro/QCoroTask>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>

class QNetworkAccessManager;

namespace orvella {

class MpvCore;
struct CaptionStore;

// What one caption rendition may hold: far above any real episode (a three-hour film has a few
// thousand cues in well under a megabyte). The bounds hold for each file read and for the one
// file mpv is given, so they also bound the merge, its sort, its writing and mpv's reading.
struct CaptionLimits
{
    qint64 maxBytes = 16 * 1024 * 1024;
    qsizetype maxCues = 100'000;
    // Segments a rendition's playlist may list.
    qsizetype maxFiles = 20'000;
};

// A caption file that arrived, and the part of its rendition it belongs to.
struct CaptionFile
{
    QByteArray text;
    int part = 0;
};

// Follows a subtitle rendition of an HLS stream: fetches its segments (and, for a live
// rendition, its playlist again as the window slides), merges their cues into one file and shows
// that through mpv as an external subtitle track. Cues are read, merged and written off the GUI
// thread. An on-demand rendition keeps every cue; a live one drops the cues that end before the
// earliest time the viewer can still reach. A rendition past its bounds is left out (the item
// plays on without captions) and the reason logged once. A live rendition is read as far as its
// picture is: while the picture is paused the player still reads it ahead, and the captions read
// on for as long as the picture's read end moves, so every second shown after play has its cues;
// stopped, they ask for nothing. Either way they read their playlist again at once on play. An
// on-demand one is read whole whatever its picture does; when its parts start their cue times
// again (as the picture's do across its joins), mpv's file holds the cues of the part that plays,
// and changes with it.
class WebVttCaptions : public QObject
{
    Q_OBJECT
public:
    // The earliest playback time the viewer can still reach (seconds on mpv's clock); none while
    // it is not known.
    using Reach = std::function<std::optional<double>()>;

    // What the owner does with a live item's picture.
    enum class Picture {
        Playing,
        // Paused or off screen: the player reads on as far as its buffer reaches.
        Paused,
        // Nothing more is read for it (the viewer is gone).
        Stopped,
    };

    // `from`: where on the item's time mpv's file begins when it was given the item from one
    // segment on; only the cues from there are shown. `picture`: its state when they are made.
    WebVttCaptions(std::shared_ptr<MpvCore> core, QNetworkAccessManager *network, QUrl playlist,
        bool onDemand, Reach earliestReachable, CaptionLimits limits = {}, double from = 0,
        Picture picture = Picture::Playing);
    ~WebVttCaptions() override;

    void setPicture(Picture picture);
    // How far the picture has been read (mpv's cache end, seconds on its clock).
    void pictureReadTo(double end);

    // The part of an on-demand item that plays (its playlist's discontinuities count them), and,
    // shortly before its end, from what time (on mpv's clock) the next part's cues go in.
    void showPart(int part, std::optional<double> handover);

    // Cues read for the file mpv was given last (it may hold one part's of them).
    [[nodiscard]] qsizetype publishedCues() const { return m_publishedCues; }
    [[nodiscard]] bool isLeftOut() const { return m_leftOut; }

signals:
    // Files that arrived are being read (on another thread).
    void readingCues();
    void cuesUpdated();

private:
    QCoro::Task<> refresh();
    // The rendition's playlist, none when it could not be read (a live one is asked again soon).
    QCoro::Task<std::optional<HlsMediaPlaylist>> readPlaylist();
    QCoro::Task<> fetchSegment(QUrl url, int part);
    // Reads what arrived and gives mpv the file, one reading at a time.
    QCoro::Task<> read();
    void readSoon();
    void publish(qsizetype cues, double shift);
    void leaveOut(const QString &why);
    // The picture's read end moved since the captions last read their playlist.
    [[nodiscard]] bool pictureReadOn() const;

    std::shared_ptr<MpvCore> m_core;
    QNetworkAccessManager *m_network;
    QUrl m_playlist;
    bool m_onDemand;
    Reach m_earliestReachable;
    CaptionLimits m_limits;
    double m_from = 0;
    std::stop_source m_stop;
    QTimer m_poll;
    QSet<QUrl> m_requested;
    // Caption files that arrived and are not read yet.
    QList<CaptionFile> m_arrived;
    // Bytes held: the merged cues and the files not read yet.
    qint64 m_heldBytes = 0;
    std::shared_ptr<CaptionStore> m_store;
    bool m_reading = false;
    bool m_readAgain = false;
    bool m_added = false;
    bool m_leftOut = false;
    Picture m_picture = Picture::Playing;
    double m_pictureEnd = 0;
    // The picture's read end when the playlist was last read; none: read it at the next turn.
    std::optional<double> m_pictureEndRead;
    // Paused, the last turn found the picture where the read before left it.
    bool m_waitingForPicture = false;
    // A playlist read is under way.
    bool m_refreshing = false;
    int m_pending = 0;
    qsizetype m_publishedCues = 0;
    // The part playing and its handover (see showPart), and the part where a load from one
    // segment on begins.
    int m_part = -1;
    std::optional<double> m_handover;
    int m_fromPart = -1;
    // The cues read last start their times again part by part.
    bool m_partsRestart = false;
    // How much later than mpv's clock the file's times lie (mpv delays its captions back).
    double m_shift = 0;
};

} // namespace orvella
