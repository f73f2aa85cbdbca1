#include "platform/WebVttCues.h"

#include <gtest/gtest.h>

using namespace orvella;

namespace {

TEST(WebVttTest, MapsCuesOntoTheMpegTsClock)
{
    const QByteArray segment = "WEBVTT\r\nX-TIMESTAMP-MAP=MPEGTS:126000,LOCAL:00:00:00.000\r\n\r\n"
                               "1\r\n00:00:04.200 --> 00:00:05.800 align:center\r\nCaption 3\r\n"
                               "second line\r\n\r\n"
                               "00:06.200 --> 00:07.800\r\nCaption 4\r\n";
    const auto cues = parseWebVtt(segment);
    ASSERT_EQ(cues.size(), 2);
    EXPECT_NEAR(cues[0].start, 5.6, 1e-9);
    EXPECT_NEAR(cues[0].end, 7.2, 1e-9);
    EXPECT_EQ(cues[0].text, QStringLiteral("Caption 3\nsecond line"));
    EXPECT_NEAR(cues[1].start, 7.6, 1e-9) << "minutes and seconds only";
    EXPECT_TRUE(parseWebVtt("not a caption file").isEmpty());
}

TEST(WebVttTest, LocalOffsetShiftsTheOtherWay)
{
    const auto cues = parseWebVtt("WEBVTT\nX-TIMESTAMP-MAP=LOCAL:00:00:10.000,MPEGTS:900000\n\n"
                                  "00:00:12.000 --> 00:00:13.000\nHello\n");
    ASSERT_EQ(cues.size(), 1);
    EXPECT_NEAR(cues[0].start, 12.0, 1e-9);
}

TEST(WebVttTest, WritesOneFileOnThePlaybackClock)
{
    const QList<WebVttCue> cues { { 1.0, 2.0, QStringLiteral("gone") },
        { 5.6, 7.2, QStringLiteral("Caption 3") }, { 3661.5, 3662.0, QStringLiteral("late") } };
    const QString text = QString::fromUtf8(writeWebVtt(cues, -3.4));
    EXPECT_TRUE(text.startsWith(QStringLiteral("WEBVTT\n\n")));
    EXPECT_FALSE(text.contains(QStringLiteral("gone"))) << "cues before the stream began";
    EXPECT_TRUE(text.contains(QStringLiteral("00:00:02.200 --> 00:00:03.800\nCaption 3\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("01:00:58.100 --> 01:00:58.600\nlate")));
}

TEST(WebVttTest, ReadingStopsJustPastTheBound)
{
    QByteArray file = "WEBVTT\n\n";
    for (int i = 0; i < 50; ++i)
        file += "00:00:0" + QByteArray::number(i % 10) + ".000 --> 00:00:09.000\nCue\n\n";
    EXPECT_EQ(parseWebVtt(file).size(), 50);
    EXPECT_EQ(parseWebVtt(file, 10).size(), 11) << "one past the bound tells it was passed";
}

TEST(WebVttTest, ARenditionHoldsEachCueOnceInOrder)
{
    const WebVttCue a { 12.0, 13.0, QStringLiteral("a") };
    const WebVttCue b { 10.0, 11.0, QStringLiteral("b") };
    const WebVttCue c { 14.0, 16.0, QStringLiteral("c") };
    WebVttCueSet set;
    set.add({ a, b });
    set.add({ b, c, a }); // segments of a live window list cues again
    EXPECT_EQ(set.size(), 3);
    EXPECT_EQ(set.textBytes(), 3 * qint64(sizeof(QChar)));
    const QString written = QString::fromUtf8(set.write(-10.0));
    EXPECT_LT(written.indexOf(u"\nb\n"), written.indexOf(u"\na\n")) << "ordered by start";
    EXPECT_LT(written.indexOf(u"\na\n"), written.indexOf(u"\nc\n"));

    // The live window moved past 13.5 s: what ends before it can no longer be shown.
    set.dropEndingBefore(13.5);
    EXPECT_EQ(set.size(), 1);
    EXPECT_EQ(set.textBytes(), qint64(sizeof(QChar)));
    set.add({ a });
    EXPECT_EQ(set.size(), 2) << "a cue listed again after it was dropped comes back";
}

} // namespace
