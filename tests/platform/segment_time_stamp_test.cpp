#include "platform/SegmentTimeStamp.h"
#include "support/Fixtures.h"
#include "support/RawHttpServer.h"
#include "support/ServiceDouble.h"
#include "support/TestAsync.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QRandomGenerator>
#include <QtEndian>
#include <cmath>
#include <gtest/gtest.h>

using namespace orvella;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;
using Part = std::optional<std::pair<qint64, qint64>>;

namespace {
QByteArray segment(const QString &name)
{
    QFile file(test::fixturePath(u"joined/480p/"_s + name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// FFmpeg's muxer starts its time stamps 1.4 s in. The picture's first packet leads each segment
// (ffprobe: 1.421333 s); the sound starts 0.021 s earlier but only some 100 KB into the file.
constexpr double firstPartStart = 1.421333;
constexpr double secondPartStart = 1001.4; // seg_003.ts, the first of the part from 1000 s on
constexpr qint64 wrap = qint64(1) << 33;

// A transport packet that begins a PES packet of the stream with the time stamp (PTS alone).
QByteArray pesPacket(int pid, char stream, qint64 ticks)
{
    QByteArray packet(188, char(0xFF));
    const char head[] = { 0x47, char(0x40 | pid >> 8), char(pid), 0x10, 0, 0, 1, stream, 0, 0,
        char(0x80), char(0x80), 5, char(0x21 | (ticks >> 29 & 0x0E)), char(ticks >> 22),
        char(ticks >> 14 | 1), char(ticks >> 7), char(ticks << 1 | 1) };
    return packet.replace(0, sizeof head, QByteArrayView(head, sizeof head));
}

TEST(SegmentTimeStampTest, TheEarliestFirstTimeStampOfTheStreams)
{
    const QByteArray first = segment(u"seg_000.ts"_s);
    ASSERT_GT(first.size(), segmentHeadBytes);
    const auto start = firstMpegTsTime(first.first(segmentHeadBytes));
    ASSERT_TRUE(start);
    EXPECT_NEAR(*start, firstPartStart, 0.01);
    EXPECT_NEAR(firstMpegTsTime(segment(u"seg_003.ts"_s).first(segmentHeadBytes)).value_or(0),
        secondPartStart, 0.01);
    EXPECT_EQ(firstMpegTsTime(first.first(1024)), start) << "the picture's header lies in it";

    const QByteArray sound = pesPacket(0x101, char(0xC0), 90000);
    EXPECT_EQ(firstMpegTsTime(pesPacket(0x100, char(0xE0), 180000) + sound
                  + pesPacket(0x100, char(0xE0), 9000)),
        1.0)
        << "only each stream's first counts";
    // Across the wrap the stamps just past it come later.
    EXPECT_EQ(firstMpegTsTime(
                  pesPacket(0x100, char(0xE0), 9000) + pesPacket(0x101, char(0xC0), wrap - 4500)),
        double(wrap - 4500) / 90000);
}

TEST(SegmentTimeStampTest, WhatIsNoTransportStreamHasNoTime)
{
    const QByteArray head = segment(u"seg_000.ts"_s).first(4096);
    ASSERT_TRUE(firstMpegTsTime(head));
    QByteArray outOfStep = head;
    outOfStep[188] = 0;
    QByteArray adaptationPastEnd = pesPacket(0x100, char(0xE0), 90000);
    adaptationPastEnd[3] = 0x30;
    adaptationPastEnd[4] = char(0xB7);
    QByteArray noMarker = pesPacket(0x100, char(0xE0), 90000);
    noMarker[17] = char(noMarker[17] & 0xFE);
    for (const QByteArray &bytes : { QByteArray(), QByteArray("<html>not found</html>"),
             QByteArray(4 * 188, 0x47), head.sliced(1), outOfStep, adaptationPastEnd, noMarker })
        EXPECT_EQ(firstMpegTsTime(bytes), std::nullopt) << bytes.first(20).toHex().constData();

    // Cut and damaged heads: nothing is read past the data (the sanitized build checks).
    QRandomGenerator random(7);
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes = head.first(random.bounded(head.size() + 1));
        for (int flips = random.bounded(8); flips > 0 && !bytes.isEmpty(); --flips)
            bytes[random.bounded(bytes.size())] = char(random.bounded(256));
        const auto time = firstMpegTsTime(bytes);
        EXPECT_TRUE(!time || (*time >= 0 && *time < 2.0 * double(wrap) / 90000));
    }
}

// Fragmented MP4: boxes written by hand, and FFmpeg's own.

QByteArray fixture(const QString &path)
{
    QFile file(test::fixturePath(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray bigEndian(quint64 value, int bytes)
{
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i)
        out += char(value >> (8 * i));
    return out;
}

QByteArray box(const char *type, const QByteArray &body)
{
    return bigEndian(8 + body.size(), 4) + type + body;
}

QByteArray largeBox(const char *type, const QByteArray &body)
{
    return bigEndian(1, 4) + type + bigEndian(16 + body.size(), 8) + body;
}

QByteArray fullBox(const char *type, int version, quint32 flags, const QByteArray &fields)
{
    return box(type, bigEndian(quint64(version) << 24 | flags, 4) + fields);
}

// A map's track: its header, an edit list when given, its media header and handler.
QByteArray trak(quint32 track, const char *handler, quint32 timescale, const QByteArray &edits = {},
    int version = 0)
{
    const int time = version == 1 ? 8 : 4;
    const QByteArray created = bigEndian(0, 2 * time);
    return box("trak",
        fullBox("tkhd", version, 3, created + bigEndian(track, 4) + QByteArray(72, 0)) + edits
            + box("mdia",
                fullBox("mdhd", version, 0, created + bigEndian(timescale, 4) + bigEndian(0, 8))
                    + fullBox("hdlr", 0, 0,
                        bigEndian(0, 4) + handler + QByteArray(12, 0) + QByteArray("name", 5))));
}

QByteArray editList(int version, std::initializer_list<std::pair<qint64, qint64>> edits)
{
    const int width = version == 1 ? 8 : 4;
    QByteArray entries = bigEndian(edits.size(), 4);
    for (const auto &[duration, mediaTime] : edits)
        entries += bigEndian(duration, width) + bigEndian(mediaTime, width) + bigEndian(1 << 16, 4);
    return box("edts", fullBox("elst", version, 0, entries));
}

QByteArray initSection(const QByteArray &traks, quint32 movieTimescale = 1000)
{
    return box("ftyp", "iso5" + bigEndian(512, 4) + "iso5")
        + box("moov",
            fullBox(
                "mvhd", 0, 0, bigEndian(0, 8) + bigEndian(movieTimescale, 4) + QByteArray(88, 0))
                + traks);
}

// A track fragment of one run; the run's fields after its count, its first sample's included.
QByteArray traf(quint32 track, quint64 decodeTime, const QByteArray &run, int tfdtVersion = 1)
{
    return box("traf",
        fullBox("tfhd", 0, 0x020000, bigEndian(track, 4))
            + fullBox("tfdt", tfdtVersion, 0, bigEndian(decodeTime, tfdtVersion == 1 ? 8 : 4))
            + run);
}

QByteArray trun(int version, quint32 flags, const QByteArray &sample, quint32 samples = 1)
{
    return fullBox("trun", version, flags, bigEndian(samples, 4) + sample);
}

QByteArray moof(const QByteArray &trafs)
{
    return box("moof", fullBox("mfhd", 0, 0, bigEndian(1, 4)) + trafs);
}

// A run of samples that name their sizes alone (FFmpeg's, without B-frames).
const QByteArray sizesOnly = trun(0, 0x200, bigEndian(9000, 4));
const QByteArray mdat = box("mdat", QByteArray(64, 'x'));

TEST(Fmp4TimeStampTest, FfmpegsSegmentsStartWhereLibmpvPlacesThem)
{
    // ffprobe -show_packets on the map and the segment joined: the picture's first time stamp
    // (FFmpeg starts the picture 258 ticks of 12288 in, by an empty edit; libmpv reports the same).
    struct Case
    {
        const char16_t *map;
        const char16_t *segment;
        double start;
    };
    const Case cases[] = {
        { u"fmp4/init.mp4", u"fmp4/p_000.m4s", 0.020996 },
        { u"fmp4/init.mp4", u"fmp4/p_003.m4s", 6.020996 },
        { u"restart/fmp4/init_1.mp4", u"restart/fmp4/p1_000.m4s", 0.020996 },
        { u"restart/fmp4/init_1.mp4", u"restart/fmp4/p1_003.m4s", 6.020996 },
        { u"restart/fmp4/init_2.mp4", u"restart/fmp4/p2_004.m4s", 0.020996 },
        { u"restart/fmp4/init_2.mp4", u"restart/fmp4/p2_006.m4s", 4.020996 },
        // B-frames and stamps from 28 s: the offset is the edit list's, the first sample's
        // composition offset a twelfth of a second (tfdt and trun alone would give 0.083 s).
        { u"fmp4-late/init.mp4", u"fmp4-late/p_000.m4s", 28.0 },
        { u"fmp4-late/init.mp4", u"fmp4-late/p_001.m4s", 30.0 },
    };
    for (const Case &each : cases) {
        const QString name = QString::fromUtf16(each.segment);
        const auto map = parseFmp4Map(fixture(QString::fromUtf16(each.map)));
        ASSERT_TRUE(map) << name.toStdString();
        EXPECT_EQ(map->videoTrack, 1U);
        EXPECT_EQ(map->timescale, 12288U);
        const QByteArray segmentBytes = fixture(name);
        ASSERT_GT(segmentBytes.size(), segmentHeadBytes) << name.toStdString();
        const QByteArray head = segmentBytes.first(segmentHeadBytes);
        EXPECT_NEAR(firstFmp4Time(head, *map).value_or(-1), each.start, 1e-6) << name.toStdString();
        EXPECT_EQ(firstMpegTsTime(head), std::nullopt) << name.toStdString();
        EXPECT_EQ(parseFmp4Map(head), std::nullopt) << "a segment is no map";
    }
    EXPECT_EQ(parseFmp4Map(fixture(u"fmp4/init.mp4"_s)), (Fmp4Map { 1, 12288, 258 }));
    EXPECT_EQ(
        parseFmp4Map(fixture(u"fmp4-late/init.mp4"_s)), (Fmp4Map { 1, 12288, 28 * 12288 - 1024 }));

    // The head ends inside the fragment: no time, however much of it is there.
    const QByteArray head = fixture(u"fmp4/p_000.m4s"_s).first(4096);
    const qsizetype fragment = head.indexOf("moof") - 4;
    const qsizetype fragmentEnd = fragment + qFromBigEndian<quint32>(head.constData() + fragment);
    const Fmp4Map map = *parseFmp4Map(fixture(u"fmp4/init.mp4"_s));
    EXPECT_TRUE(firstFmp4Time(head.first(fragmentEnd), map));
    EXPECT_EQ(firstFmp4Time(head.first(fragmentEnd - 1), map), std::nullopt);
    EXPECT_EQ(firstFmp4Time(segment(u"seg_000.ts"_s).first(segmentHeadBytes), map), std::nullopt);
}

TEST(Fmp4TimeStampTest, MapsFindThePictureTrackAndItsEdits)
{
    const QByteArray sound = trak(1, "soun", 48000);
    struct Case
    {
        const char *what;
        QByteArray bytes;
        std::optional<Fmp4Map> map;
    };
    const Case cases[] = {
        { "the picture after the sound", initSection(sound + trak(2, "vide", 90000)),
            Fmp4Map { 2, 90000, 0 } },
        { "version 1 headers", initSection(trak(7, "vide", 600, {}, 1)), Fmp4Map { 7, 600, 0 } },
        { "an empty edit in the movie's timescale, then a media time",
            initSection(trak(1, "vide", 12288, editList(0, { { 28000, -1 }, { 0, 1024 } }))),
            Fmp4Map { 1, 12288, 28 * 12288 - 1024 } },
        { "version 1 edits, rounded to the nearest tick",
            initSection(trak(1, "vide", 12288, editList(1, { { 21, -1 }, { 0, 0 } }))),
            Fmp4Map { 1, 12288, 258 } },
        { "a media time alone", initSection(trak(1, "vide", 12288, editList(0, { { 0, 512 } }))),
            Fmp4Map { 1, 12288, -512 } },
        { "later edits count for nothing",
            initSection(trak(1, "vide", 1000, editList(0, { { 5, -1 }, { 9, 3 }, { 7, 100 } }))),
            Fmp4Map { 1, 1000, 2 } },
        { "no movie timescale: no edit counts",
            initSection(trak(1, "vide", 1000, editList(0, { { 5, -1 } })), 0),
            Fmp4Map { 1, 1000, 0 } },
        { "an edit list that claims more than it holds",
            initSection(trak(1, "vide", 1000,
                box("edts",
                    fullBox("elst", 0, 0,
                        bigEndian(1000, 4) + bigEndian(40, 4) + bigEndian(quint32(-1), 4)
                            + bigEndian(1 << 16, 4) + QByteArray(5, 0))))),
            Fmp4Map { 1, 1000, 40 } },
        { "a 64-bit movie box", largeBox("moov", trak(1, "vide", 1000)), Fmp4Map { 1, 1000, 0 } },
        { "sound alone", initSection(sound), std::nullopt },
        { "no timescale", initSection(trak(1, "vide", 0)), std::nullopt },
        { "a media header of version 2",
            initSection(
                trak(1, "vide", 1000).replace(QByteArray("mdhd\0", 5), QByteArray("mdhd\2", 5))),
            std::nullopt },
        { "no media header", initSection(trak(1, "vide", 1000).replace("mdhd", "mdhX")),
            std::nullopt },
        { "the movie box cut short", initSection(trak(1, "vide", 1000)).chopped(1), std::nullopt },
        { "nothing", QByteArray(), std::nullopt },
    };
    for (const Case &each : cases)
        EXPECT_EQ(parseFmp4Map(each.bytes), each.map) << each.what;
}

TEST(Fmp4TimeStampTest, SegmentHeadsReadOnlyWhatIsThereAndWhole)
{
    const Fmp4Map map { 1, 1000, 0 };
    const QByteArray plain = moof(traf(1, 5000, sizesOnly)) + mdat;
    // Duration, size, flags and composition offset of the first sample, after a data offset and
    // the first sample's flags.
    const QByteArray everyField = trun(0, 0xF05,
        bigEndian(0, 4) + bigEndian(0, 4) + bigEndian(512, 4) + bigEndian(9000, 4) + bigEndian(0, 4)
            + bigEndian(250, 4));
    const QByteArray withDefaults = box("traf",
        fullBox("tfhd", 0, 0x3B,
            bigEndian(1, 4) + bigEndian(4096, 8) + bigEndian(1, 4) + bigEndian(512, 4)
                + bigEndian(9000, 4) + bigEndian(0, 4))
            + fullBox("tfdt", 0, 0, bigEndian(5000, 4)) + sizesOnly);
    const QByteArray headerPastItsBox = box("traf",
        fullBox("tfhd", 0, 0x1, bigEndian(1, 4) + bigEndian(0, 2))
            + fullBox("tfdt", 0, 0, bigEndian(5000, 4)) + sizesOnly);
    QByteArray huge = plain;
    huge.prepend(bigEndian(1, 4) + "free" + bigEndian(~quint64(0) - 4, 8));
    struct Case
    {
        const char *what;
        QByteArray bytes;
        std::optional<double> start;
    };
    const Case cases[] = {
        { "one fragment", plain, 5.0 },
        { "boxes before it",
            box("styp", "msdh") + fullBox("sidx", 1, 0, QByteArray(40, 0))
                + fullBox("prft", 1, 0, QByteArray(20, 0))
                + fullBox("emsg", 0, 0, QByteArray(30, 'e')) + box("free", {}) + plain,
            5.0 },
        { "64-bit sizes",
            largeBox("styp", "msdh") + largeBox("moof", moof(traf(1, 5000, sizesOnly)).mid(8))
                + mdat,
            5.0 },
        { "a fragment to the end (size 0)",
            bigEndian(0, 4) + "moof" + moof(traf(1, 5000, sizesOnly)).mid(8), 5.0 },
        { "a 64-bit decode time", moof(traf(1, quint64(1) << 33, sizesOnly)) + mdat,
            double(quint64(1) << 33) / 1000 },
        { "a 32-bit decode time", moof(traf(1, 5000, sizesOnly, 0)) + mdat, 5.0 },
        { "the sound's fragment first",
            moof(traf(2, 9999, sizesOnly) + traf(1, 5000, sizesOnly)) + mdat, 5.0 },
        { "every field of the sample", moof(traf(1, 5000, everyField)) + mdat, 5.25 },
        { "a negative composition offset (version 1)",
            moof(traf(1, 5000, trun(1, 0x800, bigEndian(quint32(-500), 4)))) + mdat, 4.5 },
        { "an unsigned composition offset (version 0)",
            moof(traf(1, 5000, trun(0, 0x800, bigEndian(0x80000000U, 4)))) + mdat,
            double(5000 + 0x80000000LL) / 1000 },
        { "an empty run, then one with samples",
            moof(traf(1, 5000, trun(0, 0x800, {}, 0) + trun(0, 0x800, bigEndian(100, 4)))), 5.1 },
        { "a fragment header with defaults", moof(withDefaults) + mdat, 5.0 },
        { "the fragment of another moof", moof(traf(2, 9999, sizesOnly)) + mdat + plain, 5.0 },

        { "nothing", QByteArray(), std::nullopt },
        { "the fragment cut short", plain.first(plain.indexOf("mdat") - 5), std::nullopt },
        { "a size past the end", bigEndian(4096, 4) + "moof" + plain.mid(8), std::nullopt },
        { "a size below its header", bigEndian(4, 4) + "styp" + plain, std::nullopt },
        { "a 64-bit size below its header", bigEndian(1, 4) + "styp" + bigEndian(12, 8) + plain,
            std::nullopt },
        { "a 64-bit size cut short", bigEndian(1, 4) + "moof" + bigEndian(0, 2), std::nullopt },
        { "a 64-bit size past any length", huge, std::nullopt },
        { "no fragment of the picture", moof(traf(2, 9999, sizesOnly)) + mdat, std::nullopt },
        { "no decode time",
            moof(box("traf", fullBox("tfhd", 0, 0x020000, bigEndian(1, 4)) + sizesOnly)),
            std::nullopt },
        { "a decode time of version 2",
            moof(
                traf(1, 5000, sizesOnly).replace(QByteArray("tfdt\1", 5), QByteArray("tfdt\2", 5))),
            std::nullopt },
        { "a run of version 2", moof(traf(1, 5000, trun(2, 0x200, bigEndian(9000, 4)))),
            std::nullopt },
        { "no sample", moof(traf(1, 5000, trun(0, 0x200, {}, 0))), std::nullopt },
        { "a sample past its run", moof(traf(1, 5000, trun(0, 0xA00, bigEndian(9000, 4)))),
            std::nullopt },
        { "a fragment header shorter than its flags", moof(headerPastItsBox), std::nullopt },
        { "no fragment header",
            moof(box("traf", fullBox("tfdt", 0, 0, bigEndian(5000, 4)) + sizesOnly)),
            std::nullopt },
    };
    for (const Case &each : cases)
        EXPECT_EQ(firstFmp4Time(each.bytes, map), each.start) << each.what;
    EXPECT_EQ(firstFmp4Time(plain, Fmp4Map { 1, 1000, 1500 }), 6.5) << "the edit shift";
    EXPECT_EQ(firstFmp4Time(plain, Fmp4Map {}), std::nullopt) << "no map";
}

TEST(Fmp4TimeStampTest, DamagedHeadsAreNeverReadPastTheirEnd)
{
    // Cut and damaged maps and heads: nothing is read past the data (the sanitized build checks).
    const QByteArray init = fixture(u"fmp4-late/init.mp4"_s);
    const QByteArray head = fixture(u"fmp4-late/p_000.m4s"_s).first(2048);
    const Fmp4Map map = parseFmp4Map(init).value_or(Fmp4Map {});
    ASSERT_TRUE(firstFmp4Time(head, map));
    QRandomGenerator random(11);
    for (int round = 0; round < 3000; ++round) {
        const QByteArray &source = round % 2 ? init : head;
        QByteArray bytes = source.first(random.bounded(source.size() + 1));
        for (int flips = random.bounded(8); flips > 0 && !bytes.isEmpty(); --flips)
            bytes[random.bounded(bytes.size())] = char(random.bounded(256));
        if (round % 2) {
            const auto damaged = parseFmp4Map(bytes);
            EXPECT_TRUE(!damaged || damaged->timescale > 0);
        } else {
            const auto time = firstFmp4Time(bytes, map);
            EXPECT_TRUE(!time || std::isfinite(*time));
        }
    }
}

class SegmentStartRead : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(service.start()); }

    std::optional<double> read(const QUrl &url, Part part, std::chrono::milliseconds timeout = 5s)
    {
        return test::runTask(readSegmentHead(network, url, part, timeout, {}), timeout + 2s)
            .startTime;
    }

    // Serves the file at the path, the part a Range asks for while `honoursRange` holds.
    void serveInParts(const QString &path, const QByteArray &file, const bool &honoursRange)
    {
        service.handle("GET", path, [&file, &honoursRange](const test::RecordedRequest &request) {
            const QList<QByteArray> range = request.header("Range").mid(6).split('-');
            if (!honoursRange || range.size() != 2)
                return test::ScriptedAnswer::raw(file, "video/mp2t");
            const qint64 from = range[0].toLongLong();
            const qint64 to = std::min(range[1].toLongLong(), file.size() - 1);
            return test::ScriptedAnswer::raw(file.mid(from, to + 1 - from), "video/mp2t", 206)
                .withHeader("Content-Range",
                    "bytes " + range[0] + '-' + QByteArray::number(to) + '/'
                        + QByteArray::number(file.size()));
        });
    }

    test::ServiceDouble service;
    QNetworkAccessManager network;
};

TEST_F(SegmentStartRead, AsksForTheHeadAloneAndTakesNoOtherPart)
{
    const qint64 join = segment(u"seg_000.ts"_s).size();
    const QByteArray file = segment(u"seg_000.ts"_s) + segment(u"seg_003.ts"_s);
    bool honoursRange = true;
    serveInParts(u"/media/joined.ts"_s, file, honoursRange);
    const QUrl url = service.mediaUrl(u"joined.ts"_s);

    EXPECT_NEAR(read(url, {}).value_or(0), firstPartStart, 0.01);
    EXPECT_EQ(service.requests().last().header("Range"), "bytes=0-65535");
    EXPECT_NEAR(read(url, std::pair(join, 2000)).value_or(0), secondPartStart, 0.01);
    EXPECT_EQ(service.requests().last().header("Range"),
        "bytes=" + QByteArray::number(join) + '-' + QByteArray::number(join + 1999));

    // The whole file instead: its head is the first segment's, and no later one's.
    honoursRange = false;
    EXPECT_NEAR(read(url, {}).value_or(0), firstPartStart, 0.01);
    EXPECT_EQ(read(url, std::pair(join, 2000)), std::nullopt);
    EXPECT_EQ(read(service.mediaUrl(u"joined/480p/seg_404.ts"_s), {}), std::nullopt);
}

TEST_F(SegmentStartRead, AWholeFileIsNotReadPastItsHead)
{
    test::RawHttpServer raw;
    ASSERT_TRUE(raw.start());
    raw.setBehaviour({ .head = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n",
        .body = segment(u"seg_000.ts"_s).first(segmentHeadBytes),
        .streamBytes = 512LL * 1024 * 1024 });
    EXPECT_NEAR(read(raw.origin().resolved(u"/seg.ts"_s), {}).value_or(0), firstPartStart, 0.01);
    ASSERT_TRUE(test::waitUntil([&] { return raw.closedCount() == 1; }));
    // The system's buffers take a few MiB; a transfer read on took hundreds.
    EXPECT_LT(raw.streamedBytes(), 16 * 1024 * 1024);
}

TEST_F(SegmentStartRead, ASilentServerEndsWithTheTimeOut)
{
    service.on("GET", u"/media/silent.ts"_s, test::ScriptedAnswer::file().withDelay(30s));
    EXPECT_EQ(read(service.mediaUrl(u"silent.ts"_s), {}, 300ms), std::nullopt);
}

TEST_F(SegmentStartRead, AddressesOffTheWebAreNotRead)
{
    const QUrl local = QUrl::fromLocalFile(test::fixturePath(u"joined/480p/seg_000.ts"_s));
    EXPECT_EQ(read(local, {}), std::nullopt);
    EXPECT_EQ(read(QUrl(u"data:video/mp2t;base64,"_s
                       + QString::fromLatin1(segment(u"seg_000.ts"_s).first(1024).toBase64())),
                  {}),
        std::nullopt);
    test::RawHttpServer raw;
    ASSERT_TRUE(raw.start());
    raw.setBehaviour({ .head = "HTTP/1.1 302 Found\r\nLocation: " + local.toEncoded()
            + "\r\nContent-Length: 0\r\n\r\n" });
    EXPECT_EQ(read(raw.origin().resolved(u"/seg.ts"_s), {}), std::nullopt);
    EXPECT_EQ(raw.requestCount(), 1);
}

TEST_F(SegmentStartRead, ReadsAMapAndAFragmentedHeadThroughTheBoundedRead)
{
    // The second part of the restart episode, its map and segment in one file as byte ranges.
    const QByteArray init = fixture(u"restart/fmp4/init_2.mp4"_s);
    const QByteArray second = fixture(u"restart/fmp4/p2_006.m4s"_s);
    const QByteArray file = init + second;
    const bool honoursRange = true;
    serveInParts(u"/media/joined.mp4"_s, file, honoursRange);
    const QUrl url = service.mediaUrl(u"joined.mp4"_s);

    const Fmp4MapHead read
        = test::runTask(readFmp4Map(network, url, std::pair(0, init.size()), 5s, {}), 7s);
    ASSERT_TRUE(read.map);
    EXPECT_EQ(read.map, parseFmp4Map(init));
    EXPECT_EQ(service.requests().last().header("Range"),
        "bytes=0-" + QByteArray::number(init.size() - 1));
    const SegmentHead head = test::runTask(
        readFmp4SegmentHead(network, url, std::pair(init.size(), second.size()), *read.map, 5s, {}),
        7s);
    EXPECT_NEAR(head.startTime.value_or(-1), 4.020996, 1e-6);
    EXPECT_EQ(service.requests().last().header("Range"),
        "bytes=" + QByteArray::number(init.size()) + '-'
            + QByteArray::number(init.size() + segmentHeadBytes - 1));

    // Files of their own: the map asked for up to its bound, the head up to its own.
    const Fmp4MapHead whole = test::runTask(
        readFmp4Map(network, service.mediaUrl(u"restart/fmp4/init_2.mp4"_s), {}, 5s, {}), 7s);
    EXPECT_EQ(whole.map, read.map);
    EXPECT_EQ(service.requests().last().header("Range"),
        "bytes=0-" + QByteArray::number(fmp4MapBytes - 1));
    const SegmentHead first
        = test::runTask(readFmp4SegmentHead(network, service.mediaUrl(u"restart/fmp4/p2_004.m4s"_s),
                            {}, *read.map, 5s, {}),
            7s);
    EXPECT_NEAR(first.startTime.value_or(-1), 0.020996, 1e-6);

    const Fmp4MapHead missing = test::runTask(
        readFmp4Map(network, service.mediaUrl(u"restart/fmp4/init_9.mp4"_s), {}, 5s, {}), 7s);
    EXPECT_TRUE(missing.refused);
    EXPECT_EQ(missing.map, std::nullopt);
    const Fmp4MapHead notAMap = test::runTask(
        readFmp4Map(network, service.mediaUrl(u"restart/fmp4/p2_004.m4s"_s), {}, 5s, {}), 7s);
    EXPECT_FALSE(notAMap.refused);
    EXPECT_EQ(notAMap.map, std::nullopt);
    const Fmp4MapHead local = test::runTask(
        readFmp4Map(network, QUrl::fromLocalFile(test::fixturePath(u"restart/fmp4/init_2.mp4"_s)),
            {}, 5s, {}),
        7s);
    EXPECT_EQ(local.map, std::nullopt) << "off the web";
}
} // namespace
