#include "platform/FakeMediaPlayer.h"
#include "player/PlayerController.h"
#include "screens/live/LiveVideoControlsModel.h"

#include <QCoreApplication>
#include <cmath>
#include <gtest/gtest.h>

using namespace orvella;

namespace {

struct LiveControls : ::testing::Test
{
    FakeMediaPlayer *fake = nullptr;
    std::unique_ptr<PlayerController> player;
    LiveVideoControlsModel controls;

    void SetUp() override
    {
        auto owned = std::make_unique<FakeMediaPlayer>();
        fake = owned.get();
        player = std::make_unique<PlayerController>(std::move(owned));
        controls.setPlayer(player.get());
    }

    void at(double time, double duration, QList<MediaTimeRange> seekable)
    {
        fake->setCurrentTime(time);
        fake->setDuration(duration);
        fake->setSeekableTimeRanges(std::move(seekable));
        player->refreshTime();
    }
};

TEST(LiveControlsText, TimeLabels)
{
    const std::pair<double, const char *> cases[]
        = { { 0, "0:00" }, { -3, "0:00" }, { 59.9, "0:59" }, { 61, "1:01" }, { 754, "12:34" },
              { 3725, "62:05" }, { std::nan(""), "0:00" }, { INFINITY, "0:00" } };
    for (const auto &[seconds, text] : cases)
        EXPECT_EQ(LiveVideoControlsModel::timeLabel(seconds), QString::fromUtf8(text)) << seconds;
    EXPECT_EQ(LiveVideoControlsModel::qualityText(QStringLiteral("  ")), QStringLiteral("Auto"));
    EXPECT_EQ(LiveVideoControlsModel::nextTitle(QStringLiteral(" \n")), QStringLiteral("—"));
    EXPECT_EQ(
        LiveVideoControlsModel::nextTitle(QStringLiteral(" Choir ")), QStringLiteral("Choir"));
}

TEST_F(LiveControls, LiveWindowShowsItsLengthOrLive)
{
    player->load(QUrl(QStringLiteral("http://127.0.0.1:9/live.m3u8")), false, std::nullopt, true);
    at(136, INFINITY, { { 100, 36 } });
    EXPECT_EQ(controls.endLabel(), QStringLiteral("0:36"));
    EXPECT_EQ(controls.positionText(), QStringLiteral("0:36"));
    EXPECT_DOUBLE_EQ(controls.progress(), 1.0);
    EXPECT_FALSE(controls.endIsLive());

    at(100, INFINITY, { { 100, 0.8 } });
    EXPECT_EQ(controls.endLabel(), QStringLiteral("LIVE"));
    EXPECT_TRUE(controls.endIsLive());

    at(118, INFINITY, { { 100, 36 } });
    controls.seekAt(0, 200);
    controls.seekAt(250, 200);
    controls.seekAt(50, 0.5);
    ASSERT_EQ(fake->seeks.size(), 3u);
    EXPECT_DOUBLE_EQ(fake->seeks[0], 100) << "left edge: the window start";
    EXPECT_DOUBLE_EQ(fake->seeks[1], 136) << "beyond the right edge: start + span";
    EXPECT_DOUBLE_EQ(fake->seeks[2], 136) << "a bar under a point divides by 1";
}

TEST_F(LiveControls, UnknownLengthCountsAsOneSecond)
{
    player->load(QUrl(QStringLiteral("http://127.0.0.1:9/v.m3u8")), false, std::nullopt, false);
    at(0.5, 0, {});
    EXPECT_EQ(controls.endLabel(), QStringLiteral("0:00"));
    EXPECT_DOUBLE_EQ(controls.progress(), 0.5);
    at(3, 0, {});
    EXPECT_DOUBLE_EQ(controls.progress(), 1.0);
    controls.seekFraction(0.25);
    EXPECT_DOUBLE_EQ(fake->seeks.back(), 0.25);
}

TEST_F(LiveControls, MuteAndVolumeGlyphs)
{
    EXPECT_EQ(controls.muteGlyph(), QStringLiteral("🔊"));
    EXPECT_TRUE(controls.muteActive());
    controls.setVolume(0);
    EXPECT_EQ(controls.muteGlyph(), QStringLiteral("🔇"));
    EXPECT_FALSE(controls.muteActive());
    EXPECT_FALSE(player->isMuted());
    controls.toggleMute();
    EXPECT_TRUE(player->isMuted());
    EXPECT_TRUE(fake->isMuted());
    controls.toggleMute();
    EXPECT_EQ(controls.muteGlyph(), QStringLiteral("🔇")) << "unmuted at volume 0";
    controls.setVolume(0.5);
    EXPECT_EQ(controls.muteGlyph(), QStringLiteral("🔊"));
    EXPECT_EQ(controls.playGlyph(), QStringLiteral("▶"));
    controls.togglePlay();
    EXPECT_EQ(controls.playGlyph(), QStringLiteral("⏸"));
}

} // namespace
