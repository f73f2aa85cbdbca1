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

TEST(PlaylistTimelineTest, PlaybackAcrossTheJoinKeepsTheItemsTime)
{
    PlaylistTimeline timeline = timelineOf(joinedText());
    play(timeline, 0.02, 5.9);
    EXPECT_NEAR(timeline.position(), 5.9, 0.05);
    // libmpv restarts after the jump: a moment at its last seek's target, then the new part.
    for (const double target : { 0.0, 5.4 }) {
        timeline.observe(target);
        EXPECT_NEAR(timeline.position(), 5.9, 0.05) << "never back to " << target;
    }
    timeline.observe(1000.0);
    EXPECT_NEAR(timeline.position(), 5.9, 0.05) << "nothing shown before playback goes on";
    timeline.observe(1000.04);
    EXPECT_NEAR(timeline.position(), 6.04, 1e-9);
    play(timeline, 1000.08, 1005.99);
    EXPECT_NEAR(timeline.position(), 11.99, 0.05);
    timeline.observe(1006.02);
    EXPECT_EQ(timeline.position(), 12) << "never past the item's length";

    EXPECT_NEAR(timeline.itemTime(1003.5), 9.5, 1e-9);
    EXPECT_NEAR(timeline.itemTime(4), 4, 1e-9) << "what the cache holds of the first part";
    const auto ranges = timeline.itemRanges({ { 0, 1005.99 } });
    ASSERT_EQ(ranges.size(), 1);
    EXPECT_NEAR(ranges[0].end(), 11.99, 1e-9) << "a range read across the join";
}

TEST(PlaylistTimelineTest, PartsOnTimeStampsThatGoOnOrStartAgain)
{
    // Three parts: time stamps go on over the first join and start again at 0 after the second.
    QByteArray text = "#EXTM3U\n";
    for (int i = 0; i < 9; ++i)
        text += QByteArray(i == 3 || i == 6 ? "#EXT-X-DISCONTINUITY\n" : "") + "#EXTINF:2,\ns"
            + QByteArray::number(i) + ".ts\n";
    PlaylistTimeline timeline = timelineOf(text + "#EXT-X-ENDLIST\n");
    play(timeline, 0.02, 11.9);
    EXPECT_NEAR(timeline.position(), 11.9, 0.05) << "the second part goes on from the first";
    play(timeline, 0.02, 1.0);
    EXPECT_NEAR(timeline.position(), 13.0, 0.05) << "the third starts its time stamps again";
    EXPECT_NEAR(timeline.itemTime(1.5), 13.5, 0.05);
}

TEST(PlaylistTimelineTest, ASeekIntoAPartNotPlacedYetLandsAtItsSegmentAndGoesOnToTheTarget)
{
    PlaylistTimeline timeline = timelineOf(joinedText());
    // FFmpeg's reader opens the segment of 8-10 s; libmpv shows its first picture.
    const auto first = timeline.seekTo(9, {});
    EXPECT_EQ(first.raw, 9);
    EXPECT_EQ(first.demuxerOffset, 0);
    EXPECT_EQ(timeline.position(), 9) << "where the seek goes while it runs";
    const auto onward = timeline.landed(1002.0, {});
    ASSERT_TRUE(onward) << "landed a second short of the target";
    EXPECT_EQ(onward->raw, 1003);
    EXPECT_NEAR(onward->raw - onward->demuxerOffset, 9, 0.3) << "FFmpeg reads the same segment";
    EXPECT_FALSE(timeline.landed(1003.0, {}));
    EXPECT_EQ(timeline.position(), 9);
    EXPECT_FALSE(timeline.isSeeking());

    // The part is placed now: its start, inside libmpv's cache and beyond it.
    const auto start = timeline.seekTo(6, {});
    EXPECT_EQ(start.raw, 1000);
    EXPECT_GT(start.raw - start.demuxerOffset, 6) << "FFmpeg reads the part's first segment";
    EXPECT_LT(start.raw - start.demuxerOffset, 7);
    EXPECT_EQ(timeline.seekTo(6, { { 999.5, 2 } }).demuxerOffset, 0) << "the cache seeks raw";
    timeline.seekEnded();
    EXPECT_NEAR(timeline.position(), 9, 1e-9) << "a seek that did not land moved nothing";
    const auto back = timeline.seekTo(2.5, {});
    EXPECT_EQ(back.raw, 2.5);
    EXPECT_EQ(back.demuxerOffset, 0);
    EXPECT_FALSE(timeline.landed(2.521, {}));
    EXPECT_NEAR(timeline.position(), 2.521, 1e-9);

    // A seek the reader could not make lands elsewhere: nothing is learnt from it.
    PlaylistTimeline fresh = timelineOf(joinedText());
    (void)fresh.seekTo(9, {});
    EXPECT_FALSE(fresh.landed(0.02, {}));
    EXPECT_NEAR(fresh.position(), 0.02, 1e-9);
    EXPECT_EQ(fresh.seekTo(9, {}).raw, 9) << "the part is still to be placed";

    // A seek to the start of a segment lands there: nothing more to do.
    fresh = timelineOf(joinedText());
    EXPECT_NEAR(fresh.seekTo(8, {}).raw, 8.25, 1e-9) << "asked inside its segment";
    EXPECT_FALSE(fresh.landed(1002.0, {}));
    EXPECT_EQ(fresh.position(), 8);
}

TEST(PlaylistTimelineTest, AnotherVariantKeepsWhatWasLearnt)
{
    PlaylistTimeline first = timelineOf(joinedText());
    play(first, 0.02, 5.9);
    play(first, 1000.0, 1001.0);
    PlaylistTimeline second = timelineOf(joinedText());
    second.keepLearnt(first);
    EXPECT_NEAR(second.position(), 7.0, 0.05);
    EXPECT_EQ(second.seekTo(7, {}).raw, 1001) << "the part stays placed";

    PlaylistTimeline other = timelineOf("#EXTM3U\n#EXTINF:4,\na.ts\n#EXT-X-DISCONTINUITY\n"
                                        "#EXTINF:4,\nb.ts\n#EXT-X-ENDLIST\n");
    other.keepLearnt(first);
    EXPECT_EQ(other.seekTo(5, {}).raw, 5) << "parts that differ learn again";
}

} // namespace
