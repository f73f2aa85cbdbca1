#include "platform/HlsPlaylist.h"

#include <QHash>
#include <QList>
#include <algorithm>
#include <cmath>

namespace orvella {

namespace {
// A tag's attributes by name, the last of a name kept.
QHash<QString, QString> parseAttributes(QStringView text)
{
    QHash<QString, QString> attributes;
    for (const HlsAttribute &attribute : readHlsAttributes(text.toUtf8()))
        attributes.insert(QString::fromUtf8(attribute.name), QString::fromUtf8(attribute.value));
    return attributes;
}

bool isSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

QList<QString> lines(const QByteArray &text)
{
    QList<QString> result;
    for (const QByteArray &line : text.split('\n')) {
        const QString trimmed = QString::fromUtf8(line).trimmed();
        if (!trimmed.isEmpty())
            result.append(trimmed);
    }
    return result;
}

// A zero cap is no cap; a variant that names no size fits any size cap.
bool fitsCaps(const HlsVariant &variant, double maxBitrate, QSize maxResolution)
{
    if (maxBitrate > 0 && variant.bandwidth > maxBitrate)
        return false;
    return maxResolution.isEmpty() || variant.resolution.isEmpty()
        || (variant.resolution.height() <= maxResolution.height()
            && variant.resolution.width() <= maxResolution.width());
}

bool isPlaylist(const QList<QString> &lines)
{
    return !lines.isEmpty() && lines.first().startsWith(QLatin1String("#EXTM3U"));
}

// A byte range as a tag writes it, "n@o" or "n": its length and offset (-1 when it names none),
// each kept from 0 to 2^52 so that adding them never overflows.
struct RangeTag
{
    qint64 length = -1;
    qint64 offset = -1;
};

RangeTag parseByteRange(QStringView text)
{
    const auto number = [](QStringView digits) {
        return std::clamp(digits.toLongLong(), qint64(0), qint64(1) << 52);
    };
    const qsizetype at = text.indexOf(u'@');
    if (at < 0)
        return { number(text), -1 };
    return { number(text.left(at)), number(text.sliced(at + 1)) };
}

QSize parseResolution(const QString &text)
{
    const auto parts = text.split(u'x', Qt::SkipEmptyParts, Qt::CaseInsensitive);
    if (parts.size() != 2)
        return {};
    return { parts[0].toInt(), parts[1].toInt() };
}
} // namespace

QList<HlsAttribute> readHlsAttributes(QByteArrayView list)
{
    if (const qsizetype zero = list.indexOf('\0'); zero >= 0)
        list.truncate(zero);
    QList<HlsAttribute> attributes;
    qsizetype i = 0;
    while (true) {
        while (i < list.size() && (isSpace(list[i]) || list[i] == ','))
            ++i;
        const qsizetype equals = list.indexOf('=', i);
        if (i >= list.size() || equals < 0)
            break;
        HlsAttribute attribute { list.sliced(i, equals - i).toByteArray(), {}, equals + 1, 0 };
        i = equals + 1;
        if (i < list.size() && list[i] == '"') {
            ++i;
            while (i < list.size() && list[i] != '"') {
                if (list[i] == '\\') {
                    // A backslash at the very end takes nothing and ends the value.
                    if (i + 1 == list.size())
                        break;
                    ++i;
                }
                attribute.value += list[i++];
            }
            if (i < list.size() && list[i] == '"')
                ++i;
        } else {
            const qsizetype start = i;
            while (i < list.size() && !isSpace(list[i]) && list[i] != ',')
                ++i;
            attribute.value = list.sliced(start, i - start).toByteArray();
        }
        attribute.valueEnd = i;
        attributes.append(std::move(attribute));
    }
    return attributes;
}

bool isWebUrl(const QUrl &url)
{
    const QString scheme = url.scheme();
    return url.isValid() && (scheme == u"http" || scheme == u"https") && !url.host().isEmpty();
}

qint64 hlsSequenceNumber(QByteArrayView value)
{
    constexpr qint64 latest = qint64(1) << 52;
    return std::clamp(value.trimmed().toLongLong(), qint64(0), latest);
}

std::optional<HlsMasterPlaylist> parseHlsMaster(const QByteArray &text, const QUrl &base)
{
    const auto all = lines(text);
    if (!isPlaylist(all))
        return std::nullopt;
    HlsMasterPlaylist master;
    bool isMaster = false;
    for (qsizetype i = 0; i < all.size(); ++i) {
        const QString &line = all[i];
        if (line.startsWith(QLatin1String("#EXT-X-STREAM-INF:"))) {
            isMaster = true;
            const auto attributes = parseAttributes(QStringView(line).mid(18));
            HlsVariant variant;
            // Variants are ordered by it: one that is not a number of bits a second counts as 0.
            variant.bandwidth = attributes.value(QStringLiteral("BANDWIDTH")).toDouble();
            if (!std::isfinite(variant.bandwidth) || variant.bandwidth < 0)
                variant.bandwidth = 0;
            variant.resolution = parseResolution(attributes.value(QStringLiteral("RESOLUTION")));
            variant.audioGroup = attributes.value(QStringLiteral("AUDIO"));
            while (i + 1 < all.size() && all[i + 1].startsWith(u'#'))
                ++i;
            if (i + 1 < all.size())
                variant.uri = base.resolved(QUrl(all[++i]));
            master.variants.append(variant);
        } else if (line.startsWith(QLatin1String("#EXT-X-MEDIA:"))) {
            isMaster = true;
            const auto attributes = parseAttributes(QStringView(line).mid(13));
            const QString type = attributes.value(QStringLiteral("TYPE"));
            const bool audio = type == QLatin1String("AUDIO");
            if (!audio && type != QLatin1String("SUBTITLES"))
                continue;
            HlsRendition rendition;
            rendition.groupId = attributes.value(QStringLiteral("GROUP-ID"));
            rendition.language = attributes.value(QStringLiteral("LANGUAGE"));
            rendition.name = attributes.value(QStringLiteral("NAME"));
            rendition.isDefault
                = attributes.value(QStringLiteral("DEFAULT")) == QLatin1String("YES");
            const QString uri = attributes.value(QStringLiteral("URI"));
            if (uri.isEmpty())
                continue;
            rendition.uri = base.resolved(QUrl(uri));
            if (isWebUrl(rendition.uri))
                (audio ? master.audio : master.subtitles).append(rendition);
        }
    }
    if (!isMaster)
        return std::nullopt;
    return master;
}

std::optional<HlsMediaPlaylist> parseHlsMedia(const QByteArray &text, const QUrl &base)
{
    const auto all = lines(text);
    if (!isPlaylist(all))
        return std::nullopt;
    HlsMediaPlaylist playlist;
    double pendingDuration = -1;
    bool pendingDiscontinuity = false;
    qint64 sequence = 0;
    bool sequenceSet = false;
    bool encrypted = false;
    bool mapped = false;
    // A segment's own byte range, pending until its address, and where the last one ended: a
    // range that names no offset follows on from it.
    RangeTag pendingRange;
    qint64 rangeEnd = 0;
    QUrl mapUri;
    std::optional<std::pair<qint64, qint64>> mapRange;
    for (const QString &line : all) {
        if (line.startsWith(QLatin1String("#EXT-X-TARGETDURATION:"))) {
            playlist.targetDuration = line.mid(22).toDouble();
        } else if (line.startsWith(QLatin1String("#EXT-X-MEDIA-SEQUENCE:"))) {
            playlist.mediaSequence = hlsSequenceNumber(line.mid(22).toLatin1());
            if (!sequenceSet)
                sequence = playlist.mediaSequence;
        } else if (line.startsWith(QLatin1String("#EXT-X-ENDLIST"))) {
            playlist.ended = true;
        } else if (line == QLatin1String("#EXT-X-DISCONTINUITY")) {
            pendingDiscontinuity = true;
        } else if (line.startsWith(QLatin1String("#EXT-X-KEY:"))) {
            // As FFmpeg's reader: only these methods decrypt.
            const QString method
                = parseAttributes(QStringView(line).mid(11)).value(QStringLiteral("METHOD"));
            encrypted = method == QLatin1String("AES-128") || method == QLatin1String("SAMPLE-AES");
        } else if (line.startsWith(QLatin1String("#EXT-X-MAP:"))) {
            mapped = true;
            const auto attributes = parseAttributes(QStringView(line).mid(11));
            mapUri = base.resolved(QUrl(attributes.value(QStringLiteral("URI"))));
            if (!isWebUrl(mapUri))
                mapUri.clear();
            mapRange.reset();
            if (const QString range = attributes.value(QStringLiteral("BYTERANGE"));
                !range.isEmpty()) {
                const RangeTag tag = parseByteRange(range);
                mapRange = std::pair(std::max<qint64>(tag.offset, 0), tag.length);
            }
        } else if (line.startsWith(QLatin1String("#EXT-X-BYTERANGE:"))) {
            pendingRange = parseByteRange(QStringView(line).mid(17).trimmed());
        } else if (line.startsWith(QLatin1String("#EXTINF:"))) {
            pendingDuration = line.mid(8).section(u',', 0, 0).toDouble();
        } else if (!line.startsWith(u'#') && pendingDuration >= 0) {
            sequenceSet = true;
            const QUrl uri = base.resolved(QUrl(line));
            std::optional<std::pair<qint64, qint64>> range;
            if (pendingRange.length >= 0) {
                range = std::pair(
                    pendingRange.offset < 0 ? rangeEnd : pendingRange.offset, pendingRange.length);
                rangeEnd = range->first + range->second;
            }
            // A segment that may not be fetched still takes its place in the sequence.
            if (isWebUrl(uri)) {
                playlist.segments.append({ uri, pendingDuration, sequence, pendingDiscontinuity,
                    encrypted || mapped || pendingRange.length >= 0, mapped, range,
                    mapped ? mapUri : QUrl(), mapped ? mapRange : std::nullopt, encrypted });
                pendingDiscontinuity = false;
            }
            ++sequence;
            pendingDuration = -1;
            pendingRange = {};
        }
    }
    return playlist;
}

QList<int> variantPreference(
    const QList<HlsVariant> &variants, double maxBitrate, QSize maxResolution)
{
    QList<int> fitting;
    QList<int> above;
    for (int i = 0; i < variants.size(); ++i) {
        if (!isWebUrl(variants[i].uri))
            continue;
        (fitsCaps(variants[i], maxBitrate, maxResolution) ? fitting : above).append(i);
    }
    const auto bandwidth = [&](int i) { return variants[i].bandwidth; };
    std::stable_sort(
        fitting.begin(), fitting.end(), [&](int a, int b) { return bandwidth(a) > bandwidth(b); });
    std::stable_sort(
        above.begin(), above.end(), [&](int a, int b) { return bandwidth(a) < bandwidth(b); });
    return fitting + above;
}

std::optional<QUrl> audioRenditionFor(const HlsMasterPlaylist &master, const HlsVariant &variant)
{
    if (variant.audioGroup.isEmpty())
        return std::nullopt;
    std::optional<QUrl> first;
    for (const HlsRendition &rendition : master.audio) {
        if (rendition.groupId != variant.audioGroup)
            continue;
        if (rendition.isDefault)
            return rendition.uri;
        if (!first)
            first = rendition.uri;
    }
    return first;
}

} // namespace orvella
