#include "platform/PlaylistTimeline.h"

#include <gtest/gtest.h>

using namespace orvella;

namespace {

// Two parts of three 2-s segments, as FFmpeg's muxer appends them (a discontinuity before the
// first segment too); libmpv reports the second part's time stamps from 1000 s on.
QByteArray joinedText(bool ended = true)
{
    QByteArray text = "#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXT-X-MEDIA-SEQUENCE:0\n"
                      "#EXT-X-DISCONTINUITY\n#EXT-X-DISCONTINUITY\n";
    for (int i = 0; i < 6; ++i) {
        if (i == 3)
            text += "#EXT-X-DISCONTINUITY\n";
        text += "#EXTINF:2.000000,\nseg_00" + QByteArray::number(i) + ".ts\n";
    }
    return ended ? text + "#EXT-X-ENDLIST\n" : text;
}

PlaylistTimeline timelineOf(const QByteArray &text)
{
    const auto playlist = parseHlsMedia(text, QUrl(QStringLiteral("http://127.0.0.1:9/j/")));
    return playlist ? PlaylistTimeline(*playlist) : PlaylistTimeline();
}

// Three parts of 2-s segments, joined before the segments `second` and `third`.
PlaylistTimeline threeParts(int segments, int second, int third)
{
    QByteArray text = "#EXTM3U\n";
    for (int i = 0; i < segments; ++i)
        text += QByteArray(i == second || i == third ? "#EXT-X-DISCONTINUITY\n" : "")
            + "#EXTINF:2,\ns" + QByteArray::number(i) + ".ts\n";
    return timelineOf(text + "#EXT-X-ENDLIST\n");
}

void play(PlaylistTimeline &timeline, double from, double to)
{
    for (double raw = from; raw <= to; raw += 0.04)
        timeline.observe(raw);
}

TEST(PlaylistTimelineTest, OnlyAnEndedPlaylistWithADiscontinuityBetweenSegmentsIsJoined)
{
    const PlaylistTimeline joined = timelineOf(joinedText());
    EXPECT_TRUE(joined.isJoined());
    EXPECT_EQ(joined.length(), 12);

    const PlaylistTimeline window = timelineOf(joinedText(false));
    EXPECT_FALSE(window.isJoined()) << "a live window keeps libmpv's time";
    EXPECT_EQ(window.itemTime(1003), 1003);

    const PlaylistTimeline sequenceOnly
        = timelineOf("#EXTM3U\n#EXT-X-DISCONTINUITY-SEQUENCE:4\n#EXT-X-DISCONTINUITY\n"
                     "#EXTINF:2,\na.ts\n#EXTINF:2,\nb.ts\n#EXT-X-ENDLIST\n");
    EXPECT_FALSE(sequenceOnly.isJoined()) << "nothing joined after the first segment";
    EXPECT_EQ(sequenceOnly.itemRanges({ { 5, 1 } }), (QList<MediaTimeRange> { { 5, 1 } }));

    const PlaylistTimeline hostile
        = timelineOf("#EXTM3U\n#EXTINF:inf,\na.ts\n#EXT-X-DISCONTINUITY\n"
                     "#EXTINF:-3,\nb.ts\n#EXTINF:2,\nc.ts\n"
                     "#EXT-X-ENDLIST\n");
    EXPECT_EQ(hostile.length(), 2) << "durations that are no length count as none";
}

TEST(PlaylistTimelineTest, PartsOnTimeStampsThatGoOnOrStartAgain)
{
    // Three parts: time stamps go on over the first join and start again at 0 after the second.
    PlaylistTimeline timeline = threeParts(9, 3, 6);
    play(timeline, 0.02, 11.9);
    EXPECT_NEAR(timeline.position(), 11.9, 0.05) << "the second part goes on from the first";
    play(timeline, 0.02, 1.0);
    EXPECT_NEAR(timeline.position(), 13.0, 0.05) << "the third starts its time stamps again";
    EXPECT_NEAR(timeline.itemTime(1.5), 13.5, 0.05);
}

// Real playback covers seeks across the join; these are the landings it does not meet.
TEST(PlaylistTimelineTest, SeeksLearnOnlyFromWhereTheyLand)
{
    PlaylistTimeline timeline = timelineOf(joinedText());
    (void)timeline.seekTo(9, {});
    EXPECT_EQ(timeline.position(), 9) << "where the seek goes while it runs";
    EXPECT_FALSE(timeline.landed(0.02, {}))
        << "the reader could not seek: it stayed in the first part";
    EXPECT_NEAR(timeline.position(), 0.02, 1e-9);
    EXPECT_EQ(timeline.seekTo(9, {}).raw, 9) << "the part is still to be placed";
    const auto onward = timeline.landed(1002.0, {});
    ASSERT_TRUE(onward);
    EXPECT_EQ(onward->raw, 1003);
    EXPECT_EQ(timeline.seekTo(9.5, { { 1002, 2 } }).demuxerOffset, 0) << "the cache seeks raw";
    const auto ranges = timeline.itemRanges({ { 0, 1005.99 } });
    ASSERT_EQ(ranges.size(), 1);
    EXPECT_NEAR(ranges[0].end(), 11.99, 1e-9) << "a range read across the join";

    PlaylistTimeline fresh = timelineOf(joinedText());
    EXPECT_NEAR(fresh.seekTo(8, {}).raw, 8.25, 1e-9) << "asked inside its segment";
    EXPECT_FALSE(fresh.landed(1002.0, {})) << "the segment's start is the target";
    EXPECT_EQ(fresh.position(), 8);
}

TEST(PlaylistTimelineTest, WhatIsReadOfAPartNotPlacedEndsWithThePartPlaying)
{
    // Playing the first part, libmpv has read into the second, stamped from 1000 s on.
    PlaylistTimeline timeline = timelineOf(joinedText());
    play(timeline, 0.02, 4.0);
    const auto ranges = timeline.itemRanges({ { 0, 1001.5 } });
    ASSERT_EQ(ranges.size(), 1);
    EXPECT_NEAR(ranges[0].end(), 6, 1e-9) << "not the item's end";
    EXPECT_NEAR(timeline.itemTime(1001.5), 6, 1e-9);
}

TEST(PlaylistTimelineTest, ALoadFromOneSegmentOnKeepsWhatWasLearntOnItsFooting)
{
    // Three parts of two segments: the second starts its stamps again, the third jumps on.
    PlaylistTimeline timeline = threeParts(6, 2, 4);
    play(timeline, 0.02, 3.9);
    play(timeline, 0.02, 3.9);
    play(timeline, 500.02, 500.5);
    EXPECT_NEAR(timeline.position(), 8.5, 0.1) << "all three parts placed";
    EXPECT_FALSE(timeline.seeksInPlace(1, {}))
        << "the second part's stamps are the first's: its segment is loaded";
    EXPECT_EQ(timeline.loadStart(1), 0);
    EXPECT_EQ(timeline.loadStart(5), 4);

    // From the second part's second segment on, libmpv counts from 0 at 6 s of the item.
    timeline.beginLoad(6);
    (void)timeline.seekTo(6.5, {});
    EXPECT_FALSE(timeline.landed(0.5, {}));
    EXPECT_NEAR(timeline.position(), 6.5, 1e-9);
    EXPECT_TRUE(timeline.seeksInPlace(9, {})) << "the third part, placed, stamped past its place";
    // Stamped 501, counted from the load's first stamp, 2 (the second part's at 6 s).
    EXPECT_NEAR(timeline.seekTo(9, {}).raw, 499, 1e-9);
    EXPECT_FALSE(timeline.seeksInPlace(2, {})) << "before the load's start";
}

} // namespace
