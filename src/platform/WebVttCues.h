#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <limits>

namespace orvella {

struct WebVttCue
{
    double start = 0; // seconds on the stream's MPEG-TS clock
    double end = 0;
    QString text;
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

// The cues of one caption rendition, each once however often its segments list it. Adding is
// linear in what is added; the file is written in order of start time.
class WebVttCueSet
{
public:
    void add(const QList<WebVttCue> &cues);
    // Leaves out the cues that end before `time` (a live window that moved past them).
    void dropEndingBefore(double time);
    [[nodiscard]] qsizetype size() const { return m_cues.size(); }
    // Bytes of cue text held.
    [[nodiscard]] qint64 textBytes() const { return m_textBytes; }
    [[nodiscard]] QByteArray write(double offset) const;

private:
    QSet<WebVttCue> m_cues;
    qint64 m_textBytes = 0;
};

} // namespace orvella
