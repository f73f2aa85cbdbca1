// Real playback through the player controller on libmpv, against local HLS served by the
// service double.
#include "PlaybackFixture.h"
#include "support/Fixtures.h"
#include "support/TestAsync.h"

#include <QFile>
#include <QImage>
#include <cstring>
#include <gtest/gtest.h>

using namespace orvella;
using namespace orvella::test;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

using PlaybackTest = PlaybackFixture;

TEST_F(PlaybackTest, LiveStreamReachesLiveAndPlays)
{
    load(QStringLiteral("live/master.m3u8"), true, true);
    EXPECT_EQ(controller->statusText(), QStringLiteral("Loading…"));
    ASSERT_TRUE(waitUntil([&] { return controller->isReady(); }, 10s));
    EXPECT_EQ(controller->statusText(), QStringLiteral("Live"));
    const double start = position();
    ASSERT_TRUE(waitUntil([&] { return position() > start + 1.0; }, 10s));
    EXPECT_GT(mpv->rate(), 0);
    EXPECT_EQ(controller->duration(), 0) << "a live item has no length";
    EXPECT_EQ(controller->failedGeneration(), 0);
}

TEST_F(PlaybackTest, ALoadThatOvertakesOneNotYetStartedStillBecomesReady)
{
    // Two loads that reach mpv before it starts the first: mpv starts only the second file.
    // (The load goes out at the end of its turn; posting it at once sends both back to back.)
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        load(QStringLiteral("live/master.m3u8"), false, true);
        QCoreApplication::sendPostedEvents(mpv, QEvent::MetaCall);
        load(QStringLiteral("live/master.m3u8"), true, true);
        QCoreApplication::sendPostedEvents(mpv, QEvent::MetaCall);
        ASSERT_TRUE(waitUntil([&] { return controller->isReady(); }, 10s));
        EXPECT_EQ(controller->statusText(), QStringLiteral("Live"));
        const double start = position();
        EXPECT_TRUE(waitUntil([&] { return position() > start + 0.5; }, 10s));
    }
}

TEST_F(PlaybackTest, PlayingFollowsMpvsPauseStateWithoutFlicker)
{
    QList<bool> seen;
    QObject::connect(controller.get(), &PlayerController::isPlayingChanged,
        [&] { seen.append(controller->isPlaying()); });
    // A slow start: the time updates come while it loads.
    service.on("GET", "/media/live/master.m3u8", ScriptedAnswer::file().withDelay(1500ms));
    load(QStringLiteral("live/master.m3u8"), true, true);
    ASSERT_TRUE(waitUntil([&] { return controller->isReady(); }, 10s));
    spinFor(1200ms);
    EXPECT_EQ(seen, QList<bool> { true }) << "playing from the load on, also while loading";
    controller->togglePlay();
    EXPECT_FALSE(controller->isPlaying());
    controller->togglePlay();
    controller->togglePlay();
    spinFor(1200ms); // mpv's answers and the time updates
    EXPECT_EQ(seen, (QList<bool> { true, false, true, false }));
    EXPECT_EQ(mpv->mpvProperty("pause"), QVariant(true));
    EXPECT_EQ(mpv->rate(), 0);
}

TEST_F(PlaybackTest, CapPlaysTheFittingVariant)
{
    load(QStringLiteral("multi/master.m3u8"), true, false);
    controller->setQuality(QStringLiteral("1Mbps")); // 1 Mbit/s, 640x360 at most
    ASSERT_TRUE(waitUntil([&] { return mpv->presentationSize().height() > 0; }, 10s));
    EXPECT_EQ(mpv->presentationSize(), QSize(426, 240));

    // During playback the cap switches the variant.
    controller->setQuality(QStringLiteral("2Mbps"));
    EXPECT_TRUE(waitUntil([&] { return mpv->presentationSize().height() == 480; }, 10s))
        << mpv->presentationSize().height();
}

// The variants above a 1 Mbit/s cap (the fixtures' 480p and 720p) are never fetched: not their
// playlists, not their segments, for audio, probing or anything else.
struct CappedPlayback : PlaybackTest
{
    // Requests for a variant above the cap since `since` milliseconds.
    [[nodiscard]] QStringList aboveCap(const QString &stream, qint64 since = 0) const
    {
        QStringList paths;
        for (const RecordedRequest &request : service.requests()) {
            if (request.receivedAtMs < since)
                continue;
            for (const char *variant : { "/480p/", "/720p/" }) {
                if (request.path.startsWith(QStringLiteral("/media/") + stream)
                    && request.path.contains(QLatin1String(variant)))
                    paths.append(request.path);
            }
        }
        return paths;
    }
    [[nodiscard]] qint64 now() const
    {
        const auto all = service.requests();
        return all.isEmpty() ? 0 : all.last().receivedAtMs + 1;
    }
    // Plays for `span` and checks the picture advances.
    void playFor(std::chrono::milliseconds span)
    {
        const double start = position();
        spinFor(span);
        EXPECT_GT(position(), start + 1.0);
    }
};

TEST_F(CappedPlayback, ALiveStreamCappedFromItsStartFetchesNothingAboveTheCap)
{
    load(QStringLiteral("live/master.m3u8"), true, true);
    controller->setQuality(QStringLiteral("1Mbps"));
    ASSERT_TRUE(waitUntil([&] { return controller->isReady(); }, 10s));
    playFor(7s); // a few segments and playlist reloads
    EXPECT_EQ(mpv->presentationSize(), QSize(426, 240));
    EXPECT_EQ(aboveCap(QStringLiteral("live")), QStringList());
}

TEST_F(CappedPlayback, AnEpisodeCappedFromItsStartFetchesNothingAboveTheCap)
{
    load(QStringLiteral("multi/master.m3u8"), true, false);
    controller->setQuality(QStringLiteral("1Mbps"));
    ASSERT_TRUE(waitUntil([&] { return controller->endedGeneration() == 1; }, 15s));
    EXPECT_EQ(aboveCap(QStringLiteral("multi")), QStringList());
}

TEST_F(CappedPlayback, ACapChosenDuringPlaybackStopsTheHigherVariantsForGood)
{
    load(QStringLiteral("live/master.m3u8"), true, true);
    controller->setQuality(QStringLiteral("Auto"));
    ASSERT_TRUE(waitUntil([&] { return mpv->presentationSize().height() == 720; }, 10s));
    runTask(controller->setCaptions(true, QStringLiteral("en")));
    playFor(2s);
    controller->setQuality(QStringLiteral("1Mbps"));
    ASSERT_TRUE(waitUntil([&] { return mpv->presentationSize().height() == 240; }, 10s));
    // What the higher variant already had under way may still arrive; nothing after it.
    spinFor(1s);
    const qint64 capped = now();
    playFor(7s);
    EXPECT_EQ(mpv->presentationSize(), QSize(426, 240));
    EXPECT_EQ(aboveCap(QStringLiteral("live"), capped), QStringList());
    EXPECT_EQ(controller->failedGeneration(), 0);
    EXPECT_TRUE(controller->isReady());
    EXPECT_TRUE(
        waitUntil([&] { return mpv->subtitleText().startsWith(QStringLiteral("Caption")); }, 5s))
        << "the captions came along";
}

TEST_F(CappedPlayback, AnEpisodeCappedDuringPlaybackGoesOnWhereItWas)
{
    load(QStringLiteral("multi/master.m3u8"), true, false);
    ASSERT_TRUE(waitUntil([&] { return position() > 2.0; }, 10s));
    controller->setQuality(QStringLiteral("1Mbps"));
    const qint64 capped = now();
    ASSERT_TRUE(waitUntil([&] { return mpv->presentationSize().height() == 240; }, 10s));
    EXPECT_GT(position(), 1.9) << "not from its start";
    ASSERT_TRUE(waitUntil([&] { return controller->endedGeneration() == 1; }, 10s));
    EXPECT_EQ(aboveCap(QStringLiteral("multi"), capped), QStringList());
}

TEST_F(PlaybackTest, WithoutACapTheHighestVariantPlays)
{
    load(QStringLiteral("multi/master.m3u8"), true, false);
    controller->setQuality(QStringLiteral("Auto"));
    ASSERT_TRUE(waitUntil([&] { return mpv->presentationSize().height() > 0; }, 10s));
    EXPECT_EQ(mpv->presentationSize().height(), 720);
}

TEST_F(PlaybackTest, CaptionsTurnOnAndOff)
{
    load(QStringLiteral("multi/master.m3u8"), true, false);
    ASSERT_TRUE(waitUntil([&] { return controller->isReady(); }, 10s));
    runTask(controller->setCaptions(true, QStringLiteral("en")));
    EXPECT_EQ(mpv->selectedLegibleOption(), 0);
    ASSERT_TRUE(
        waitUntil([&] { return mpv->subtitleText().startsWith(QStringLiteral("Caption")); }, 10s));
    // The cue on screen is the one of the second the picture shows.
    const int second = int(position());
    EXPECT_TRUE(mpv->subtitleText().contains(QString::number(second / 2 * 2)))
        << mpv->subtitleText().toStdString() << " at " << second;

    runTask(controller->setCaptions(false, QStringLiteral("en")));
    EXPECT_FALSE(mpv->selectedLegibleOption().has_value());
    EXPECT_TRUE(waitUntil([&] { return mpv->subtitleText().isEmpty(); }, 5s));
}

TEST_F(PlaybackTest, APausedEpisodeStillReadsEveryCue)
{
    load(QStringLiteral("multi/master.m3u8"), false, false);
    ASSERT_TRUE(waitUntil([&] { return controller->isReady(); }, 10s));
    runTask(controller->setCaptions(true, QStringLiteral("en")));
    ASSERT_TRUE(mpv->captions());
    EXPECT_TRUE(waitUntil([&] { return mpv->captions()->publishedCues() == 3; }, 5s));
}

TEST_F(PlaybackTest, APausedLiveItemReadsItsCaptionsAsFarAsItsPictureIsRead)
{
    // A window of two 2-s segments, a third of the picture's buffer, that ends rather than
    // starting over after 24 s.
    service.setLiveWindow(2);
    service.setLiveLoops(false);
    const auto reads = [&](const char *path) {
        return service.requests("GET", QString::fromLatin1(path)).size();
    };
    const auto captionReads = [&] { return reads("/media/live/subs/en.m3u8"); };
    const auto pictureReads = [&] { return reads("/media/live/720p/index.m3u8"); };
    load(QStringLiteral("live/master.m3u8"), true, true);
    ASSERT_TRUE(waitUntil([&] { return controller->isReady(); }, 10s));
    runTask(controller->setCaptions(true, QStringLiteral("en")));
    ASSERT_TRUE(
        waitUntil([&] { return mpv->subtitleText().startsWith(QStringLiteral("Caption")); }, 10s));

    controller->togglePlay();
    const double pausedAt = mpv->mpvProperty("time-pos").toDouble();
    const qsizetype captionsThen = captionReads();
    const qsizetype picturesThen = pictureReads();
    // Paused twice as long as the window lasts: the picture reads its 12 s ahead meanwhile.
    ASSERT_TRUE(captionsCoverReadAhead(*mpv, pausedAt, 15s));
    const std::optional<double> readEnd = pictureReadEnd(*mpv);
    ASSERT_TRUE(readEnd);
    ASSERT_GT(liveSegmentAt(*mpv, *readEnd) - 1, liveSegmentAt(*mpv, pausedAt) + 2)
        << "the segments right after the pause left the window";
    // The captions' playlist is read no more often than the picture's: once its buffer is full
    // neither is read (one caption read may come for what the picture read last).
    EXPECT_FALSE(waitUntil(
        [&] { return captionReads() - captionsThen > pictureReads() - picturesThen + 1; }, 4500ms))
        << captionReads() - captionsThen << " caption reads, " << pictureReads() - picturesThen
        << " picture reads";

    // Played again, the picture goes on where it stopped, with its captions at once.
    controller->togglePlay();
    EXPECT_TRUE(
        waitUntil([&] { return mpv->subtitleText().startsWith(QStringLiteral("Caption")); }, 3s))
        << "at " << mpv->mpvProperty("time-pos").toDouble();
}

TEST_F(PlaybackTest, ALiveItemWhoseCaptionReadsStoppedAsksForNoneUntilItPlays)
{
    const auto reads
        = [&](const QString &pattern) { return service.requests("GET", pattern).size(); };
    const QString captions = QStringLiteral("/media/live/subs/*");
    const QString picture = QStringLiteral("/media/live/720p/index.m3u8");
    load(QStringLiteral("live/master.m3u8"), false, true);
    ASSERT_TRUE(waitUntil([&] { return controller->isReady(); }, 10s));
    mpv->stopCaptionReads();
    runTask(controller->setCaptions(true, QStringLiteral("en")));
    ASSERT_TRUE(mpv->captions());
    // The paused picture reads on to fill its buffer, and a pause asked again keeps the stop.
    mpv->pause();
    const qsizetype pictures = reads(picture);
    EXPECT_TRUE(waitUntil([&] { return reads(picture) > pictures + 1; }, 6s));
    EXPECT_EQ(reads(captions), 0);
    controller->nudgePlay();
    EXPECT_TRUE(waitUntil([&] { return reads(captions) > 0; }, 3s));
    EXPECT_TRUE(
        waitUntil([&] { return mpv->subtitleText().startsWith(QStringLiteral("Caption")); }, 10s));
}

// Rows of two pictures of the same size that differ.
QList<int> differingRows(const QImage &a, const QImage &b)
{
    QList<int> rows;
    for (int y = 0; y < a.height(); ++y) {
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), a.bytesPerLine()) != 0)
            rows.append(y);
    }
    return rows;
}

TEST_F(PlaybackTest, CaptionsRiseAboveTheControlsAndComeBack)
{
    mpv->setSoftwareFrameSize({ 640, 360 });
    load(QStringLiteral("multi/master.m3u8"), true, false);
    ASSERT_TRUE(waitUntil([&] { return controller->isReady(); }, 10s));
    runTask(controller->setCaptions(true, QStringLiteral("en")));
    ASSERT_TRUE(
        waitUntil([&] { return mpv->subtitleText().startsWith(QStringLiteral("Caption")); }, 10s));
    controller->togglePlay(); // held on a picture with its caption
    spinFor(300ms);
    // The picture mpv draws once the inset changed.
    const auto drawnWith = [&](double inset) {
        const QImage before = mpv->softwareFrame();
        mpv->setCaptionInset(inset);
        EXPECT_TRUE(waitUntil([&] { return mpv->softwareFrame() != before; }, 3s));
        return mpv->softwareFrame();
    };
    const QImage low = mpv->softwareFrame();
    const QImage raised = drawnWith(0.3); // controls over the lower 30 %
    EXPECT_EQ(mpv->mpvProperty("sub-pos").toInt(), 70);
    const QList<int> moved = differingRows(low, raised);
    ASSERT_FALSE(moved.isEmpty());
    // Only the caption moved: from the bottom to just above the inset (its top at row 252).
    EXPECT_GT(moved.last(), 300) << "the caption left the bottom";
    EXPECT_LT(moved.first(), 252) << "and stands above the inset";
    for (const int row : moved)
        EXPECT_TRUE(row < 252 || row > 300) << "row " << row << " inside the inset";
    const QImage back = drawnWith(0);
    EXPECT_TRUE(differingRows(low, back).isEmpty()) << "back at the bottom";
}

TEST_F(PlaybackTest, AStreamWithoutSubtitlesHasNoCaptionGroup)
{
    load(QStringLiteral("single/index.m3u8"), false, false);
    const auto options = runTask(mpv->loadLegibleOptions());
    EXPECT_FALSE(options.has_value());
}

TEST_F(PlaybackTest, SlowSegmentsStallAndRecover)
{
    service.on("GET", "/media/single/seg_002.ts", ScriptedAnswer::file().withDelay(5000ms));
    load(QStringLiteral("single/index.m3u8"), true, false);
    ASSERT_TRUE(waitUntil([&] { return controller->stalledGeneration() >= 1; }, 15s));
    EXPECT_TRUE(controller->wantsPlayback());
    ASSERT_TRUE(waitUntil([&] { return position() > 4.5; }, 20s)) << "plays on once data comes";
    EXPECT_EQ(controller->failedGeneration(), 0);
}

TEST_F(PlaybackTest, MissingMasterPlaylistCountsAFailure)
{
    load(QStringLiteral("nowhere/master.m3u8"), true, true);
    ASSERT_TRUE(waitUntil([&] { return controller->failedGeneration() >= 1; }, 10s));
    EXPECT_EQ(controller->statusText(), QStringLiteral("Connecting…"));
    EXPECT_FALSE(controller->isReady());
}

TEST_F(PlaybackTest, OnDemandItemThatPlaysToItsEndCountsAnEnd)
{
    load(QStringLiteral("single/index.m3u8"), true, false);
    ASSERT_TRUE(waitUntil([&] { return controller->endedGeneration() == 1; }, 15s));
    EXPECT_FALSE(controller->isPlaying());
    EXPECT_EQ(controller->failedGeneration(), 0);
}

TEST_F(PlaybackTest, OnDemandItemCutShortByAMissingSegmentFails)
{
    // ffmpeg skips a missing segment in the middle; missing last segments end the stream early.
    service.on("GET", "/media/vod/seg_002.ts", ScriptedAnswer::error(404, QStringLiteral("gone")));
    service.on("GET", "/media/vod/seg_003.ts", ScriptedAnswer::error(404, QStringLiteral("gone")));
    load(QStringLiteral("vod/index.m3u8"), true, false);
    ASSERT_TRUE(waitUntil([&] { return controller->failedGeneration() >= 1; }, 15s));
    EXPECT_EQ(controller->endedGeneration(), 0) << "a cut stream is not an end";
}

TEST_F(PlaybackTest, ResumeLiveAtEdgeJumpsToTheEndOfTheWindow)
{
    service.setLiveWindow(4);
    load(QStringLiteral("live/master.m3u8"), true, true);
    ASSERT_TRUE(waitUntil([&] { return controller->isReady(); }, 10s));
    ASSERT_TRUE(waitUntil([&] { return position() > 0.5; }, 10s));
    controller->togglePlay(); // pause, and let the window move on
    controller->refreshTime();
    const double pausedAt = controller->currentTime();
    spinFor(2500ms);
    runTask(controller->resumeLiveAtEdge(), 10s);
    EXPECT_TRUE(controller->isPlaying());
    EXPECT_TRUE(controller->wantsPlayback());
    controller->refreshTime();
    EXPECT_GT(controller->seekableEnd(), controller->seekableStart());
    EXPECT_GT(controller->currentTime(), pausedAt + 1.5) << "the resume jumps forward";
    // Near the end of the window; the margin allows for a loaded machine's late time report.
    EXPECT_NEAR(controller->currentTime(), controller->seekableEnd(), 3.0);
    const double resumed = position();
    EXPECT_TRUE(waitUntil([&] { return position() > resumed + 0.5; }, 10s));
}

TEST_F(PlaybackTest, AVariantPlaylistThatNeverAnswersHoldsTheLoadForSecondsNotAMinute)
{
    service.on("GET", "/media/live/480p/index.m3u8", ScriptedAnswer::file().withDelay(90s));
    load(QStringLiteral("live/master.m3u8"), true, true);
    EXPECT_TRUE(waitUntil([&] { return controller->isReady(); }, 25s));
}

TEST_F(PlaybackTest, ClearingTheItemEndsAWaitForItsMasterPlaylist)
{
    // Otherwise the caption wait stays suspended for good once its player is gone.
    service.on("GET", "/media/multi/master.m3u8", ScriptedAnswer::file().withDelay(30s));
    load(QStringLiteral("multi/master.m3u8"), true, false);
    auto options = mpv->loadLegibleOptions();
    controller->tearDown();
    EXPECT_EQ(runTask(std::move(options), 2s), std::nullopt);
}

// A hostile master names captions and segments on this computer.
struct HostilePlaylists : PlaybackTest
{
    QString local(const QString &relative) const
    {
        return QUrl::fromLocalFile(fixturePath(relative)).toString();
    }
    void serve(const QString &path, const QString &text)
    {
        service.on("GET", path,
            ScriptedAnswer::raw(text.toUtf8(), QByteArrayLiteral("application/vnd.apple.mpegurl")));
    }
};

TEST_F(HostilePlaylists, LocalCaptionRenditionsAreMissing)
{
    serve(QStringLiteral("/media/hostile/master.m3u8"),
        QStringLiteral("#EXTM3U\n#EXT-X-MEDIA:TYPE=SUBTITLES,GROUP-ID=\"s\",NAME=\"Local\","
                       "LANGUAGE=\"en\",URI=\"%1\"\n"
                       "#EXT-X-STREAM-INF:BANDWIDTH=400000,SUBTITLES=\"s\"\n%2\n")
            .arg(local(QStringLiteral("multi/subs/en.m3u8")),
                service.mediaUrl(QStringLiteral("single/index.m3u8")).toString()));
    load(QStringLiteral("hostile/master.m3u8"), false, false);
    EXPECT_FALSE(runTask(mpv->loadLegibleOptions()).has_value());
}

TEST_F(HostilePlaylists, SegmentsOffTheWebAreNeverPlayed)
{
    QFile segment(fixturePath(QStringLiteral("live/240p/seg_000.ts")));
    ASSERT_TRUE(segment.open(QIODevice::ReadOnly));
    const struct
    {
        QString uri;
        bool plays;
    } cases[] = {
        { service.mediaUrl(QStringLiteral("live/240p/seg_000.ts")).toString(), true },
        { local(QStringLiteral("live/240p/seg_000.ts")), false },
        { u"data:video/mp2t;base64,"_s + QString::fromLatin1(segment.readAll().toBase64()), false },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.uri.left(40).toStdString());
        serve(QStringLiteral("/media/hostile/index.m3u8"),
            QStringLiteral("#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXT-X-PLAYLIST-TYPE:VOD\n"
                           "#EXTINF:2.0,\n%1\n#EXT-X-ENDLIST\n")
                .arg(c.uri));
        const int before = controller->failedGeneration() + controller->endedGeneration();
        load(QStringLiteral("hostile/index.m3u8"), true, false);
        if (c.plays) {
            EXPECT_TRUE(waitUntil([&] { return controller->isReady(); }, 10s));
            continue;
        }
        EXPECT_TRUE(waitUntil(
            [&] { return controller->failedGeneration() + controller->endedGeneration() > before; },
            10s));
        EXPECT_FALSE(controller->isReady()) << "nothing of it was shown";
    }
}

TEST_F(HostilePlaylists, APlaylistNamingASegmentTheReaderRefusesFailsAndNeverEnds)
{
    // One such segment makes FFmpeg refuse the whole playlist, whose other segments would play.
    // The long address is relative: FFmpeg cuts its line at 4 KB, and the absolute address made
    // of it is then too long.
    const QString refused[] = {
        u"data:video/mp2t;base64,AAAA"_s,
        u"seg_001.ts?"_s + QString(5000, u'a'),
        u"../single/index.m3u8"_s,
    };
    for (const QString &segment : refused) {
        SCOPED_TRACE(segment.left(40).toStdString());
        serve(QStringLiteral("/media/vod/refused.m3u8"),
            QStringLiteral("#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXT-X-PLAYLIST-TYPE:VOD\n"
                           "#EXTINF:2.0,\nseg_000.ts\n#EXTINF:2.0,\n%1\n#EXT-X-ENDLIST\n")
                .arg(segment));
        const int failed = controller->failedGeneration();
        load(QStringLiteral("vod/refused.m3u8"), true, false);
        ASSERT_TRUE(waitUntil(
            [&] { return controller->failedGeneration() + controller->endedGeneration() > failed; },
            10s));
        EXPECT_EQ(controller->failedGeneration(), failed + 1);
        EXPECT_EQ(controller->endedGeneration(), 0) << "it failed, and so never ended";
        EXPECT_FALSE(controller->isReady());
    }
}

} // namespace

namespace {

// mpv starts with the first item, so the window need not wait for its library: what was set on
// the player before then reaches mpv when it does.
TEST(DeferredPlayerStart, SettingsMadeBeforeTheFirstItemReachMpv)
{
    ServiceDouble service;
    ASSERT_TRUE(service.start());
    MpvMediaPlayer player(MpvMediaPlayer::Output::Software);
    player.setMuted(true);
    player.setVolume(0.25f);
    player.setVideoFill(true);
    player.setCaptionInset(0.2);
    player.setSoftwareFrameSize({ 320, 180 });
    player.play();
    EXPECT_FALSE(player.mpvProperty("volume").isValid()) << "no mpv before an item";
    EXPECT_TRUE(player.softwareFrame().isNull());

    player.replaceCurrentItem(service.mediaUrl(QStringLiteral("live/master.m3u8")), {});
    ASSERT_TRUE(waitUntil([&] { return !player.softwareFrame().isNull(); }, 10s));
    EXPECT_EQ(player.mpvProperty("mute").toBool(), true);
    EXPECT_DOUBLE_EQ(player.mpvProperty("volume").toDouble(), 25.0);
    EXPECT_DOUBLE_EQ(player.mpvProperty("panscan").toDouble(), 1.0);
    EXPECT_EQ(player.mpvProperty("sub-pos").toLongLong(), 80);
    EXPECT_EQ(player.mpvProperty("pause").toBool(), false);
    EXPECT_EQ(player.softwareFrame().size(), QSize(320, 180));
}

} // namespace
