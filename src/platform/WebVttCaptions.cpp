#include "platform/WebVttCaptions.h"

#include "platform/BoundedFetch.h"
#include "platform/HlsPlaylist.h"
#include "platform/MpvCore.h"
#include "platform/PlatformLog.h"

#include <QCoroFuture>
#include <QPointer>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <cmath>

namespace orvella {

using namespace std::chrono_literals;

// The merged cues and the file mpv reads. Shared with the reading on another thread; one reading
// at a time touches it.
struct CaptionStore
{
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("captions.vtt"));
    WebVttCueSet cues;
};

namespace {
constexpr auto fetchIdle = 10000ms;
constexpr int playlistRetryMs = 2000;
// The stream's start time is not known before it is open.
constexpr int startTimeRetryMs = 200;

QString mebibytes(qint64 bytes)
{
    return QStringLiteral("%1 MiB").arg(double(bytes) / (1024 * 1024), 0, 'f', 1);
}

// What one reading found.
struct CaptionReading
{
    std::optional<QString> leftOut;
    bool written = false;
    qsizetype cues = 0;
    qint64 heldBytes = 0;
    bool partsRestart = false;
    double shift = 0;
};

// Where a reading writes the file from: mpv's clock, the earliest time kept (in the part a load
// from one segment on begins in, when known) and the cues of the part that plays.
struct CaptionFooting
{
    std::optional<double> offset;
    std::optional<double> earliest;
    int fromPart = -1;
    CueWindow window;
};

// Runs on a worker: merges the files into the store and writes the file mpv reads (when the
// stream's start is known), leaving out what a live viewer can no longer reach.
CaptionReading readCaptionFiles(CaptionStore &store, const QList<CaptionFile> &files,
    const CaptionFooting &footing, CaptionLimits limits)
{
    CaptionReading reading;
    for (const CaptionFile &file : files) {
        QList<WebVttCue> cues = parseWebVtt(file.text, limits.maxCues);
        if (cues.size() > limits.maxCues) {
            reading.leftOut
                = QStringLiteral("a caption file holds more than %1 cues").arg(limits.maxCues);
            return reading;
        }
        for (WebVttCue &cue : cues)
            cue.part = file.part;
        store.cues.add(cues);
        if (store.cues.size() > limits.maxCues) {
            reading.leftOut
                = QStringLiteral("the captions hold more than %1 cues").arg(limits.maxCues);
            return reading;
        }
    }
    if (const auto offset = footing.offset) {
        if (footing.earliest)
            store.cues.dropEndingBefore(*footing.earliest - *offset, footing.fromPart);
        // Parts on the same times: the file holds the playing part's. A later part of a load
        // from one segment on may lie before the load's first time stamp, where mpv's clock goes
        // below 0 and a file's cannot: the file is written that much later, and mpv delays its
        // captions back by as much.
        reading.partsRestart = store.cues.partsRestart();
        if (reading.partsRestart)
            reading.shift
                = std::ceil(std::max(0.0, -(store.cues.earliestStart().value_or(0) + *offset)));
        const QByteArray text = store.cues.write(
            *offset + reading.shift, reading.partsRestart ? footing.window : CueWindow {});
        if (text.size() > limits.maxBytes) {
            reading.leftOut
                = QStringLiteral("the captions are larger than %1").arg(mebibytes(limits.maxBytes));
            return reading;
        }
        // Replaced whole, so mpv never reads a file half written.
        QSaveFile out(store.path);
        if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size() || !out.commit()) {
            reading.leftOut = QStringLiteral("the caption file could not be written: %1")
                                  .arg(out.errorString());
            return reading;
        }
        reading.written = true;
    }
    reading.cues = store.cues.size();
    reading.heldBytes = store.cues.textBytes();
    return reading;
}
} // namespace

WebVttCaptions::WebVttCaptions(std::shared_ptr<MpvCore> core, QNetworkAccessManager *network,
    QUrl playlist, bool onDemand, Reach earliestReachable, CaptionLimits limits, double from,
    Picture picture)
    : m_core(std::move(core))
    , m_network(network)
    , m_playlist(std::move(playlist))
    , m_onDemand(onDemand)
    , m_earliestReachable(std::move(earliestReachable))
    , m_limits(limits)
    , m_from(from)
    , m_store(std::make_shared<CaptionStore>())
    , m_picture(onDemand ? Picture::Playing : picture)
{
    m_poll.setSingleShot(true);
    connect(&m_poll, &QTimer::timeout, this, [this] { refresh(); });
    refresh();
}

WebVttCaptions::~WebVttCaptions()
{
    // Reads under way end now; their coroutines find the stop and leave.
    m_stop.request_stop();
    if (m_added)
        m_core->setProperty("sid", QStringLiteral("no"));
    if (std::exchange(m_shift, 0.0) != 0)
        m_core->setProperty("sub-delay", 0.0);
}

void WebVttCaptions::showPart(int part, std::optional<double> handover)
{
    // A live window keeps every cue it reaches.
    if (!m_onDemand || (part == m_part && handover.has_value() == m_handover.has_value()))
        return;
    m_part = part;
    m_handover = handover;
    if (m_added && m_partsRestart)
        readSoon();
}

void WebVttCaptions::setPicture(Picture picture)
{
    // An on-demand rendition is read once, whole: a paused episode keeps its captions coming.
    if (m_onDemand || m_picture == picture)
        return;
    const Picture was = std::exchange(m_picture, picture);
    // Paused, the reads go on at their pace for as long as the picture is read.
    if (picture == Picture::Stopped)
        m_poll.stop();
    else if (picture == Picture::Playing || was == Picture::Stopped)
        refresh();
}

void WebVttCaptions::pictureReadTo(double end)
{
    m_pictureEnd = end;
    if (m_picture == Picture::Paused && m_waitingForPicture && pictureReadOn())
        refresh();
}

bool WebVttCaptions::pictureReadOn() const
{
    // Any move counts: a live window's time stamps may start again.
    return !m_pictureEndRead || *m_pictureEndRead != m_pictureEnd;
}

QCoro::Task<> WebVttCaptions::refresh()
{
    if (m_picture == Picture::Stopped || m_refreshing || m_leftOut)
        co_return;
    // A paused picture read nothing since: neither do the captions, until it reads on.
    m_waitingForPicture = m_picture == Picture::Paused && !pictureReadOn();
    if (m_waitingForPicture)
        co_return;
    QPointer self(this);
    m_refreshing = true;
    m_pictureEndRead = m_pictureEnd;
    auto reading = readPlaylist();
    const std::optional<HlsMediaPlaylist> playlist = co_await reading;
    if (!self)
        co_return;
    m_refreshing = false;
    // Stopped meanwhile: the segments it lists are asked for once the picture plays again.
    if (!playlist || m_leftOut || m_picture == Picture::Stopped)
        co_return;
    if (playlist->segments.size() > m_limits.maxFiles) {
        leaveOut(
            QStringLiteral("the caption playlist lists more than %1 files").arg(m_limits.maxFiles));
        co_return;
    }
    // Segments that left a live window are not asked for again: only the listed ones are kept.
    QSet<QUrl> listed;
    double segmentEnd = 0;
    // An on-demand item's parts, as its picture's: a live window's move as it slides.
    int part = -1;
    for (const HlsSegment &segment : playlist->segments) {
        if (part < 0 || (m_onDemand && segment.discontinuity))
            ++part;
        if (std::isfinite(segment.duration) && segment.duration > 0)
            segmentEnd += segment.duration;
        if (m_onDemand && m_from > 0 && segmentEnd <= m_from)
            continue;
        if (m_onDemand && m_from > 0 && m_fromPart < 0)
            m_fromPart = part;
        listed.insert(segment.uri);
        if (!m_requested.contains(segment.uri)) {
            m_requested.insert(segment.uri);
            fetchSegment(segment.uri, part);
            if (m_leftOut)
                co_return;
        }
    }
    m_requested.intersect(listed);
    // A live rendition is read again about once a target duration, as its window slides.
    if (!playlist->ended && !m_onDemand)
        m_poll.start(int(std::clamp(playlist->targetDuration, 1.0, 10.0) * 1000));
}

QCoro::Task<std::optional<HlsMediaPlaylist>> WebVttCaptions::readPlaylist()
{
    if (!isWebUrl(m_playlist))
        co_return std::nullopt;
    QPointer self(this);
    const std::stop_token stop = m_stop.get_token();
    auto fetching
        = fetchBounded(*m_network, m_playlist, { m_limits.maxBytes, fetchIdle, true }, stop);
    const FetchedFile file = co_await fetching;
    if (!self || stop.stop_requested())
        co_return std::nullopt;
    if (file.outcome == FetchedFile::Outcome::TooLarge) {
        leaveOut(QStringLiteral("the caption playlist is larger than %1")
                     .arg(mebibytes(m_limits.maxBytes)));
        co_return std::nullopt;
    }
    if (file.outcome != FetchedFile::Outcome::Complete) {
        if (file.outcome == FetchedFile::Outcome::Failed && !m_onDemand
            && m_picture != Picture::Stopped) {
            // What the picture read is still to be covered.
            m_pictureEndRead.reset();
            m_poll.start(playlistRetryMs);
        }
        co_return std::nullopt;
    }
    QFuture<std::optional<HlsMediaPlaylist>> parsing = QtConcurrent::run(
        [body = file.body, url = file.url] { return parseHlsMedia(body, url); });
    std::optional<HlsMediaPlaylist> playlist = co_await parsing;
    if (!self || stop.stop_requested())
        co_return std::nullopt;
    co_return playlist;
}

QCoro::Task<> WebVttCaptions::fetchSegment(QUrl url, int part)
{
    QPointer self(this);
    const std::stop_token stop = m_stop.get_token();
    ++m_pending;
    const FetchLimits limits { std::max<qint64>(m_limits.maxBytes - m_heldBytes, 0), fetchIdle };
    auto fetching = fetchBounded(*m_network, url, limits, stop);
    const FetchedFile file = co_await fetching;
    if (!self || stop.stop_requested())
        co_return;
    --m_pending;
    if (file.outcome == FetchedFile::Outcome::TooLarge
        || (file.outcome == FetchedFile::Outcome::Complete
            && m_heldBytes + file.body.size() > m_limits.maxBytes)) {
        leaveOut(
            QStringLiteral("the captions are larger than %1").arg(mebibytes(m_limits.maxBytes)));
        co_return;
    }
    if (file.outcome == FetchedFile::Outcome::Complete) {
        m_heldBytes += file.body.size();
        m_arrived.append({ file.body, part });
    } else {
        // Asked again with the next playlist read, paused picture or not.
        m_requested.remove(url);
        m_pictureEndRead.reset();
    }
    if (m_pending == 0)
        readSoon();
}

void WebVttCaptions::readSoon()
{
    if (m_leftOut)
        return;
    if (m_reading)
        m_readAgain = true;
    else
        read();
}

QCoro::Task<> WebVttCaptions::read()
{
    QPointer self(this);
    const std::stop_token stop = m_stop.get_token();
    m_reading = true;
    bool startUnknown = false;
    do {
        m_readAgain = false;
        // Cues live on the MPEG-TS clock; mpv counts playback time from the stream's first
        // timestamp.
        const QVariant start = m_core->property("demuxer-start-time");
        const std::optional<double> offset
            = start.isValid() ? std::optional<double>(-start.toDouble()) : std::nullopt;
        startUnknown = !offset;
        if (startUnknown && m_arrived.isEmpty())
            break;
        const std::optional<double> earliest = m_onDemand
            ? (m_from > 0 ? std::optional(0.0) : std::nullopt)
            : !m_earliestReachable ? std::nullopt
                                   : m_earliestReachable();
        // The handover moves from mpv's clock onto the cues'.
        const CaptionFooting footing { offset, earliest, m_fromPart,
            { m_part,
                m_handover && offset ? std::optional(*m_handover - *offset) : std::nullopt } };
        const QList<CaptionFile> files = std::exchange(m_arrived, {});
        emit readingCues();
        QFuture<CaptionReading> reading
            = QtConcurrent::run([store = m_store, files, footing, limits = m_limits] {
                  return readCaptionFiles(*store, files, footing, limits);
              });
        const CaptionReading result = co_await reading;
        if (!self || stop.stop_requested())
            co_return;
        m_heldBytes = result.heldBytes;
        for (const CaptionFile &file : std::as_const(m_arrived))
            m_heldBytes += file.text.size();
        if (result.leftOut) {
            leaveOut(*result.leftOut);
            co_return;
        }
        m_partsRestart = result.partsRestart;
        if (result.written)
            publish(result.cues, result.shift);
    } while (m_readAgain || !m_arrived.isEmpty());
    m_reading = false;
    if (startUnknown)
        QTimer::singleShot(startTimeRetryMs, this, &WebVttCaptions::readSoon);
}

void WebVttCaptions::publish(qsizetype cues, double shift)
{
    m_publishedCues = cues;
    if (shift != m_shift) {
        m_shift = shift;
        m_core->setProperty("sub-delay", -shift);
    }
    if (!m_added) {
        m_added = true;
        m_core->commandAsync({ QStringLiteral("sub-add"), m_store->path, QStringLiteral("select"),
            QStringLiteral("captions") });
    } else {
        m_core->commandAsync({ QStringLiteral("sub-reload") });
    }
    emit cuesUpdated();
}

void WebVttCaptions::leaveOut(const QString &why)
{
    if (m_leftOut)
        return;
    m_leftOut = true;
    qCWarning(lcPlayer) << "Playing on without captions:" << why;
    m_poll.stop();
    m_arrived.clear();
    m_heldBytes = 0;
    m_store.reset();
    m_stop.request_stop();
    if (m_added)
        m_core->setProperty("sid", QStringLiteral("no"));
    if (std::exchange(m_shift, 0.0) != 0)
        m_core->setProperty("sub-delay", 0.0);
}

} // namespace orvella
