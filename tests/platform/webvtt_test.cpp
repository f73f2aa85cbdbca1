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

// Three parts on the same times (each 1.4 s on, as FFmpeg stamps them): "CAP <part><second>".
WebVttCueSet restartingParts()
{
    WebVttCueSet set;
    for (int part = 0; part < 3; ++part) {
        for (int second = 0; second < 8; second += 2)
            set.add({ { 1.6 + second, 3.2 + second,
                QStringLiteral("CAP %1%2").arg(part).arg(second), part } });
    }
    return set;
}

QStringList written(const WebVttCueSet &set, double offset, const CueWindow &window)
{
    QStringList lines = QString::fromUtf8(set.write(offset, window)).split(u'\n');
    lines.removeIf([](const QString &line) { return line.isEmpty() || line == u"WEBVTT"; });
    return lines;
}

TEST(WebVttTest, PartsOnTheSameTimesAreToldFromPartsThatRunOn)
{
    EXPECT_TRUE(restartingParts().partsRestart());

    WebVttCueSet runOn;
    for (int part = 0; part < 3; ++part) {
        for (int second = 0; second < 8; second += 2)
            runOn.add({ { part * 8 + 1.6 + second, part * 8 + 3.2 + second, QStringLiteral("x"),
                part } });
        // The part's last cue runs over the join, and the next part's first file lists it too.
        runOn.add({ { part * 8 + 9.0, part * 8 + 10.0, QStringLiteral("over"), part },
            { part * 8 + 9.0, part * 8 + 10.0, QStringLiteral("over"), part + 1 } });
    }
    EXPECT_FALSE(runOn.partsRestart()) << "a cue carried over a join is no restart";
    runOn.add({ { 1030.0, 1031.0, QStringLiteral("far on"), 3 } });
    EXPECT_FALSE(runOn.partsRestart());

    WebVttCueSet one;
    one.add({ { 5, 6, QStringLiteral("b") }, { 1, 2, QStringLiteral("a") } });
    EXPECT_FALSE(one.partsRestart());
    EXPECT_EQ(one.earliestStart(), 1.0);
    EXPECT_FALSE(WebVttCueSet().earliestStart());

    // The same cue in two parts is two cues: one carried over a join, or parts on the same times.
    WebVttCueSet twice;
    twice.add({ { 1, 2, QStringLiteral("same"), 0 }, { 1, 2, QStringLiteral("same"), 1 } });
    EXPECT_EQ(twice.size(), 2);
    EXPECT_FALSE(twice.partsRestart());
    twice.add({ { 5, 6, QStringLiteral("later"), 0 }, { 5, 6, QStringLiteral("later"), 1 } });
    EXPECT_TRUE(twice.partsRestart());
}

TEST(WebVttTest, AWindowHoldsThePlayingPartAndAtItsEndTheNextPartsFirstCues)
{
    const WebVttCueSet set = restartingParts();
    EXPECT_EQ(written(set, -1.4, {}).size(), 24) << "every cue without a window";
    EXPECT_EQ(written(set, -1.4, { 1, {} }),
        QStringList({ "00:00:00.200 --> 00:00:01.800", "CAP 10", "00:00:02.200 --> 00:00:03.800",
            "CAP 12", "00:00:04.200 --> 00:00:05.800", "CAP 14", "00:00:06.200 --> 00:00:07.800",
            "CAP 16" }));

    // Handing over at 6.9 s on the cue clock (5.5 s on mpv's): the playing part's cue under way
    // starts there, the next part's before it end there, and nothing of the part after.
    EXPECT_EQ(written(set, -1.4, { 1, 6.9 }),
        QStringList({ "00:00:00.200 --> 00:00:01.800", "CAP 20", "00:00:02.200 --> 00:00:03.800",
            "CAP 22", "00:00:04.200 --> 00:00:05.500", "CAP 24", "00:00:05.500 --> 00:00:05.800",
            "CAP 14", "00:00:06.200 --> 00:00:07.800", "CAP 16" }));

    const WebVttCue under { 6.0, 8.0, QStringLiteral("x"), 0 };
    EXPECT_FALSE(cueInWindow(under, { 0, 8.0 })) << "ended by the handover";
    EXPECT_EQ(cueInWindow(under, { 0, 5.0 })->start, 6.0);
    EXPECT_FALSE(cueInWindow(under, { 1, {} }));
    EXPECT_EQ(cueInWindow(under, { -1, 7.0 }), under) << "no part: every cue as it is";
}

TEST(WebVttTest, ALoadFromOneSegmentOnDropsOnlyItsOwnPartsEarlierCues)
{
    WebVttCueSet set = restartingParts();
    // From 4 s into the second part: the third part's cues at the same times stay.
    set.dropEndingBefore(1.4 + 4, 1);
    QStringList kept;
    for (const QString &line : written(set, 0, {})) {
        if (line.startsWith(u"CAP"))
            kept.append(line);
    }
    kept.sort();
    EXPECT_EQ(kept, QStringList({ "CAP 14", "CAP 16", "CAP 20", "CAP 22", "CAP 24", "CAP 26" }));
}

} // namespace
