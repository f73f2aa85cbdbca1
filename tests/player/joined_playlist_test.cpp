// Episodes joined from two parts by FFmpeg's muxer on libmpv: 20 s whose second part (from
// 6 s on) runs on time stamps from 1000 s on, and 24 s whose second part starts its time stamps
// again. The player keeps the item's own time across the join.
#include "PlaybackFixture.h"
#include "support/TestAsync.h"

#include <QElapsedTimer>
#include <QTcpSocket>
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
    const auto live = livePlayerFirst(service);
    service.on("GET", u"/media/joined/480p/seg_003.ts"_s, ScriptedAnswer::error(404, u"gone"_s));
    loadJoined(true, false, u"480p/index"_s);
    seek(4);
    // The reader passes over the part's first segment: its picture begins at 8 s, raw 1002.
    ASSERT_TRUE(waitUntil([&] { return raw() > 1002.5; }, 10s));
    EXPECT_NEAR(position(), raw() - 994, 0.3);
    for (const MediaTimeRange &range : mpv->loadedTimeRanges())
        EXPECT_LE(range.end(), 20);
    seek(18.5);
    ASSERT_TRUE(waitUntil([&] { return controller->endedGeneration() == 1; }, 10s));
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

TEST_F(JoinedPlaylist, ASeekMeetingTheHeadReadAheadWaitsForItAndLoadsNothing)
{
    const QString head = u"/media/joined/480p/seg_003.ts"_s;
    service.on("GET", head, ScriptedAnswer::file().withDelay(1500ms));
    const auto headReads = [&] {
        const auto requests = service.requests("GET", head);
        return std::count_if(requests.begin(), requests.end(), [](const RecordedRequest &request) {
            // FFmpeg asks for the rest of the file; a head for its first 64 KiB.
            return request.header("Range") == "bytes=0-65535";
        });
    };
    loadJoined(false);
    // The second part's first segment is read ahead of playback, slowly.
    ASSERT_TRUE(waitUntil([&] { return headReads() == 1; }, 5s));
    const qint64 loadsBefore = loads();
    seek(7);
    EXPECT_NEAR(position(), 7, exact);
    EXPECT_NEAR(picture(), stampOf(7), exact);
    EXPECT_EQ(loads(), loadsBefore) << "placed by the head read ahead";
    EXPECT_EQ(headReads(), 1);
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

// Episodes joined from two parts whose time stamps start again (8 s, then 16 s, both stamped from
// FFmpeg's 1.42 s), on libmpv: seeks and starts land in the part asked, whatever shape the media
// has, and the position shown is where the picture is.

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
            return position() > 15;
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
        EXPECT_EQ(mpv->currentTime(), first) << "shown from the seek's start";
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
    const auto live = livePlayerFirst(service);
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

// An episode of a long programme's shape: thousands of segments at long signed addresses, a
// short first part and a long second one whose time stamps start again (the fixture's two parts,
// over and over). A seek into the second part loads a cut of thousands of segments, which must
// start about as fast as the whole playlist does; its address ends with the item.
TEST_F(RestartingParts, ACutOfThousandsOfLongAddressesStartsAboutAsFastAsTheWholePlaylist)
{
    constexpr int firstPart = 200;
    constexpr int segments = 4000;
    const QByteArray signature = "?Expires=1700000000&Signature=" + QByteArray(280, 'S') + "&n=";
    QByteArray text
        = "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:2\n#EXT-X-PLAYLIST-TYPE:VOD\n";
    for (int i = 0; i < segments; ++i) {
        if (i == firstPart)
            text += "#EXT-X-DISCONTINUITY\n";
        const int file = i < firstPart ? i % 4 : 4 + (i - firstPart) % 8;
        text += "#EXTINF:2.000000,\nseg_" + QByteArray::number(file).rightJustified(3, '0') + ".ts"
            + signature + QByteArray::number(i) + '\n';
    }
    text += "#EXT-X-ENDLIST\n";
    service.on("GET", u"/media/restart/480p/long.m3u8"_s,
        ScriptedAnswer::raw(text, "application/vnd.apple.mpegurl"));

    QElapsedTimer clock;
    clock.start();
    loadRestart(u"480p/long.m3u8"_s);
    const qint64 whole = clock.elapsed();
    // The second part's 20th segment (seg_008.ts, 8 s into the fixture's part), 1 s in.
    const double target = firstPart * 2 + 20 * 2 + 1;
    clock.restart();
    seek(target);
    const qint64 cut = clock.elapsed();
    EXPECT_LT(cut, 3 * whole + 1000) << "whole " << whole << " ms, cut " << cut << " ms";
    EXPECT_NEAR(position(), target, exact);
    EXPECT_NEAR(pictureInPart(), 9, exact);

    // Served on the loopback, withdrawn with the item.
    const QUrl address(mpv->mpvProperty("path").toString());
    ASSERT_EQ(address.host(), u"127.0.0.1"_s);
    ASSERT_NE(address.port(), service.origin().port());
    const auto status = [&address] {
        QTcpSocket socket;
        socket.connectToHost(address.host(), quint16(address.port()));
        socket.write("GET " + address.path().toLatin1() + " HTTP/1.1\r\n\r\n");
        QByteArray answer;
        waitUntil(
            [&] {
                answer += socket.readAll();
                return socket.state() == QTcpSocket::UnconnectedState;
            },
            5s);
        return (answer + socket.readAll()).left(12);
    };
    EXPECT_EQ(status(), "HTTP/1.1 200");
    mpv->clearCurrentItem();
    EXPECT_EQ(status(), "HTTP/1.1 404");
}

// Each shape FFmpeg's muxer makes, with a seek into the second part, checked by the picture's
// time and the sound's.
struct Shape
{
    const char *playlist;
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
    EXPECT_NEAR(position(), 13, exact);
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
    ::testing::Values(Shape { "apart/master.m3u8" }, Shape { "fmp4/index.m3u8", 0.020996 },
        Shape { "bytes/index.m3u8" }, Shape { "aes/index.m3u8" }));

// Seeks on shapes whose reader cannot take them as they come: fragmented MP4, which FFmpeg's
// reader cannot seek in beyond libmpv's cache, and a second part running its time stamps on from
// 30 s (8 s of the item), in MPEG-TS and encrypted. Each is checked by the picture's own stamp.
struct SeekShapes : RestartingParts
{
    void loadShape(const QString &playlist, std::optional<double> startAt = std::nullopt)
    {
        controller->load(service.mediaUrl(playlist), false, startAt, false);
        ASSERT_TRUE(waitUntil([&] { return controller->isReady(); }, 10s));
    }
    // Where the running-on fixtures stamp the picture of a time of the item.
    [[nodiscard]] static double runOnStamp(double item, double from)
    {
        return item < secondPart ? item + ffmpegFirstStamp
                                 : item - secondPart + from + ffmpegFirstStamp;
    }
    void expectSeekLands(double target, double stamp)
    {
        seek(target);
        EXPECT_NEAR(position(), target, exact) << "seek to " << target;
        EXPECT_TRUE(waitUntil([&] { return std::abs(pictureStamp(*mpv) - stamp) < exact; }, 5s))
            << "seek to " << target << ": picture " << pictureStamp(*mpv);
    }
    void expectResumeLands(const QString &playlist, double at, double stamp)
    {
        // The start's seek settles (the picture may show it a moment before).
        bool applied = false;
        const auto connection = QObject::connect(controller.get(),
            &PlayerController::startPositionApplied, [&applied] { applied = true; });
        loadShape(playlist, at);
        EXPECT_TRUE(waitUntil([&] { return applied; }, 5s));
        QObject::disconnect(connection);
        EXPECT_TRUE(waitUntil([&] { return std::abs(pictureStamp(*mpv) - stamp) < exact; }, 5s))
            << pictureStamp(*mpv);
        EXPECT_NEAR(position(), at, exact);
    }
    void expectEndsOnce()
    {
        seek(18.5);
        mpv->play();
        ASSERT_TRUE(waitUntil([&] { return controller->endedGeneration() == 1; }, 15s));
        EXPECT_EQ(controller->failedGeneration(), 0);
        EXPECT_NEAR(position(), mpv->duration(), 0.25);
    }
};

constexpr double fragmentedFirstStamp = 0.020996;

TEST_F(SeekShapes, FragmentedMp4IsSoughtForwardBackAndPausedAndEndsOnce)
{
    loadShape(u"fmp4/index.m3u8"_s);
    EXPECT_DOUBLE_EQ(mpv->duration(), 20);
    for (const double target : { 13.0, 5.5, 17.2, 1.0 })
        expectSeekLands(target, target + fragmentedFirstStamp);
    EXPECT_TRUE(mpv->isPaused()) << "loads keep the pause";
    expectEndsOnce();
    EXPECT_EQ(controller->endedGeneration(), 1);

    // A resume lands where it was left.
    expectResumeLands(u"fmp4/index.m3u8"_s, 11.3, 11.3 + fragmentedFirstStamp);
}

TEST_F(SeekShapes, AJoinedFragmentedEpisodeIsSoughtBackIntoItsFirstPartWithOneLoadASeek)
{
    partsFirstStamp = fragmentedFirstStamp;
    loadShape(u"restart/fmp4/index.m3u8"_s);
    for (const double target : { 13.0, 3.0, 20.5, 6.5 }) {
        const qint64 loadsBefore = loads();
        seek(target);
        EXPECT_NEAR(position(), target, exact) << "seek to " << target;
        expectShownIsPlaying();
        EXPECT_LE(loads(), loadsBefore + 1) << "seek to " << target;
    }
    EXPECT_EQ(controller->endedGeneration(), 0);
    EXPECT_EQ(controller->failedGeneration(), 0);
}

// Fragmented MP4 whose second part starts its stamps again: FFmpeg's reader takes the second
// part's first segment before its map, and libmpv's cache then holds pictures stamped below the
// first part's last ones. Each part is loaded on its own and the item goes on at the join.
struct FragmentedJoin : SeekShapes
{
    FragmentedJoin() { partsFirstStamp = fragmentedFirstStamp; }
    // Plays across the join; true when the second part's first second was on screen, the
    // position shown with it.
    [[nodiscard]] bool playsAcrossTheJoin()
    {
        mpv->play();
        bool firstSecondShown = false;
        EXPECT_TRUE(waitUntil(
            [&] {
                const double shown = position();
                if (shown >= secondPart && shown < secondPart + 1 && pictureInPart() < 1
                    && std::abs(pictureInPart() - (shown - secondPart)) < 0.3)
                    firstSecondShown = true;
                return shown > secondPart + 2.5;
            },
            15s))
            << position();
        expectShownIsPlaying(0.3);
        return firstSecondShown;
    }
};

TEST_F(FragmentedJoin, PlayedAcrossFromTheStartTheSecondPartShowsFromItsFirstPicture)
{
    const auto live = livePlayerFirst(service);
    loadShape(u"restart/fmp4/index.m3u8"_s);
    seek(6.2);
    EXPECT_TRUE(playsAcrossTheJoin());
    // Sought and played to the end: it ends once, where its picture ends.
    seek(22.5);
    ASSERT_TRUE(waitUntil([&] { return controller->endedGeneration() == 1; }, 10s));
    EXPECT_EQ(controller->failedGeneration(), 0);
    EXPECT_NEAR(position(), 24, 0.25);
}

TEST_F(FragmentedJoin, ASeekToTheLastSegmentBeforeTheJoinKeepsThePictureFromEitherSide)
{
    const auto live = livePlayerFirst(service);
    loadShape(u"restart/fmp4/index.m3u8"_s);
    // From the second part back to just before the join, then from the first part to it.
    for (const double from : { 14.0, 2.0 }) {
        seek(from);
        expectShownIsPlaying();
        seek(7.3);
        EXPECT_NEAR(position(), 7.3, exact) << "from " << from;
        expectShownIsPlaying();
        EXPECT_TRUE(playsAcrossTheJoin()) << "from " << from;
        mpv->pause();
    }
    seek(7.3);
    mpv->play();
    ASSERT_TRUE(waitUntil([&] { return controller->endedGeneration() == 1; }, 25s)) << position();
    EXPECT_EQ(controller->failedGeneration(), 0);
    EXPECT_NEAR(position(), 24, 0.25);
}

TEST_F(FragmentedJoin, AHungFirstSegmentOfTheSecondPartFailsOrIsPassedOver)
{
    const auto live = livePlayerFirst(service);
    mpv->setTimeouts(timeoutsInProportion(3s));
    service.on("GET", u"/media/restart/fmp4/p2_004.m4s"_s, ScriptedAnswer::file().withDelay(60s));
    loadShape(u"restart/fmp4/index.m3u8"_s);
    seek(6.5);
    mpv->play();
    // The item fails (the episode screen reloads it, then says so), or the picture goes on past
    // the segment: never a still picture with the position running on.
    ASSERT_TRUE(waitUntil(
        [&] {
            return controller->failedGeneration() > 0
                || (position() > secondPart + 3 && pictureInPart() > 2.5);
        },
        30s))
        << position() << " " << pictureInPart();
    if (controller->failedGeneration() == 0)
        expectShownIsPlaying(0.3);
    EXPECT_EQ(controller->endedGeneration(), 0);
}

TEST_F(SeekShapes, APartRunningOnIsPlacedByItsStampsBeforeItPlayedAndTheEpisodeEndsOnce)
{
    loadShape(u"runon/ts/index.m3u8"_s);
    const qint64 loadsBefore = loads();
    for (const double target : { 13.0, 9.0, 3.0, 14.5 })
        expectSeekLands(target, runOnStamp(target, 7.96));
    EXPECT_EQ(loads(), loadsBefore) << "every part is reached in the file";
    expectEndsOnce();
    EXPECT_EQ(loads(), loadsBefore);

    expectResumeLands(u"runon/ts/index.m3u8"_s, 12.5, runOnStamp(12.5, 7.96));
}

TEST_F(SeekShapes, AnEncryptedPartRunningOnIsLoadedOnceAndThenSoughtInTheFile)
{
    loadShape(u"runon/aes/index.m3u8"_s);
    const qint64 loadsBefore = loads();
    for (const double target : { 13.0, 3.0, 15.0, 5.0, 11.0, 20.0 })
        expectSeekLands(target, runOnStamp(target, 30));
    // One load from the second part's segment, one back to the whole playlist: no more.
    EXPECT_LE(loads(), loadsBefore + 2);
    const auto keys = service.requests("GET", u"/media/runon/aes/key.bin"_s);
    EXPECT_LE(keys.size(), 3);
}

} // namespace
