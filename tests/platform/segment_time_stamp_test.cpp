#include "platform/SegmentTimeStamp.h"
#include "support/Fixtures.h"
#include "support/RawHttpServer.h"
#include "support/ServiceDouble.h"
#include "support/TestAsync.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QRandomGenerator>
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

class SegmentStartRead : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(service.start()); }

    std::optional<double> read(const QUrl &url, Part part, std::chrono::milliseconds timeout = 5s)
    {
        return test::runTask(readSegmentHead(network, url, part, timeout, {}), timeout + 2s)
            .startTime;
    }

    test::ServiceDouble service;
    QNetworkAccessManager network;
};

TEST_F(SegmentStartRead, AsksForTheHeadAloneAndTakesNoOtherPart)
{
    const qint64 join = segment(u"seg_000.ts"_s).size();
    const QByteArray file = segment(u"seg_000.ts"_s) + segment(u"seg_003.ts"_s);
    bool honoursRange = true;
    service.handle("GET", u"/media/joined.ts"_s, [&](const test::RecordedRequest &request) {
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
} // namespace
