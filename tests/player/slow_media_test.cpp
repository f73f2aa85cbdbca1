// Slow and partial media on libmpv against the service double: playlists and segments that
// answer late or never, error pages for a master, and a picture lost while its sound plays on.
// The player's time-outs are shortened in proportion: 4.5 s stands for the 30-s start bound, so
// 3 s stands for 20 s and 5.25 s for 35 s.
#include "PlaybackFixture.h"
#include "support/TestAsync.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

using namespace orvella;
using namespace orvella::test;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

constexpr auto startBound = 4500ms;
constexpr auto twentySeconds = 3000ms;
constexpr auto thirtyFiveSeconds = 5250ms;

struct SlowMedia : PlaybackFixture
{
    void SetUp() override
    {
        PlaybackFixture::SetUp();
        mpv->setTimeouts(timeoutsInProportion(startBound));
    }
    [[nodiscard]] bool playsOn() const
    {
        const double from = position();
        return waitUntil([&] { return position() > from + 1.0; }, 5s);
    }
};

TEST_F(SlowMedia, AMasterAnsweringWithinTheStartBoundPlaysOneAnsweringPastItFails)
{
    service.on(
        "GET", u"/media/live/master.m3u8"_s, ScriptedAnswer::file().withDelay(twentySeconds));
    QElapsedTimer timer;
    timer.start();
    load(u"live/master.m3u8"_s, true, true);
    ASSERT_TRUE(waitUntil([&] { return controller->isReady(); }, startBound + 1s));
    EXPECT_GE(timer.elapsed(), twentySeconds.count() * 19 / 20) << "the double's coarse timer";
    EXPECT_TRUE(playsOn());

    service.on(
        "GET", u"/media/multi/master.m3u8"_s, ScriptedAnswer::file().withDelay(thirtyFiveSeconds));
    timer.start();
    load(u"multi/master.m3u8"_s, true, false);
    ASSERT_TRUE(waitUntil([&] { return controller->failedGeneration() == 1; }, startBound + 1s));
    EXPECT_GE(timer.elapsed(), startBound.count() * 9 / 10) << "coarse timers fire up to 5% early";
    EXPECT_TRUE(waitUntil([&] { return !mpv->mpvProperty("path").isValid(); }, 2s))
        << "the live item it replaced does not play on";
    EXPECT_TRUE(service.requests("GET", u"/media/multi/*/*"_s).isEmpty()) << "nor this one";
}

TEST_F(SlowMedia, AVariantThatNeverAnswersMakesWayForTheNext)
{
    service.on("GET", u"/media/multi/720p/index.m3u8"_s, ScriptedAnswer::file().withDelay(90s));
    load(u"multi/master.m3u8"_s, true, false);
    ASSERT_TRUE(waitUntil([&] { return controller->isReady(); }, startBound));
    EXPECT_EQ(mpv->presentationSize().height(), 480);
}

TEST_F(SlowMedia, AMasterAnsweredWithAnErrorFailsWithoutReachingMpv)
{
    for (const int status : { 404, 500 }) {
        SCOPED_TRACE(status);
        service.on("GET", u"/media/multi/master.m3u8"_s,
            ScriptedAnswer::raw("<html><body>No such page</body></html>", "text/html", status));
        const int failures = controller->failedGeneration();
        load(u"multi/master.m3u8"_s, true, false);
        ASSERT_TRUE(waitUntil([&] { return controller->failedGeneration() > failures; }, 3s));
        EXPECT_FALSE(mpv->mpvProperty("path").isValid()) << "nothing was given to mpv";
    }
    EXPECT_EQ(service.requests("GET", u"/media/multi/*"_s).size(), 2) << "the two masters only";
    // A success that is no playlist is a file of its own, for mpv to open.
    load(u"single/seg_000.ts"_s, true, false);
    EXPECT_TRUE(waitUntil([&] { return controller->isReady(); }, 5s));
}

TEST_F(SlowMedia, ALiveHungSegmentIsPassedOverAnEpisodesSlowFirstSegmentIsWaitedFor)
{
    // The live window starts at the first segment while the double's clock is under 2 s.
    service.on("GET", u"/media/live/720p/seg_000.ts"_s, ScriptedAnswer::file().withDelay(60s));
    load(u"live/master.m3u8"_s, true, true);
    ASSERT_TRUE(waitUntil([&] { return controller->isReady(); }, startBound));
    EXPECT_TRUE(waitUntil([&] { return position() > 2.5; }, 3s)) << "past the hung segment";

    service.on(
        "GET", u"/media/single/seg_000.ts"_s, ScriptedAnswer::file().withDelay(twentySeconds));
    load(u"single/index.m3u8"_s, true, false);
    ASSERT_TRUE(waitUntil([&] { return controller->isReady(); }, startBound + 1s));
    EXPECT_LT(position(), 1.0) << "played from its start";
    EXPECT_EQ(controller->failedGeneration(), 0);
}

struct LostPicture : SlowMedia
{
    bool pictureOut = true;
    void SetUp() override
    {
        SlowMedia::SetUp();
        failPictureApartWhile(service, pictureOut);
    }
};

TEST_F(LostPicture, APictureLostWhileItsSoundPlaysOnFailsTheItem)
{
    double failedAt = -1;
    QObject::connect(controller.get(), &PlayerController::failedGenerationChanged, mpv,
        [&] { failedAt = failedAt < 0 ? mpv->currentTime() : failedAt; });
    load(u"apart/master.m3u8"_s, true, false);
    ASSERT_TRUE(waitUntil([&] { return controller->failedGeneration() >= 1; }, 10s));
    EXPECT_GT(failedAt, 4.5);
    EXPECT_LT(failedAt, 6.0) << "told within a second or two of the picture's end at 4 s";
    EXPECT_FALSE(controller->isReady());
    EXPECT_EQ(controller->statusText(), u"Connecting…"_s);
    EXPECT_TRUE(waitUntil([&] { return !mpv->mpvProperty("path").isValid(); }, 2s))
        << "the item was stopped";
    EXPECT_EQ(controller->endedGeneration(), 0);
}

TEST_F(LostPicture, APictureEndingASecondBeforeItsSoundAndSoundAloneEndAsUsual)
{
    for (const QString &item : { u"apart/short.m3u8"_s, u"apart/sound/index.m3u8"_s }) {
        SCOPED_TRACE(item.toStdString());
        const int ended = controller->endedGeneration();
        controller->load(service.mediaUrl(item), true, 10.0, false);
        ASSERT_TRUE(waitUntil([&] { return controller->endedGeneration() > ended; }, 10s));
        EXPECT_EQ(controller->failedGeneration(), 0);
    }
}

} // namespace
