// Feeds arbitrary bytes to the WebVTT cue reader. Every cue it returns has finite times, the file
// written from them reads back as the same number of cues, a bounded read stops where it should,
// and the merged cues of a rendition hold each cue once and write out whole.

#include "platform/WebVttCues.h"

#include <QSet>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

using namespace orvella;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *input, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(input), static_cast<qsizetype>(size));
    const QList<WebVttCue> cues = parseWebVtt(bytes);
    qsizetype written = 0;
    for (const WebVttCue &cue : cues) {
        if (!std::isfinite(cue.start) || !std::isfinite(cue.end))
            std::abort();
        if (cue.end > 0)
            ++written;
    }
    if (parseWebVtt(writeWebVtt(cues, 0)).size() != written)
        std::abort();
    // A bounded read stops one cue past its bound; the merged set holds each distinct cue once.
    if (parseWebVtt(bytes, 3).size() != std::min<qsizetype>(cues.size(), 4))
        std::abort();
    WebVttCueSet set;
    set.add(cues);
    set.add(cues);
    if (set.size() != QSet<WebVttCue>(cues.begin(), cues.end()).size())
        std::abort();
    set.dropEndingBefore(0.5);
    if (parseWebVtt(set.write(0)).size() != set.size())
        std::abort();
    return 0;
}
