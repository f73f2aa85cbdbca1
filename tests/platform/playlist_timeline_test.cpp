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

using Answer = PlaylistTimeline::Answer;
using Step = PlaylistTimeline::Plan::Step;

// A seek stays in the file libmpv holds (no head read, no load).
bool inFile(const PlaylistTimeline &timeline, double item, const QList<MediaTimeRange> &cached)
{
    return timeline.plan(item, cached, true, false).step == Step::InFile;
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

    const PlaylistTimeline plain = timelineOf("#EXTM3U\n#EXTINF:2,\na.ts\n#EXT-X-ENDLIST\n");
    EXPECT_FALSE(plain.keepsTime()) << "one part of MPEG-TS is libmpv's time";

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
    timeline.fileLoaded(0);
    play(timeline, 0.02, 11.9);
    EXPECT_NEAR(timeline.position(), 11.9, 0.05) << "the second part goes on from the first";
    play(timeline, 0.02, 1.0);
    EXPECT_NEAR(timeline.position(), 13.0, 0.05) << "the third starts its time stamps again";
    EXPECT_NEAR(timeline.itemTime(1.5), 13.5, 0.05);
}

// The second part of the joined text: its segments' addresses, 2 s each from 6 s of the item.
PlaylistTimeline::Head headAt(const PlaylistTimeline &timeline, double item)
{
    const auto head = timeline.headForSeek(item);
    return head.value_or(PlaylistTimeline::Head {});
}

TEST(PlaylistTimelineTest, APartIsPlacedByTheHeadOfItsSegmentNeverByWhereASeekLands)
{
    // libmpv counts the item from its first stamp, 1.4; the second part is stamped 1001.4 on.
    PlaylistTimeline timeline = timelineOf(joinedText());
    timeline.fileLoaded(1.4);
    EXPECT_FALSE(inFile(timeline, 9, {})) << "not placed yet";
    const PlaylistTimeline::Head head = headAt(timeline, 9);
    EXPECT_EQ(head.url.fileName(), u"seg_004.ts");
    EXPECT_TRUE(head.readable);
    // Its server refuses the target's segment: the next one's head tells as much.
    timeline.headRead(head, Answer::Refused, std::nullopt);
    const PlaylistTimeline::Head next = headAt(timeline, 9);
    EXPECT_EQ(next.url.fileName(), u"seg_005.ts");
    timeline.headRead(next, Answer::Served, 1005.4);
    ASSERT_TRUE(inFile(timeline, 9, {}));
    const PlaylistTimeline::Seek seek = timeline.seekTo(9, {});
    EXPECT_NEAR(seek.raw, 1003, 1e-9);
    EXPECT_NEAR(seek.raw - seek.demuxerOffset, 9, 1e-9) << "the reader asked for the item's time";
    EXPECT_EQ(timeline.position(), 9) << "where the seek goes while it runs";
    // The reader landed past the target: where it landed is shown, nothing learnt from it.
    EXPECT_FALSE(timeline.landed(1004.0));
    EXPECT_NEAR(timeline.position(), 10, 1e-9);
    EXPECT_NEAR(timeline.seekTo(7, {}).raw, 1001, 1e-9) << "the part stays where its head put it";
    EXPECT_FALSE(timeline.headForSeek(7)) << "read once";

    // Played across the join into a part whose first segment is refused, placed ahead of it:
    // positions in it are the picture's.
    PlaylistTimeline played = timelineOf(joinedText());
    played.fileLoaded(1.4);
    ASSERT_TRUE(played.headAhead());
    EXPECT_EQ(played.headAhead()->url.fileName(), u"seg_003.ts");
    played.headRead(*played.headAhead(), Answer::Refused, std::nullopt);
    played.headRead(*played.headAhead(), Answer::Served, 1003.4);
    play(played, 5.0, 5.9);
    play(played, 1002.0, 1002.5);
    EXPECT_NEAR(played.position(), 8.5, 0.05);
}

TEST(PlaylistTimelineTest, PartsThatShareTheirStampsLoadFromTheTargetsSegment)
{
    PlaylistTimeline timeline = threeParts(6, 2, 4);
    timeline.fileLoaded(1.4);
    // The second part's head (4 s on): its stamps start again.
    timeline.headRead(headAt(timeline, 5), Answer::Served, 1.4);
    EXPECT_FALSE(inFile(timeline, 5, {}));
    EXPECT_EQ(timeline.loadFor(5).from, 4);

    // Its segment's load: libmpv counts from the segment's stamp.
    timeline.beginLoad(4);
    timeline.fileLoaded(1.4);
    EXPECT_NEAR(timeline.itemTime(0.5), 4.5, 1e-9);
    // The third part is placed by playing into it from the cut, 500 s on.
    play(timeline, 0.02, 3.9);
    play(timeline, 500.02, 500.5);
    EXPECT_NEAR(timeline.position(), 8.5, 0.1);

    // Back to the whole playlist: what the cut learnt of the third part holds there.
    ASSERT_FALSE(inFile(timeline, 1, {})) << "before the load's start";
    EXPECT_EQ(timeline.loadFor(1).from, 0);
    timeline.beginLoad(0);
    timeline.fileLoaded(1.4);
    EXPECT_TRUE(inFile(timeline, 9, {})) << "placed, stamped past its place";
    EXPECT_FALSE(inFile(timeline, 5, {})) << "shares the first part's stamps";
}

TEST(PlaylistTimelineTest, ALoadWhoseFirstSegmentIsPassedOverCountsFromTheNext)
{
    PlaylistTimeline timeline = threeParts(6, 2, 4);
    timeline.fileLoaded(1.4);
    timeline.headRead(headAt(timeline, 5), Answer::Served, 1.4);
    // Loaded from 4 s, the reader's first stamp is the next segment's: it opened that one.
    timeline.beginLoad(4);
    timeline.fileLoaded(1.4 + 2);
    EXPECT_NEAR(timeline.origin(), 6, 1e-9);
    EXPECT_NEAR(timeline.itemTime(0.5), 6.5, 1e-9);
}

TEST(PlaylistTimelineTest, AnotherVariantTakesThePartsButNotTheSegments)
{
    // The same 12 s as 6-s segments and as 2-s segments, joined at 6 s.
    const auto variant = [](int seconds) {
        QByteArray text = "#EXTM3U\n";
        for (int at = 0; at < 12; at += seconds)
            text += QByteArray(at == 6 ? "#EXT-X-DISCONTINUITY\n" : "")
                + "#EXTINF:" + QByteArray::number(seconds) + ",\n" + QByteArray::number(seconds)
                + "s" + QByteArray::number(at) + ".ts\n";
        return timelineOf(text + "#EXT-X-ENDLIST\n");
    };
    PlaylistTimeline wide = variant(6);
    wide.fileLoaded(1.4);
    wide.headRead(headAt(wide, 7), Answer::Refused, std::nullopt);
    PlaylistTimeline narrow = variant(2);
    narrow.keepLearnt(wide);
    EXPECT_EQ(headAt(narrow, 9).url.fileName(), u"2s8.ts") << "its own segment, not refused";
    narrow.headRead(headAt(narrow, 9), Answer::Served, 1.4 + 3);
    PlaylistTimeline back = variant(6);
    back.keepLearnt(narrow);
    EXPECT_FALSE(back.headForSeek(9)) << "the part was placed on the other variant";
    EXPECT_EQ(back.loadFor(9).from, 6);
}

TEST(PlaylistTimelineTest, FragmentedSegmentsAreReachedInTheCacheFromTheirSegmentsLoad)
{
    QByteArray text = "#EXTM3U\n#EXT-X-MAP:URI=\"init.mp4\"\n";
    for (int i = 0; i < 10; ++i)
        text += "#EXTINF:2,\np" + QByteArray::number(i) + ".m4s\n";
    PlaylistTimeline timeline = timelineOf(text + "#EXT-X-ENDLIST\n");
    ASSERT_TRUE(timeline.keepsTime());
    EXPECT_FALSE(timeline.isJoined());
    timeline.fileLoaded(0.02);
    EXPECT_TRUE(inFile(timeline, 1.5, { { 0, 2 } })) << "in the cache";
    EXPECT_FALSE(inFile(timeline, 13, { { 0, 2 } }));
    EXPECT_EQ(timeline.loadFor(13).from, 12);
    EXPECT_EQ(timeline.loadFor(1).from, 0);
    EXPECT_NEAR(timeline.loadFor(13).readAhead, 5, 1e-9)
        << "through the segment after the target's";

    timeline.beginLoad(12);
    timeline.fileLoaded(12.02);
    const PlaylistTimeline::Seek start = timeline.seekTo(13, {});
    EXPECT_TRUE(start.cacheOnly);
    const auto onward = timeline.landed(0);
    ASSERT_TRUE(onward) << "from the segment's first picture, on in the cache";
    EXPECT_NEAR(onward->raw, 1, 1e-9);
    EXPECT_TRUE(onward->cacheOnly);
    EXPECT_EQ(timeline.position(), 13);
    EXPECT_FALSE(timeline.landed(1.0));
    EXPECT_NEAR(timeline.position(), 13, 1e-9);
}

} // namespace

namespace {

// Two parts of fragmented MP4 with a map each, of `segments` 2-s segments each.
PlaylistTimeline fragmentedJoin(int segments)
{
    QByteArray text = "#EXTM3U\n";
    for (int part = 1; part <= 2; ++part) {
        if (part == 2)
            text += "#EXT-X-DISCONTINUITY\n";
        text += "#EXT-X-MAP:URI=\"init_" + QByteArray::number(part) + ".mp4\"\n";
        for (int i = 0; i < segments; ++i)
            text += "#EXTINF:2,\np" + QByteArray::number(part) + "_" + QByteArray::number(i)
                + ".m4s\n";
    }
    return timelineOf(text + "#EXT-X-ENDLIST\n");
}

} // namespace

TEST(PlaylistTimelineTest, ASeekIsPlannedAsOneValueOnEveryShape)
{
    // One part of MPEG-TS: libmpv's own seek.
    const PlaylistTimeline plain = timelineOf("#EXTM3U\n#EXTINF:2,\na.ts\n#EXT-X-ENDLIST\n");
    const auto plainPlan = plain.plan(1.5, {}, true);
    EXPECT_EQ(plainPlan.step, Step::InFile);
    EXPECT_EQ(plainPlan.seek.raw, 1.5);

    // A joined part not placed: its head first; once placed, in the file; with no more heads
    // allowed, or before the file opened, a load from the target's segment.
    PlaylistTimeline joined = timelineOf(joinedText());
    joined.fileLoaded(1.4);
    const auto first = joined.plan(9, {}, true);
    ASSERT_EQ(first.step, Step::ReadHead);
    EXPECT_EQ(first.head->url.fileName(), u"seg_004.ts");
    EXPECT_EQ(joined.plan(9, {}, true, false).step, Step::Load);
    EXPECT_EQ(joined.plan(9, {}, false).load.from, 8) << "no head while no file is open";
    joined.headRead(*first.head, Answer::Served, 1003.4);
    const auto placed = joined.plan(9, {}, true);
    ASSERT_EQ(placed.step, Step::InFile);
    EXPECT_NEAR(placed.seek.raw, 1003, 1e-9);
    EXPECT_FALSE(placed.seek.cacheOnly);

    // A head that told nothing is not read again: the seek loads.
    PlaylistTimeline sealed = timelineOf("#EXTM3U\n#EXTINF:2,\na.ts\n#EXT-X-DISCONTINUITY\n"
                                         "#EXT-X-KEY:METHOD=AES-128,URI=\"k\"\n#EXTINF:2,\nb.ts\n"
                                         "#EXT-X-ENDLIST\n");
    sealed.fileLoaded(1.4);
    const auto sealedHead = sealed.plan(3, {}, true);
    ASSERT_EQ(sealedHead.step, Step::ReadHead);
    EXPECT_FALSE(sealedHead.head->readable);
    sealed.headRead(*sealedHead.head, Answer::Served, std::nullopt);
    EXPECT_EQ(sealed.plan(3, {}, true).step, Step::Load);

    // One part of fragmented MP4: the cache, else a load from the target's segment reading on
    // past it, never ended early.
    PlaylistTimeline fragments = fragmentedJoin(5);
    fragments.fileLoaded(0.02);
    const auto cached = fragments.plan(1.5, { { 0.02, 3 } }, true);
    EXPECT_EQ(cached.step, Step::InFile);
    EXPECT_TRUE(cached.seek.cacheOnly);
    const auto beyond = fragments.plan(5, { { 0.02, 3 } }, true);
    ASSERT_EQ(beyond.step, Step::Load);
    EXPECT_EQ(beyond.load.from, 4);
    EXPECT_GT(beyond.load.readAhead, 3);
}

TEST(PlaylistTimelineTest, FragmentedPartsWhoseStampsGoBackAreLoadedOneAtATime)
{
    PlaylistTimeline timeline = fragmentedJoin(5);
    // Nothing tells yet whether the second part runs on: the first load ends at the join.
    const PlaylistTimeline::Load whole = timeline.loadFor(0);
    EXPECT_EQ(whole.from, 0);
    EXPECT_EQ(whole.until, 10);
    timeline.beginLoad(whole.from, whole.until);
    timeline.fileLoaded(0.02);
    EXPECT_EQ(timeline.loadEnd(), 10);
    EXPECT_EQ(timeline.plan(10.5, { { 0.02, 10 } }, true, false).step, Step::Load)
        << "past the load's end, whatever the cache holds";

    // Played to the join, the second part's own load; it counts from its own first stamp.
    timeline.beginLoad(10, std::nullopt);
    timeline.fileLoaded(0.02);
    play(timeline, 0.06, 1.5);
    EXPECT_NEAR(timeline.position(), 11.5, 0.05);
    // Back to the last segment before the join: loaded from that segment up to the join, so no
    // load ever holds the second part's pictures, stamped below the target's.
    const auto back = timeline.plan(9.3, { { 0.02, 4 } }, true);
    ASSERT_EQ(back.step, Step::Load);
    EXPECT_EQ(back.load.from, 8);
    EXPECT_EQ(back.load.until, 10);
    // Forth from the first part into the second: a load from its segment, to the item's end.
    timeline.beginLoad(8, 10);
    timeline.fileLoaded(8.02);
    const auto forth = timeline.plan(13, { { 8.02, 2 } }, true);
    ASSERT_EQ(forth.step, Step::Load);
    EXPECT_EQ(forth.load, (PlaylistTimeline::Load { 12, std::nullopt, 5 }));

    // A second part placed running on from the first is one load again.
    PlaylistTimeline runsOn = fragmentedJoin(5);
    runsOn.beginLoad(0, 10);
    runsOn.fileLoaded(0.02);
    const auto ahead = runsOn.headAhead();
    ASSERT_TRUE(ahead);
    runsOn.headRead(*ahead, Answer::Served, 10.02);
    EXPECT_FALSE(runsOn.loadFor(0).until);
}

TEST(PlaylistTimelineTest, HeadsRefusedForNowAreAskedAgainAndHeadsAheadStopAfterThree)
{
    PlaylistTimeline timeline = threeParts(12, 2, 10);
    timeline.fileLoaded(1.4);
    // Ahead of playback: three refused in a row, then no more.
    for (int refused = 0; refused < PlaylistTimeline::mostRefusedInARow; ++refused) {
        const auto head = timeline.headAhead();
        ASSERT_TRUE(head) << refused;
        EXPECT_EQ(head->segment, size_t(2 + refused));
        timeline.headRead(*head, Answer::Refused, std::nullopt);
    }
    EXPECT_FALSE(timeline.headAhead());

    // For a seek: a 503 is passed over now and asked again by the next seek; a 404 is not.
    PlaylistTimeline seeking = threeParts(12, 2, 10);
    seeking.fileLoaded(1.4);
    seeking.aim(13);
    const auto busy = seeking.plan(13, {}, true);
    ASSERT_EQ(busy.step, Step::ReadHead);
    EXPECT_EQ(busy.head->segment, 6u);
    seeking.headRead(*busy.head, Answer::RefusedForNow, std::nullopt);
    EXPECT_EQ(seeking.plan(13, {}, true).head->segment, 7u);
    seeking.aim(13);
    EXPECT_EQ(seeking.plan(13, {}, true).head->segment, 6u) << "asked again";
    seeking.headRead(*busy.head, Answer::Refused, std::nullopt);
    seeking.aim(13);
    EXPECT_EQ(seeking.plan(13, {}, true).head->segment, 7u) << "refused for good";
}

TEST(PlaylistTimelineTest, AHeadPlacesAgainAPartPlacedWhereALoadOfItBegan)
{
    PlaylistTimeline timeline = fragmentedJoin(5);
    timeline.beginLoad(0, 10);
    timeline.fileLoaded(0.02);
    const auto second = timeline.headForSeek(12.5);
    ASSERT_TRUE(second);
    ASSERT_TRUE(second->readable);
    // The second part's load: its first segment never came and the reader began at the next,
    // which nothing tells yet.
    timeline.beginLoad(10, std::nullopt);
    timeline.fileLoaded(2.02);
    play(timeline, 0.0, 1.0);
    EXPECT_NEAR(timeline.position(), 11, 0.05);
    // The next segment's head tells where the part's stamps lie: the picture is 2 s further on.
    timeline.headRead(*second, Answer::Served, 2.02);
    play(timeline, 1.04, 1.5);
    EXPECT_NEAR(timeline.position(), 13.5, 0.05);
}
