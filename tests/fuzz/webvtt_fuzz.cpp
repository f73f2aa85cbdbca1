// Feeds arbitrary bytes to the WebVTT cue reader. Every cue it returns has finite times, and
// the file written from them reads back as the same number of cues.

#include "platform/WebVttCues.h"

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
    return 0;
}
