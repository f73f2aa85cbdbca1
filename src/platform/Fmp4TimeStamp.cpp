#include "platform/Fmp4TimeStamp.h"

#include <QtEndian>
#include <algorithm>
#include <limits>

namespace orvella {

namespace {
constexpr std::uint32_t boxType(const char (&name)[5])
{
    return std::uint32_t(std::uint8_t(name[0])) << 24 | std::uint32_t(std::uint8_t(name[1])) << 16
        | std::uint32_t(std::uint8_t(name[2])) << 8 | std::uint32_t(std::uint8_t(name[3]));
}

// A big-endian field of 4 or 8 bytes at `at`; none when it does not lie wholly in the bytes.
std::optional<std::uint64_t> field(QByteArrayView bytes, qsizetype at, int width)
{
    if (at < 0 || at > bytes.size() - width)
        return std::nullopt;
    const char *data = bytes.data() + at;
    return width == 8 ? qFromBigEndian<quint64>(data) : qFromBigEndian<quint32>(data);
}

struct Box
{
    std::uint32_t type = 0;
    QByteArrayView body; // past the header
};

// The boxes of some bytes one after another. It ends at the last whole box: a box whose header
// or stated length runs past what is there (or whose size is below its header's) ends it, so a
// box cut short is never read. Each step moves on by a header at least, so reading always ends.
class BoxReader
{
public:
    explicit BoxReader(QByteArrayView bytes)
        : m_rest(bytes)
    { }

    std::optional<Box> next()
    {
        const auto small = field(m_rest, 0, 4);
        const auto type = field(m_rest, 4, 4);
        if (!small || !type)
            return std::nullopt;
        std::uint64_t size = *small;
        qsizetype header = 8;
        if (size == 1) {
            const auto large = field(m_rest, 8, 8);
            if (!large)
                return std::nullopt;
            size = *large;
            header = 16;
        } else if (size == 0) {
            size = std::uint64_t(m_rest.size()); // to the end
        }
        if (size < std::uint64_t(header) || size > std::uint64_t(m_rest.size())) {
            m_rest = {};
            return std::nullopt;
        }
        const Box box { std::uint32_t(*type), m_rest.sliced(header, qsizetype(size) - header) };
        m_rest = m_rest.sliced(qsizetype(size));
        return box;
    }

private:
    QByteArrayView m_rest;
};

// The first child box of the type.
std::optional<QByteArrayView> child(QByteArrayView body, std::uint32_t type)
{
    BoxReader boxes(body);
    while (const auto box = boxes.next()) {
        if (box->type == type)
            return box->body;
    }
    return std::nullopt;
}

// A box with a version and flags before its fields.
struct FullBox
{
    int version = 0;
    std::uint32_t flags = 0;
    QByteArrayView fields;

    // A field that lies at `v0At` in version 0 and at `v1At` (and twice as wide when `widens`) in
    // version 1; none in any other version.
    std::optional<std::uint64_t> versioned(qsizetype v0At, qsizetype v1At, bool widens) const
    {
        if (version == 0)
            return field(fields, v0At, 4);
        if (version == 1)
            return field(fields, v1At, widens ? 8 : 4);
        return std::nullopt;
    }
};

std::optional<FullBox> fullBox(std::optional<QByteArrayView> body)
{
    const auto head = body ? field(*body, 0, 4) : std::nullopt;
    if (!head)
        return std::nullopt;
    return FullBox { int(*head >> 24), std::uint32_t(*head & 0xFFFFFF), body->sliced(4) };
}

// The timescale of a movie or media header: past the creation and modification times, 32 bits
// in version 0 and 64 in version 1.
std::optional<std::uint64_t> headerTimescale(std::optional<QByteArrayView> box)
{
    const auto header = fullBox(box);
    return header ? header->versioned(8, 16, false) : std::nullopt;
}

std::int64_t saturated(__int128 value)
{
    return std::int64_t(std::clamp<__int128>(
        value, std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()));
}

// What FFmpeg adds to the track's stamps for its edit list: a first edit that is empty (media
// time -1) delays the track by its duration, and the next edit's media time is where the
// presentation starts. Other edits it leaves to the decoder of whole files.
std::int64_t editShift(QByteArrayView trak, std::uint64_t movieTimescale, std::uint64_t timescale)
{
    const auto edits = child(trak, boxType("edts"));
    const auto list = fullBox(edits ? child(*edits, boxType("elst")) : std::nullopt);
    if (!list || list->version > 1 || movieTimescale == 0)
        return 0;
    const qsizetype entrySize = list->version == 1 ? 20 : 12;
    // Whole entries only, however many the list says it holds.
    const qsizetype room = std::max<qsizetype>(0, list->fields.size() - 4) / entrySize;
    const qsizetype entries
        = qsizetype(std::min<std::uint64_t>(field(list->fields, 0, 4).value_or(0), room));
    __int128 empty = 0;
    __int128 start = 0;
    qsizetype startEntry = 0;
    for (qsizetype i = 0; i < std::min<qsizetype>(entries, 2); ++i) {
        const qsizetype at = 4 + i * entrySize;
        const int width = list->version == 1 ? 8 : 4;
        const std::uint64_t duration = *field(list->fields, at, width);
        const std::uint64_t raw = *field(list->fields, at + width, width);
        const std::int64_t time = width == 8 ? std::int64_t(raw) : std::int32_t(raw);
        if (i == 0 && time == -1) {
            empty = duration;
            startEntry = 1;
        } else if (i == startEntry && time >= 0) {
            start = time;
        }
    }
    // To the track's timescale, the nearest tick (halves away from zero).
    const __int128 scaled = (empty * timescale + movieTimescale / 2) / movieTimescale;
    return saturated(scaled - start);
}

// The track a fragment is of; none when its header is malformed or shorter than its flags say.
std::optional<std::uint32_t> fragmentTrack(QByteArrayView traf)
{
    const auto header = fullBox(child(traf, boxType("tfhd")));
    if (!header)
        return std::nullopt;
    // Base data offset, sample description index, default duration, size and flags.
    const qsizetype optional = (header->flags & 0x1 ? 8 : 0) + (header->flags & 0x2 ? 4 : 0)
        + (header->flags & 0x8 ? 4 : 0) + (header->flags & 0x10 ? 4 : 0)
        + (header->flags & 0x20 ? 4 : 0);
    const auto track = field(header->fields, 0, 4);
    if (!track || header->fields.size() < 4 + optional)
        return std::nullopt;
    return std::uint32_t(*track);
}

// The composition offset of a fragment's first sample (0 where its run names none); none when
// it has no sample or a run is malformed.
std::optional<std::int64_t> firstCompositionOffset(QByteArrayView traf)
{
    BoxReader boxes(traf);
    while (const auto box = boxes.next()) {
        if (box->type != boxType("trun"))
            continue;
        const auto run = fullBox(box->body);
        const auto samples = run ? field(run->fields, 0, 4) : std::nullopt;
        if (!samples || run->version > 1)
            return std::nullopt;
        if (*samples == 0)
            continue;
        // Past the count, the data offset and the first sample's flags, then the sample's
        // duration, size and flags.
        qsizetype at = 4;
        for (const std::uint32_t present : { 0x1u, 0x4u, 0x100u, 0x200u, 0x400u })
            at += run->flags & present ? 4 : 0;
        const bool offsets = run->flags & 0x800;
        if (run->fields.size() < at + (offsets ? 4 : 0))
            return std::nullopt;
        if (!offsets)
            return 0;
        const std::uint64_t offset = *field(run->fields, at, 4);
        // Signed in version 1 only.
        return run->version == 1 ? std::int64_t(std::int32_t(offset)) : std::int64_t(offset);
    }
    return std::nullopt;
}
} // namespace

std::optional<Fmp4Map> parseFmp4Map(QByteArrayView bytes)
{
    const auto movie = child(bytes, boxType("moov"));
    if (!movie)
        return std::nullopt;
    const std::uint64_t movieTimescale
        = headerTimescale(child(*movie, boxType("mvhd"))).value_or(0);
    BoxReader boxes(*movie);
    while (const auto box = boxes.next()) {
        if (box->type != boxType("trak"))
            continue;
        const auto media = child(box->body, boxType("mdia"));
        const auto handler = fullBox(media ? child(*media, boxType("hdlr")) : std::nullopt);
        if (!handler || field(handler->fields, 4, 4) != boxType("vide"))
            continue;
        const auto header = fullBox(child(box->body, boxType("tkhd")));
        const auto track = header ? header->versioned(8, 16, false) : std::nullopt;
        const auto timescale = headerTimescale(child(*media, boxType("mdhd")));
        if (!track || !timescale || *timescale == 0
            || *timescale > std::uint64_t(std::numeric_limits<std::int32_t>::max()))
            return std::nullopt;
        return Fmp4Map { std::uint32_t(*track), std::uint32_t(*timescale),
            editShift(box->body, movieTimescale, *timescale) };
    }
    return std::nullopt;
}

std::optional<double> firstFmp4Time(QByteArrayView bytes, const Fmp4Map &map)
{
    if (map.timescale == 0)
        return std::nullopt;
    BoxReader boxes(bytes);
    while (const auto box = boxes.next()) {
        if (box->type != boxType("moof"))
            continue;
        BoxReader fragments(box->body);
        while (const auto fragment = fragments.next()) {
            if (fragment->type != boxType("traf"))
                continue;
            const auto track = fragmentTrack(fragment->body);
            if (!track)
                return std::nullopt;
            if (*track != map.videoTrack)
                continue;
            const auto decodeTime = fullBox(child(fragment->body, boxType("tfdt")));
            const auto ticks = decodeTime ? decodeTime->versioned(0, 0, true) : std::nullopt;
            const auto offset = firstCompositionOffset(fragment->body);
            if (!ticks || !offset)
                return std::nullopt;
            return double(__int128(*ticks) + map.editShift + *offset) / map.timescale;
        }
    }
    return std::nullopt;
}

} // namespace orvella
