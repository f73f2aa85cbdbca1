// An episode joined from two parts by FFmpeg's muxer on libmpv: 20 s whose second part (from
// 6 s on) runs on time stamps from 1000 s on. The player keeps the item's own time across the
// join.
#include "PlaybackFixture.h"
#include "support/TestAsync.h"

#include <gtest/gtest.h>

using namespace orvella;
using namespace orvella::test;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

// Two pictures at 24 a second.
constexpr double exact = 0.09;

struct JoinedPlaylist : PlaybackFixture
{
    void loadJoined(bool autoplay, bool isLive = false, const QString &playlist = u"master"_s)
    {
        load(u"joined/%1.m3u8"_s.arg(playlist), autoplay, isLive);
        ASSERT_TRUE(waitUntil([&] { return controller->isReady(); }, 10s));
    }
    // The raw time stamp libmpv plays at.
    [[nodiscard]] double raw() const { return mpv->mpvProperty("time-pos").toDouble(); }
    [[nodiscard]] double picture() const { return pictureStamp(*mpv); }
    // Where the fixture's picture of a time of the item is stamped.
    [[nodiscard]] static double stampOf(double item)
    {
        return (item < 6 ? item : item + 994) + ffmpegFirstStamp;
    }
};

TEST_F(JoinedPlaylist, PlaysAcrossTheJoinOnItsOwnTimeAndEndsAsPlayed)
{
    loadJoined(true);
    EXPECT_DOUBLE_EQ(mpv->duration(), 20) << "the playlist's length, not libmpv's";
    // Close to the join: libmpv reports this seek's target for a moment as it crosses.
    seek(5.2);
    double shown = 5.2;
    ASSERT_TRUE(waitUntil(
        [&] {
            EXPECT_GE(position(), shown - 0.01) << "never back while crossing the join";
            shown = position();
            return raw() > 1000.5;
        },
        10s))
        << "the second part plays";
    EXPECT_NEAR(position(), raw() - 994, 0.3);
    for (const MediaTimeRange &range : mpv->loadedTimeRanges()) {
        EXPECT_GE(range.start, 0);
        EXPECT_LE(range.end(), 20);
    }
    seek(18.5);
    ASSERT_TRUE(waitUntil([&] { return controller->endedGeneration() == 1; }, 10s));
    EXPECT_EQ(controller->failedGeneration(), 0);
    EXPECT_NEAR(position(), 20, 0.2);
}

TEST_F(JoinedPlaylist, SeeksAcrossTheJoinLandWhereAskedAndACapChangeComesBackThere)
{
    loadJoined(false);
    // A part not reached before, the middle of a segment, the part's first picture, and back.
    for (const double target : { 9.0, 3.0, 6.0, 17.0, 7.5 }) {
        seek(target);
        EXPECT_NEAR(position(), target, exact) << "seek to " << target;
        EXPECT_NEAR(picture(), stampOf(target), exact) << "seek to " << target;
    }

    // 480p plays uncapped; a cap to 240p loads that variant where the item was.
    EXPECT_EQ(mpv->presentationSize().height(), 480);
    mpv->setPreferredPeakBitRate(500'000);
    ASSERT_TRUE(waitUntil([&] { return mpv->presentationSize().height() == 240; }, 10s));
    ASSERT_TRUE(waitUntil([&] { return std::abs(picture() - stampOf(7.5)) < exact; }, 5s))
        << picture();
    EXPECT_NEAR(position(), 7.5, exact);
    EXPECT_EQ(controller->failedGeneration(), 0);
}

TEST_F(JoinedPlaylist, AnEpisodeCutShortInItsSecondPartFails)
{
    // The variant's own playlist, whose last two segments are missing: it ends at 16 s of 20.
    for (const auto *segment : { "/media/joined/480p/seg_008.ts", "/media/joined/480p/seg_009.ts" })
        service.on("GET", QString::fromLatin1(segment), ScriptedAnswer::error(404, u"gone"_s));
    loadJoined(true, false, u"480p/index"_s);
    EXPECT_DOUBLE_EQ(mpv->duration(), 20);
    seek(14);
    ASSERT_TRUE(waitUntil([&] { return controller->failedGeneration() >= 1; }, 10s));
    EXPECT_EQ(controller->endedGeneration(), 0) << "16 s of 20 is not an end";
}

TEST_F(JoinedPlaylist, ASecondPartWhoseFirstSegmentFailsIsPlacedWhereItsPicturePlays)
{
    service.on("GET", u"/media/joined/480p/seg_003.ts"_s, ScriptedAnswer::error(404, u"gone"_s));
    loadJoined(true, false, u"480p/index"_s);
    seek(4);
    // The reader passes over the part's first segment: its picture begins at 8 s, raw 1002.
    ASSERT_TRUE(waitUntil([&] { return raw() > 1002.5; }, 10s));
    EXPECT_NEAR(position(), raw() - 994, 0.3);
    for (const MediaTimeRange &range : mpv->loadedTimeRanges())
        EXPECT_LE(range.end(), 20);
    ASSERT_TRUE(waitUntil([&] { return controller->endedGeneration() == 1; }, 20s));
    EXPECT_EQ(controller->failedGeneration(), 0);
}

TEST_F(JoinedPlaylist, SeeksTheLoadedFileCanMakeLoadNothing)
{
    // A part on time stamps of its own that no other part shares, before it played and after.
    loadJoined(false);
    const qint64 joinedLoads = loads();
    for (const double target : { 9.0, 2.0, 12.0 }) {
        seek(target);
        EXPECT_NEAR(position(), target, exact);
        EXPECT_NEAR(picture(), stampOf(target), exact);
    }
    EXPECT_EQ(loads(), joinedLoads);

    load(u"vod/index.m3u8"_s, false, false);
    ASSERT_TRUE(waitUntil([&] { return controller->isReady() && loads() > joinedLoads; }, 10s));
    const qint64 plainLoads = loads();
    for (const double target : { 5.0, 1.0 })
        seek(target);
    EXPECT_NEAR(position(), 1, exact);
    EXPECT_EQ(loads(), plainLoads);
}

TEST_F(JoinedPlaylist, ALiveItemOnTheJoinedPlaylistReadsItsOwnTimeToo)
{
    loadJoined(true, true);
    seek(5);
    ASSERT_TRUE(waitUntil([&] { return raw() > 1000.5; }, 10s));
    controller->refreshTime();
    EXPECT_EQ(controller->seekableStart(), 0);
    EXPECT_EQ(controller->seekableEnd(), 20);
    EXPECT_NEAR(controller->currentTime() - controller->seekableStart(), raw() - 994, 0.3);
}

} // namespace
