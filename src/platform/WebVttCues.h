#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <limits>
#include <optional>

namespace orvella {

struct WebVttCue
{
    double start = 0; // seconds on the stream's MPEG-TS clock
    double end = 0;
    QString text;
    // The part of a joined rendition it belongs to (its playlist's discontinuities count them).
    int part = 0;
    bool operator==(const WebVttCue &) const = default;
};

size_t qHash(const WebVttCue &cue, size_t seed = 0) noexcept;

// Cues of one WebVTT segment, their times moved onto the MPEG-TS clock by the segment's
// X-TIMESTAMP-MAP (without one, the cue times are taken as they are). Reading stops after
// maxCues + 1 cues, so a caller finds a file past its bound without reading all of it.
[[nodiscard]] QList<WebVttCue> parseWebVtt(
    const QByteArray &text, qsizetype maxCues = std::numeric_limits<qsizetype>::max() - 1);
// A whole WebVTT file of the cues, shifted by offset seconds; cues that end before 0 are left
// out.
[[nodiscard]] QByteArray writeWebVtt(const QList<WebVttCue> &cues, double offset);

// Which cues mpv's file holds of a rendition whose parts start their cue times again (the
// picture's do too, so mpv plays each part on the same times).
struct CueWindow
{
    // The part that plays; every part's cues when -1.
    int part = -1;
    // Shortly before the part ends (a time on the cue clock): its own cues only from there on,
    // and the next part's before it, so these are there when the picture crosses into it.
    std::optional<double> handover;
};

// What the window shows of the cue (cut at the handover); none when nothing.
[[nodiscard]] std::optional<WebVttCue> cueInWindow(const WebVttCue &cue, const CueWindow &window);

// The cues of one caption rendition, each once however often its segments list it. Adding is
// linear in what is added; the file is written in order of start time.
class WebVttCueSet
{
public:
    void add(const QList<WebVttCue> &cues);
    // Leaves out the cues that end before `time` (a live window that moved past them); with a
    // `part`, the cues of the parts before it and those of that part ending before `time`.
    void dropEndingBefore(double time, int part = -1);
    // Some part's cues begin well before an earlier part's end: the parts start their times
    // again, and only a window of them makes sense at a time.
    [[nodiscard]] bool partsRestart() const;
    // The earliest cue's start; none without cues.
    [[nodiscard]] std::optional<double> earliestStart() const;
    [[nodiscard]] qsizetype size() const { return m_cues.size(); }
    // Bytes of cue text held.
    [[nodiscard]] qint64 textBytes() const { return m_textBytes; }
    [[nodiscard]] QByteArray write(double offset, const CueWindow &window = {}) const;

private:
    QSet<WebVttCue> m_cues;
    qint64 m_textBytes = 0;
};

} // namespace orvella
