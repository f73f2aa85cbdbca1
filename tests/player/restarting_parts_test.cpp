// Episodes joined from two parts whose time stamps start again (8 s, then 16 s, both stamped from
// FFmpeg's 1.42 s), on libmpv: seeks and starts land in the part asked, whatever shape the media
// has, and the position shown is where the picture is.
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
constexpr double secondPart = 8;

struct RestartingParts : PlaybackFixture
{
    // Where each part's first picture is stamped: FFmpeg's fragmented MP4 starts at the first
    // sound frame's 0.021 s.
    double partsFirstStamp = ffmpegFirstStamp;

    void loadRestart(const QString &playlist, bool autoplay = false,
        std::optional<double> startAt = std::nullopt)
    {
        controller->load(service.mediaUrl(u"restart/"_s + playlist), autoplay, startAt, false);
        ASSERT_TRUE(waitUntil([&] { return controller->isReady(); }, 10s));
    }
    [[nodiscard]] double mpvTime(const char *name) const
    {
        return mpv->mpvProperty(name).toDouble();
    }
    // The time stamp of the picture shown, within its part.
    [[nodiscard]] double pictureInPart() const { return pictureStamp(*mpv) - partsFirstStamp; }
    // The part the position shown lies in must be the one playing: its time within that part is
    // the picture's.
    void expectShownIsPlaying(double tolerance = exact) const
    {
        const double shown = position();
        EXPECT_NEAR(pictureInPart(), shown < secondPart ? shown : shown - secondPart, tolerance)
            << "shown " << shown;
    }
    [[nodiscard]] QStringList segmentsAsked(const QString &folder) const
    {
        QStringList names;
        for (const RecordedRequest &request :
            service.requests("GET", u"/media/restart/"_s + folder + u"/*"_s)) {
            if (!request.path.endsWith(u".m3u8"))
                names.append(request.path.section(u'/', -1));
        }
        return names;
    }
};

TEST_F(RestartingParts, SeeksBothWaysLandInThePartAskedBeforeAndAfterItPlayed)
{
    loadRestart(u"master.m3u8"_s);
    EXPECT_DOUBLE_EQ(mpv->duration(), 24);
    service.clearRequests();
    seek(13);
    EXPECT_NEAR(position(), 13, exact);
    expectShownIsPlaying();
    // Into the second part before it played: its own segment is read.
    EXPECT_TRUE(segmentsAsked(u"480p"_s).contains(u"seg_006.ts"_s));

    // Back into the first part (the second part's time stamps are the same), and forth again.
    for (const double target : { 5.0, 14.5, 2.0 }) {
        seek(target);
        EXPECT_NEAR(position(), target, exact) << "seek to " << target;
        expectShownIsPlaying();
    }

    // Playing across the join and on, the position shown stays on the picture.
    seek(7);
    mpv->play();
    ASSERT_TRUE(waitUntil([&] { return position() > 9.5; }, 10s));
    expectShownIsPlaying(0.3);
    const qint64 loadsBefore = loads();
    // The first part's time stamps are the second's: a seek back loads again, and lands there.
    seek(3);
    EXPECT_GT(loads(), loadsBefore);
    EXPECT_NEAR(position(), 3, exact);
    expectShownIsPlaying(0.3);

    // A seek near the end plays to the end: the episode ended, nothing failed.
    seek(22.5);
    ASSERT_TRUE(waitUntil([&] { return controller->endedGeneration() == 1; }, 10s));
    EXPECT_EQ(controller->failedGeneration(), 0);
    EXPECT_NEAR(position(), 24, 0.2);
}

TEST_F(RestartingParts, CaptionsShowOnlyThePartPlaying)
{
    loadRestart(u"master.m3u8"_s);
    mpv->selectLegibleOption(0);
    // The second part's cues lie at the first part's times: a load from one of its segments
    // shows its own alone.
    seek(12.5);
    mpv->play();
    QStringList shown;
    ASSERT_TRUE(waitUntil(
        [&] {
            if (!mpv->subtitleText().isEmpty() && !shown.contains(mpv->subtitleText()))
                shown.append(mpv->subtitleText());
            return position() > 17;
        },
        15s));
    EXPECT_FALSE(shown.isEmpty());
    for (const QString &text : std::as_const(shown))
        EXPECT_TRUE(text.startsWith(u"Part 2, second ") && !text.contains(u'\n'))
            << text.toStdString();
}

TEST_F(RestartingParts, OfSeveralQuickSeeksOnlyTheLastLoads)
{
    loadRestart(u"master.m3u8"_s);
    for (const auto &[first, last] : { std::pair { 13.0, 20.0 }, std::pair { 3.0, 5.0 } }) {
        const qint64 loadsBefore = loads();
        auto superseded = controller->seek(first);
        runTask(controller->seek(last), 10s);
        runTask(std::move(superseded), 10s);
        EXPECT_NEAR(position(), last, exact);
        expectShownIsPlaying();
        EXPECT_EQ(loads(), loadsBefore + 1) << "seeks to " << first << " and " << last;
    }
}

TEST_F(RestartingParts, AStartInTheSecondPartLandsThereAndACapChangeComesBackThere)
{
    loadRestart(u"master.m3u8"_s, false, 12.5);
    ASSERT_TRUE(waitUntil(
        [&] {
            return std::abs(position() - 12.5) < exact && std::abs(pictureInPart() - 4.5) < exact
                && mpv->presentationSize().height();
        },
        10s))
        << position();
    expectShownIsPlaying();
    EXPECT_EQ(mpv->presentationSize().height(), 480);

    const qint64 loadsBefore = loads();
    mpv->setPreferredPeakBitRate(500'000);
    ASSERT_TRUE(waitUntil([&] { return mpv->presentationSize().height() == 240; }, 10s));
    EXPECT_GT(loads(), loadsBefore);
    ASSERT_TRUE(waitUntil([&] { return std::abs(pictureInPart() - 4.5) < exact; }, 5s))
        << pictureInPart();
    EXPECT_NEAR(position(), 12.5, exact);
    EXPECT_TRUE(mpv->isPaused()) << "a reload keeps the pause";
    EXPECT_EQ(controller->failedGeneration(), 0);
}

TEST_F(RestartingParts, ASecondPartWhoseFirstSegmentFailsShowsWhereItsPictureIs)
{
    service.on("GET", u"/media/restart/480p/seg_004.ts"_s, ScriptedAnswer::error(404, u"gone"_s));
    loadRestart(u"480p/index.m3u8"_s);
    // Into the missing segment: the reader passes over it to the next, where the position shows
    // the seek landed.
    seek(9);
    ASSERT_TRUE(waitUntil([&] { return pictureInPart() >= 2; }, 10s)) << pictureInPart();
    EXPECT_GE(position(), 10);
    expectShownIsPlaying();

    // Played across the join into it: placed where its picture begins.
    seek(6.5);
    mpv->play();
    ASSERT_TRUE(waitUntil([&] { return position() > 11; }, 10s));
    expectShownIsPlaying(0.3);
    seek(22.5);
    ASSERT_TRUE(waitUntil([&] { return controller->endedGeneration() == 1; }, 10s));
    EXPECT_EQ(controller->failedGeneration(), 0);
}

// Each shape FFmpeg's muxer makes, with a seek into the second part, checked by the picture's
// time and the sound's. FFmpeg's reader cannot seek inside fragmented MP4 at all: there the seek
// lands at the start of the target's segment, and the position shows that.
struct Shape
{
    const char *playlist;
    double landing;
    double firstStamp = ffmpegFirstStamp;
};

class RestartingShapes : public RestartingParts, public ::testing::WithParamInterface<Shape>
{
};

TEST_P(RestartingShapes, ASeekIntoTheSecondPartLandsOnItsPictureAndSound)
{
    partsFirstStamp = GetParam().firstStamp;
    loadRestart(QString::fromLatin1(GetParam().playlist));
    seek(13);
    EXPECT_NEAR(position(), GetParam().landing, exact);
    expectShownIsPlaying();
    mpv->play();
    ASSERT_TRUE(waitUntil([&] { return position() > 14.2; }, 10s));
    expectShownIsPlaying(0.3);
    // The sound plays with the picture (libmpv catches up a moment after a start).
    EXPECT_TRUE(
        waitUntil([&] { return std::abs(mpvTime("audio-pts") - mpvTime("time-pos")) < 0.25; }, 5s))
        << mpvTime("audio-pts") << " " << mpvTime("time-pos");
    EXPECT_EQ(controller->failedGeneration(), 0);
    EXPECT_EQ(controller->endedGeneration(), 0);
}

INSTANTIATE_TEST_SUITE_P(FfmpegShapes, RestartingShapes,
    ::testing::Values(Shape { "apart/master.m3u8", 13 }, Shape { "fmp4/index.m3u8", 12, 0.020996 },
        Shape { "bytes/index.m3u8", 13 }, Shape { "aes/index.m3u8", 13 }));

} // namespace
