#include "platform/FakeMediaPlayer.h"
#include "player/PlayerController.h"

#include <QCoreApplication>
#include <cmath>
#include <gtest/gtest.h>

using namespace orvella;

namespace {
using Status = MediaPlayer::ItemStatus;

struct PlayerControllerTest : ::testing::Test
{
    FakeMediaPlayer *fake = nullptr;
    std::unique_ptr<PlayerController> controller;

    void SetUp() override
    {
        auto player = std::make_unique<FakeMediaPlayer>();
        fake = player.get();
        controller = std::make_unique<PlayerController>(std::move(player));
    }

    void load(bool autoplay = false, std::optional<double> startAt = {}, bool isLive = false)
    {
        controller->load(
            QUrl(QStringLiteral("http://127.0.0.1/live.m3u8")), autoplay, startAt, isLive);
    }
};

TEST_F(PlayerControllerTest, LoadTunesBufferingAndTheStatusFollowsTheItem)
{
    load(false, {}, true);
    ASSERT_EQ(fake->loads.size(), 1u);
    EXPECT_DOUBLE_EQ(fake->loads[0].settings.forwardBufferSeconds, 12.0);
    EXPECT_TRUE(fake->loads[0].settings.waitsToMinimizeStalling);
    EXPECT_EQ(controller->statusText(), QStringLiteral("Loading…"));
    EXPECT_TRUE(controller->isLive());

    fake->setItemStatus(Status::ReadyToPlay);
    EXPECT_TRUE(controller->isReady());
    EXPECT_EQ(controller->statusText(), QStringLiteral("Live"));
    EXPECT_EQ(fake->playCalls, 0) << "no autoplay: the ready item stays paused";

    fake->setItemStatus(Status::Failed);
    EXPECT_FALSE(controller->isReady());
    EXPECT_EQ(controller->statusText(), QStringLiteral("Connecting…"));
    EXPECT_EQ(controller->failedGeneration(), 1);

    load(false, {}, false);
    EXPECT_DOUBLE_EQ(fake->loads[1].settings.forwardBufferSeconds, 0.5);
    EXPECT_FALSE(fake->loads[1].settings.waitsToMinimizeStalling);
    fake->setItemStatus(Status::ReadyToPlay);
    EXPECT_EQ(controller->statusText(), QStringLiteral("Ready"));
    EXPECT_EQ(controller->failedGeneration(), 1) << "counters are never reset by a load";
}

TEST_F(PlayerControllerTest, AutoplayPlaysAtOnceAndAgainWhenReady)
{
    load(true);
    EXPECT_TRUE(controller->wantsPlayback());
    EXPECT_TRUE(controller->isPlaying());
    EXPECT_EQ(fake->playCalls, 1);
    fake->setItemStatus(Status::ReadyToPlay);
    EXPECT_EQ(fake->playCalls, 2);
}

TEST_F(PlayerControllerTest, PlayingIsThePlayersOwnPauseStateFollowedAtOnce)
{
    int changes = 0;
    QObject::connect(controller.get(), &PlayerController::isPlayingChanged, [&] { ++changes; });
    load(true, {}, true);
    EXPECT_TRUE(controller->isPlaying());
    fake->setRate(0); // waiting for data is not a pause
    controller->refreshTime();
    EXPECT_TRUE(controller->isPlaying());
    fake->setPaused(true); // the player paused by itself
    EXPECT_FALSE(controller->isPlaying()) << "without waiting for the time update";
    controller->togglePlay();
    EXPECT_TRUE(controller->isPlaying());
    EXPECT_TRUE(controller->wantsPlayback());
    controller->refreshTime();
    EXPECT_EQ(changes, 3);
}

TEST_F(PlayerControllerTest, ReadySeeksOnDemandItemsToTheirStartOnly)
{
    load(true, 42.5, false);
    fake->setItemStatus(Status::ReadyToPlay);
    ASSERT_EQ(fake->seeks.size(), 1u);
    EXPECT_DOUBLE_EQ(fake->seeks[0], 42.5);

    for (auto startAt :
        { std::optional<double>(), std::optional<double>(0.0), std::optional<double>(-4.0) }) {
        load(true, startAt, false);
        fake->setItemStatus(Status::ReadyToPlay);
    }
    load(true, 30.0, true);
    fake->setItemStatus(Status::ReadyToPlay);
    EXPECT_EQ(fake->seeks.size(), 1u) << "no start, a start of 0 or less, or a live item";
}

TEST_F(PlayerControllerTest, ReadyPlaysOnlyAfterTheSeekFinished)
{
    fake->holdSeeks = true;
    load(true, 10.0, false);
    const int playsBefore = fake->playCalls;
    fake->setItemStatus(Status::ReadyToPlay);
    EXPECT_EQ(fake->playCalls, playsBefore);
    fake->completeSeeks();
    QCoreApplication::processEvents();
    EXPECT_EQ(fake->playCalls, playsBefore + 1);
}

TEST_F(PlayerControllerTest, EndOfAnOnDemandItemCountsEndOfLiveResumesAtTheEdgeUntilItStopsGrowing)
{
    load(true, {}, false);
    fake->finishItem();
    EXPECT_EQ(controller->endedGeneration(), 1);
    EXPECT_FALSE(controller->isPlaying());

    load(false, {}, true);
    fake->setSeekableTimeRanges({ { 0, 10 }, { 20, 16 } });
    fake->finishItem();
    EXPECT_EQ(controller->endedGeneration(), 1);
    ASSERT_FALSE(fake->seeks.empty());
    EXPECT_DOUBLE_EQ(fake->seeks.back(), 36.0);
    EXPECT_TRUE(controller->wantsPlayback());
    EXPECT_TRUE(controller->isPlaying());

    // New segments behind the end: on at the edge again.
    fake->setSeekableTimeRanges({ { 22, 16 } });
    fake->finishItem();
    EXPECT_EQ(fake->seeks.size(), 2u);
    EXPECT_EQ(controller->stalledGeneration(), 0);
    // The same end again: a stall, never a step back into the cache.
    fake->finishItem();
    EXPECT_EQ(fake->seeks.size(), 2u);
    EXPECT_EQ(controller->stalledGeneration(), 1);
    EXPECT_EQ(controller->endedGeneration(), 1);

    // A new load starts over: its first end resumes.
    load(true, {}, true);
    fake->setSeekableTimeRanges({ { 0, 38 } });
    fake->finishItem();
    EXPECT_EQ(fake->seeks.size(), 3u);
    EXPECT_EQ(controller->stalledGeneration(), 1);
}

TEST_F(PlayerControllerTest, StallsCountOnlyWhilePlaybackIsWanted)
{
    load(false, {}, true);
    fake->stall();
    EXPECT_EQ(controller->stalledGeneration(), 0);
    EXPECT_EQ(fake->playCalls, 0);

    controller->togglePlay();
    const int plays = fake->playCalls;
    fake->stall();
    EXPECT_EQ(controller->stalledGeneration(), 1);
    EXPECT_EQ(fake->playCalls, plays + 1);

    fake->failToPlayToEnd();
    EXPECT_EQ(controller->failedGeneration(), 1);
}

TEST_F(PlayerControllerTest, TimeUpdateFollowsThePlayer)
{
    load(false, {}, true);
    fake->setCurrentTime(std::nan(""));
    fake->setDuration(INFINITY);
    fake->setLoadedTimeRanges({ { 4, 6 }, { 20, 8 } });
    fake->setSeekableTimeRanges({ { 0, 10 }, { 20, 16 } });
    controller->refreshTime();
    EXPECT_EQ(controller->currentTime(), 0);
    EXPECT_EQ(controller->duration(), 0) << "a live item has no finite duration";
    EXPECT_EQ(controller->buffered(), 10) << "the first loaded range, not the playhead's";
    EXPECT_EQ(controller->seekableStart(), 20);
    EXPECT_EQ(controller->seekableEnd(), 36);

    fake->setLoadedTimeRanges({});
    fake->setSeekableTimeRanges({});
    fake->setCurrentTime(12.5);
    fake->setRate(1);
    controller->refreshTime();
    EXPECT_EQ(controller->buffered(), 10) << "no ranges keep the last values";
    EXPECT_EQ(controller->seekableEnd(), 36);
    EXPECT_EQ(controller->currentTime(), 12.5);
    EXPECT_FALSE(controller->isPlaying()) << "the pause state is the player's, not the update's";

    controller->tearDown();
    EXPECT_EQ(controller->seekableStart(), 0);
    EXPECT_EQ(controller->seekableEnd(), 0);
    EXPECT_FALSE(controller->isReady());
    EXPECT_FALSE(controller->wantsPlayback());
    EXPECT_FALSE(fake->hasCurrentItem());
    EXPECT_EQ(controller->currentTime(), 12.5) << "tear-down keeps the position";
}

TEST_F(PlayerControllerTest, ResumeLiveAtEdgeWithoutRangesOnlyPlays)
{
    load(false, {}, true);
    QCoro::Task<> task = controller->resumeLiveAtEdge();
    EXPECT_TRUE(fake->seeks.empty());
    EXPECT_EQ(fake->playCalls, 1);
    EXPECT_TRUE(controller->wantsPlayback());
}

TEST_F(PlayerControllerTest, SeekClampsNegativeAndNotANumberToZero)
{
    load(false, {}, false);
    controller->seekTo(-3);
    controller->seekTo(std::nan(""));
    controller->seekTo(7.25);
    ASSERT_EQ(fake->seeks.size(), 3u);
    EXPECT_EQ(fake->seeks[0], 0);
    EXPECT_EQ(fake->seeks[1], 0);
    EXPECT_DOUBLE_EQ(fake->seeks[2], 7.25);
}

TEST_F(PlayerControllerTest, VolumeClampsAndUnmutesAboveZero)
{
    controller->setVolume(1.5f);
    EXPECT_FLOAT_EQ(controller->volume(), 1.0f);
    EXPECT_FLOAT_EQ(fake->volume(), 1.0f);

    controller->setMuted(true);
    controller->setVolume(-0.2f);
    EXPECT_FLOAT_EQ(controller->volume(), 0.0f);
    EXPECT_TRUE(controller->isMuted()) << "a volume of 0 leaves the mute as it was";
    EXPECT_TRUE(fake->isMuted());

    controller->setVolume(0.4f);
    EXPECT_FALSE(controller->isMuted());
    EXPECT_FALSE(fake->isMuted());
}

TEST_F(PlayerControllerTest, QualityCapsBelongToTheItem)
{
    controller->setQuality(QStringLiteral("4Mbps"));
    EXPECT_EQ(fake->preferredPeakBitRate(), 0) << "without an item nothing happens";

    load();
    controller->setQuality(QStringLiteral("4Mbps"));
    EXPECT_EQ(fake->preferredPeakBitRate(), 4'000'000);
    EXPECT_EQ(fake->preferredMaximumResolution(), QSize(1280, 720));

    controller->setQuality(QStringLiteral("720p"));
    EXPECT_EQ(fake->preferredPeakBitRate(), 4'000'000) << "legacy names map to their row";

    load();
    EXPECT_EQ(fake->preferredPeakBitRate(), 0) << "every load starts uncapped";
    controller->setQuality(QStringLiteral("4Mbps"));
    controller->setQuality(QStringLiteral("Auto"));
    EXPECT_EQ(fake->preferredPeakBitRate(), 0);
    EXPECT_TRUE(fake->preferredMaximumResolution().isEmpty());
}

TEST_F(PlayerControllerTest, CaptionsChooseLanguageThenDefaultThenFirst)
{
    load();
    fake->legibleOptions
        = QList<LegibleOption> { { QStringLiteral("fr"), QStringLiteral("Français"), false },
              { QStringLiteral("en-US"), QStringLiteral("English"), false },
              { QStringLiteral("de"), QStringLiteral("Deutsch"), true } };

    QCoro::Task<> first = controller->setCaptions(true, QStringLiteral("en"));
    EXPECT_EQ(fake->selectedLegibleOption(), 1);
    QCoro::Task<> second = controller->setCaptions(true, QStringLiteral("es"));
    EXPECT_EQ(fake->selectedLegibleOption(), 2) << "no match: the default option";
    QCoro::Task<> third = controller->setCaptions(false, QStringLiteral("en"));
    EXPECT_EQ(fake->selectedLegibleOption(), std::nullopt);

    fake->legibleOptions = QList<LegibleOption> { { QStringLiteral("fr"), QString(), false } };
    QCoro::Task<> fourth = controller->setCaptions(true, std::nullopt);
    EXPECT_EQ(fake->selectedLegibleOption(), 0) << "no default: the first option";

    const int selections = fake->legibleSelections;
    fake->legibleOptions.reset();
    QCoro::Task<> fifth = controller->setCaptions(false, std::nullopt);
    EXPECT_EQ(fake->legibleSelections, selections) << "no caption group: no change at all";
}

TEST_F(PlayerControllerTest, EventsOfAReplacedItemAreIgnoredAfterTheNewLoad)
{
    load(false, {}, true);
    load(false, {}, true);
    fake->setItemStatus(Status::Failed);
    EXPECT_EQ(controller->failedGeneration(), 1) << "one observer per kind, not two";
}

} // namespace
