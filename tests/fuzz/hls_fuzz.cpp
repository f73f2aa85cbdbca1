// Feeds arbitrary bytes to the HLS playlist reader as a master and as a media playlist. Reading
// never fails loudly; what it returns must never lead the player off the web, and the variant
// choice must name a variant that exists.

#include "platform/HlsPlaylist.h"

#include <cstdint>
#include <cstdlib>
#include <optional>

using namespace orvella;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *input, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(input), static_cast<qsizetype>(size));
    const QUrl base(QStringLiteral("https://cdn.example/live/master.m3u8"));

    if (const auto master = parseHlsMaster(bytes, base)) {
        for (const HlsRendition &rendition : master->subtitles) {
            if (!isWebUrl(rendition.uri))
                std::abort();
        }
        const auto chosen = variantForCaps(master->variants, 2'000'000, QSize(854, 480));
        if (chosen && (*chosen < 0 || *chosen >= master->variants.size()))
            std::abort();
    }
    if (const auto media = parseHlsMedia(bytes, base)) {
        std::optional<qint64> previous;
        for (const HlsSegment &segment : media->segments) {
            if (!isWebUrl(segment.uri) || (previous && segment.sequence <= *previous))
                std::abort();
            previous = segment.sequence;
        }
    }
    return 0;
}
