#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace orvella {

struct WebVttCue
{
    double start = 0; // seconds on the stream's MPEG-TS clock
    double end = 0;
    QString text;
    bool operator==(const WebVttCue &) const = default;
};

// Cues of one WebVTT segment, their times moved onto the MPEG-TS clock by the segment's
// X-TIMESTAMP-MAP (without one, the cue times are taken as they are).
[[nodiscard]] QList<WebVttCue> parseWebVtt(const QByteArray &text);
// A whole WebVTT file of the cues, shifted by offset seconds; cues that end before 0 are left
// out.
[[nodiscard]] QByteArray writeWebVtt(const QList<WebVttCue> &cues, double offset);

} // namespace orvella
