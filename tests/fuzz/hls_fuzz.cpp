// Feeds arbitrary bytes to the HLS playlist reader as a master and as a media playlist. Reading
// never fails loudly; what it returns must never lead the player off the web, the variant choice
// must name a variant that exists, the order the player tries variants in names each variant on
// the web once (led by the capped choice), and a variant's audio is a web rendition of its group.
// A playlist cut from one segment on names only web addresses (in every tag whose attributes
// FFmpeg's reader reads too), ends, and keeps no more segments than the playlist.

#include "platform/HlsPlaylist.h"
#include "platform/HlsPlaylistCut.h"

#include <QSet>
#include <algorithm>
#include <cmath>
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
        for (const HlsRendition &rendition : master->audio) {
            if (!isWebUrl(rendition.uri))
                std::abort();
        }
        for (const auto &[bitrate, size] : { std::pair { 2'000'000.0, QSize(854, 480) },
                 std::pair { 0.0, QSize() }, std::pair { 1.0, QSize(1, 1) } }) {
            const QList<int> order = variantPreference(master->variants, bitrate, size);
            QSet<int> seen;
            qsizetype web = 0;
            for (const HlsVariant &variant : master->variants)
                web += isWebUrl(variant.uri) ? 1 : 0;
            for (const int index : order) {
                if (index < 0 || index >= master->variants.size()
                    || !isWebUrl(master->variants[index].uri) || seen.contains(index))
                    std::abort();
                seen.insert(index);
            }
            if (order.size() != web)
                std::abort();
            // The first fits the caps with the highest bandwidth when any web variant fits.
            const auto fits = [bitrate = bitrate, size = size](const HlsVariant &v) {
                return (bitrate <= 0 || v.bandwidth <= bitrate)
                    && (size.isEmpty() || v.resolution.isEmpty()
                        || (v.resolution.width() <= size.width()
                            && v.resolution.height() <= size.height()));
            };
            std::optional<double> best;
            for (const HlsVariant &variant : master->variants) {
                if (isWebUrl(variant.uri) && fits(variant))
                    best = std::max(best.value_or(variant.bandwidth), variant.bandwidth);
            }
            if (best
                && (!fits(master->variants[order.first()])
                    || master->variants[order.first()].bandwidth != *best))
                std::abort();
        }
        for (const HlsVariant &variant : master->variants) {
            const auto audio = audioRenditionFor(*master, variant);
            if (!audio)
                continue;
            const bool inGroup = std::any_of(
                master->audio.begin(), master->audio.end(), [&](const HlsRendition &r) {
                    return r.uri == *audio && r.groupId == variant.audioGroup;
                });
            if (!isWebUrl(*audio) || !inGroup)
                std::abort();
        }
    }
    if (const auto media = parseHlsMedia(bytes, base)) {
        std::optional<qint64> previous;
        for (const HlsSegment &segment : media->segments) {
            if (!isWebUrl(segment.uri) || (previous && segment.sequence <= *previous))
                std::abort();
            previous = segment.sequence;
        }
        for (const double from : { 0.0, 5.0, 1e12 }) {
            const auto cut = cutHlsMediaPlaylist(bytes, base, from);
            if (!cut)
                continue;
            const auto reread = parseHlsMedia(cut->text, base);
            if (!reread || !reread->ended || reread->segments.size() > media->segments.size()
                || !std::isfinite(cut->start) || cut->start < 0)
                std::abort();
            for (const QByteArray &line : cut->text.split('\n')) {
                if (!line.isEmpty() && !line.startsWith('#')
                    && !isWebUrl(QUrl(QString::fromUtf8(line))))
                    std::abort();
                const qsizetype colon = line.indexOf(':');
                const QByteArrayView tag
                    = QByteArrayView(line).first(std::max<qsizetype>(colon, 0));
                if (tag != "#EXT-X-KEY" && tag != "#EXT-X-MAP" && tag != "#EXT-X-MEDIA")
                    continue;
                for (const HlsAttribute &attribute : readHlsAttributes(line.sliced(colon + 1))) {
                    if (attribute.name == "URI"
                        && !isWebUrl(QUrl(QString::fromUtf8(attribute.value))))
                        std::abort();
                }
            }
        }
    }
    return 0;
}
