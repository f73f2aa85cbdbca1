// Real playback through the episode screen: the sample episodes on the service double play the
// generated HLS fixtures on libmpv.
#include "EpisodeScreenHarness.h"
#include "platform/MpvMediaPlayer.h"
#include "player/PlaybackFixture.h"
#include "support/SampleContent.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <cmath>
#include <functional>

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

class EpisodePlayback : public EpisodeScreenHarness
{
protected:
    void SetUp() override
    {
        EpisodeScreenHarness::SetUp();
        installSampleContent(service);
    }

    static double position(PlayerController &player)
    {
        player.refreshTime();
        return player.currentTime();
    }
    void seekLeaveAndResume(const QString &media, int length, double target,
        const std::function<double(const MpvMediaPlayer &)> &playing);
};

TEST_F(EpisodePlayback, PlaysToItsEndAndRepeatOneStartsItAgain)
{
    AppModel &app = signedIn();
    app.settings()->setEpisodeRepeatMode(EpisodeRepeatMode::One);
    Built screen = buildScreen(app, u"5001"_qs); // the 8-second single-variant episode
    ASSERT_TRUE(screen.model);
    PlayerController &player = *screen.model->player();
    ASSERT_TRUE(waitUntil([&] { return player.isReady(); }, 15s));
    EXPECT_TRUE(shows(screen, "episodeChrome"));
    // The length is published with the once-a-second time update.
    EXPECT_TRUE(waitUntil([&] { return std::abs(player.duration() - 8) < 0.5; }, 3s))
        << "duration " << player.duration();
    EXPECT_TRUE(waitUntil([&] { return claims == 2; }))
        << "the screen keeps the display awake while it plays";

    ASSERT_TRUE(waitUntil([&] { return position(player) > 6; }, 20s));
    ASSERT_TRUE(waitUntil([&] { return player.endedGeneration() >= 1; }, 10s));
    ASSERT_TRUE(waitUntil([&] { return position(player) > 0.5 && position(player) < 5; }, 10s))
        << "repeat one starts the episode again";
    EXPECT_TRUE(player.isPlaying());
    EXPECT_EQ(player.failedGeneration(), 0);
    EXPECT_FALSE(screen.model->playNext()->countdown());
    EXPECT_GE(service.requests("POST", "user/history").size(), 1);

    screen.item.reset();
    EXPECT_EQ(claims, 0);
}

TEST_F(EpisodePlayback, CaptionsPickTheEnglishRenditionOfTheMaster)
{
    AppModel &app = signedIn();
    app.settings()->setCaptionsEnabled(true);
    app.settings()->setCaptionLanguage(u"en"_qs);
    Built screen = buildScreen(app, u"5002"_qs); // the three-variant master with captions
    ASSERT_TRUE(screen.model);
    auto *mpv = dynamic_cast<MpvMediaPlayer *>(screen.model->player()->player());
    ASSERT_TRUE(mpv);
    ASSERT_TRUE(waitUntil([&] { return screen.model->player()->isReady(); }, 15s));
    ASSERT_TRUE(waitUntil([&] { return mpv->selectedLegibleOption().has_value(); }, 10s));
    EXPECT_TRUE(
        waitUntil([&] { return mpv->subtitleText().startsWith(QStringLiteral("Caption")); }, 10s))
        << mpv->subtitleText().toStdString();

    screen.model->chrome()->toggleCaptions();
    EXPECT_FALSE(app.settings()->captionsEnabled());
    EXPECT_TRUE(waitUntil([&] { return !mpv->selectedLegibleOption(); }, 5s));
}

TEST_F(EpisodePlayback, AnEpisodeThatShowsNoPictureEndsInTheErrorAfterItsReloads)
{
    AppModel &app = signedIn();
    // The episode's playlist answers; its segments never come.
    service.on("GET", u"/media/vod/seg_*"_qs, ScriptedAnswer::file().withDelay(60s));
    Built screen = buildScreen(app, u"5001"_qs, [](EpisodePlayerModel &model) {
        model.setMediaPlayerFactory([] {
            auto player = std::make_unique<MpvMediaPlayer>(MpvMediaPlayer::Output::Software);
            player->setMuted(true);
            player->setStartTimeout(1s);
            return player;
        });
    });
    ASSERT_TRUE(screen.model);
    ASSERT_TRUE(waitUntil([&] { return screen.model->hasError(); }, 15s));
    EXPECT_EQ(screen.model->errorText(), u"Couldn't start this video. Try Refresh."_qs);
    EXPECT_TRUE(shows(screen, "episodeErrorPanel"));
    EXPECT_LE(service.requests("GET", u"/media/vod/index.m3u8"_qs).size(), 3 * 3)
        << "the load and its two reloads, each read by the player and twice by mpv";
    const qsizetype asked = service.requestCount();
    spinFor(1500ms);
    EXPECT_EQ(service.requestCount(), asked) << "nothing more after the error";
}

TEST_F(EpisodePlayback, AnEpisodeWhosePlaylistTheReaderRefusesEndsInTheErrorAndPlaysNoNext)
{
    // A nested playlist among its segments: FFmpeg refuses the whole playlist, whose other
    // segment would play.
    service.on("GET", u"/media/refused/index.m3u8"_qs,
        ScriptedAnswer::raw(QStringLiteral("#EXTM3U\n#EXT-X-TARGETDURATION:2\n"
                                           "#EXT-X-PLAYLIST-TYPE:VOD\n#EXTINF:2.0,\n%1\n"
                                           "#EXTINF:2.0,\n%2\n#EXT-X-ENDLIST\n")
                                .arg(service.mediaUrl(u"vod/seg_000.ts"_qs).toString(),
                                    service.mediaUrl(u"single/index.m3u8"_qs).toString())
                                .toUtf8(),
            QByteArrayLiteral("application/vnd.apple.mpegurl")));
    service.on("GET", u"episodes/5001"_qs,
        ScriptedAnswer::envelope(QJsonObject { { "episode",
            episodeDetailJson(u"5001"_qs, service.mediaUrl(u"refused/index.m3u8"_qs).toString(),
                QJsonArray { episodeSummaryJson(5003) }) } }));
    AppModel &app = signedIn();
    // An end would open the next episode at once.
    app.settings()->setEpisodeRepeatMode(EpisodeRepeatMode::All);
    Built screen = buildScreen(app, u"5001"_qs);
    ASSERT_TRUE(screen.model);
    PlayerController &player = *screen.model->player();
    const std::optional next(u"5003"_qs);
    ASSERT_TRUE(waitUntil(
        [&] { return screen.model->hasError() || app.selectedEpisodeId() == next; }, 15s));
    EXPECT_NE(app.selectedEpisodeId(), next) << "no next episode";
    EXPECT_EQ(player.endedGeneration(), 0);
    EXPECT_EQ(player.failedGeneration(), 3) << "the load and its two reloads";
    EXPECT_EQ(screen.model->errorText(), u"Couldn't start this video. Try Refresh."_qs);
    EXPECT_TRUE(shows(screen, "episodeErrorPanel"));

    screen.model->leave();
    ASSERT_TRUE(waitUntil([&] { return app.progressReports().inFlight() == 0; }));
    EXPECT_TRUE(service.requests("POST", "user/history").isEmpty())
        << "nothing played, so nothing is recorded, least of all at the length";
}

// Episode 5001 on a playlist joined from parts: a seek with the bar lands where it says, the leave
// record carries the item's own time, and the episode opened again resumes there. `playing`
// tells where the picture is, on the item's time.
void EpisodePlayback::seekLeaveAndResume(const QString &media, int length, double target,
    const std::function<double(const MpvMediaPlayer &)> &playing)
{
    service.on("GET", u"episodes/5001"_qs,
        ScriptedAnswer::envelope(QJsonObject { { "episode",
            episodeDetailJson(u"5001"_qs, service.mediaUrl(media).toString(), {}, {}) } }));
    AppModel &app = signedIn();
    Built screen = buildScreen(app, u"5001"_qs);
    ASSERT_TRUE(screen.model);
    PlayerController &player = *screen.model->player();
    ASSERT_TRUE(waitUntil([&] { return player.isReady(); }, 15s));
    screen.model->chrome()->togglePlay();
    EpisodeScrubberModel &bar = *screen.model->scrubber();
    const QString total = u"0:%1"_qs.arg(length, 2, 10, QLatin1Char('0'));
    ASSERT_TRUE(waitUntil([&] { return position(player) >= 0 && bar.totalText() == total; }));

    bar.moved(target);
    bar.released();
    // The label may show the seek's target while it runs: the picture tells where it landed.
    const auto &mpv = dynamic_cast<const MpvMediaPlayer &>(*player.player());
    ASSERT_TRUE(waitUntil(
        [&] {
            return std::abs(playing(mpv) - target) < 0.3
                && std::abs(position(player) - playing(mpv)) < 0.3;
        },
        10s))
        << "the bar's seek across the join lands where it says: " << playing(mpv) << " "
        << position(player);
    EXPECT_EQ(bar.elapsedText(), u"0:%1"_qs.arg(int(target), 2, 10, QLatin1Char('0')));
    EXPECT_EQ(bar.totalText(), total);

    screen.model->leave();
    ASSERT_TRUE(waitUntil([&] { return app.progressReports().inFlight() == 0; }));
    std::optional<QJsonObject> leaveRecord;
    for (const RecordedRequest &request : service.requests("POST", "user/history")) {
        const QJsonObject record = QJsonDocument::fromJson(request.body).object();
        EXPECT_LE(record.value("position").toInt(), int(target))
            << "what was watched, not the time stamp";
        if (record.value("position").toInt() == int(target))
            leaveRecord = record;
    }
    ASSERT_TRUE(leaveRecord);
    EXPECT_EQ(leaveRecord->value("duration").toInt(), length);
    screen.item.reset();
    const qsizetype recordsBefore = service.requests("POST", "user/history").size();

    // Opened again, the episode resumes after the join from its record.
    Built again = buildScreen(app, u"5001"_qs);
    ASSERT_TRUE(again.model);
    PlayerController &resumed = *again.model->player();
    ASSERT_TRUE(waitUntil([&] { return resumed.isReady(); }, 15s));
    // Sooner than playing there from the start would take.
    const auto &resumedMpv = dynamic_cast<const MpvMediaPlayer &>(*resumed.player());
    ASSERT_TRUE(waitUntil([&] { return playing(resumedMpv) >= int(target); }, 4s))
        << playing(resumedMpv);
    EXPECT_LT(playing(resumedMpv), int(target) + 2)
        << "from its record, not from the part's start or beyond";
    EXPECT_NEAR(position(resumed), playing(resumedMpv), 0.3);
    EXPECT_EQ(resumed.failedGeneration(), 0);
    EXPECT_EQ(resumed.endedGeneration(), 0);
    again.model->leave();
    ASSERT_TRUE(waitUntil([&] { return app.progressReports().inFlight() == 0; }));
    const auto records = service.requests("POST", "user/history");
    for (qsizetype i = recordsBefore; i < records.size(); ++i)
        EXPECT_GE(QJsonDocument::fromJson(records[i].body).object().value("position").toInt(),
            int(target))
            << "a resume's records start where it resumed";
}

TEST_F(EpisodePlayback, AnEpisodeJoinedFromPartsKeepsItsOwnTimeInTheChromeTheBarAndTheRecords)
{
    // 20 s of two parts; the second, from 6 s on, is stamped from 1000 s on.
    seekLeaveAndResume(u"joined/master.m3u8"_qs, 20, 9.5,
        [](const MpvMediaPlayer &mpv) { return pictureStamp(mpv) - ffmpegFirstStamp - 994; });
}

TEST_F(EpisodePlayback, AnEpisodeWhoseSecondPartStartsItsTimeStampsAgainResumesThere)
{
    // 24 s of two parts both stamped from the same time; the second begins at 8 s.
    seekLeaveAndResume(u"restart/master.m3u8"_qs, 24, 13.5,
        [](const MpvMediaPlayer &mpv) { return pictureStamp(mpv) - ffmpegFirstStamp + 8; });
}

TEST_F(EpisodePlayback, AnEpisodeWhoseSecondPartRunsItsTimeStampsOnResumesThere)
{
    // 24 s of two parts; the second, from 8 s on, is stamped from 7.96 s on.
    seekLeaveAndResume(u"runon/ts/index.m3u8"_qs, 24, 12.5,
        [](const MpvMediaPlayer &mpv) { return pictureStamp(mpv) - ffmpegFirstStamp + 0.04; });
}

// Episodes on slow and partial media, with the player's time-outs shortened in proportion (4.5 s
// for the 30-s start bound).
class SlowEpisode : public EpisodePlayback
{
protected:
    static constexpr auto startBound = 4500ms;

    Built build(AppModel &app, const QString &id)
    {
        return buildScreen(app, id, [this](EpisodePlayerModel &model) {
            model.setMediaPlayerFactory([this] {
                auto player = std::make_unique<MpvMediaPlayer>(MpvMediaPlayer::Output::Software);
                player->setMuted(true);
                player->setTimeouts(timeoutsInProportion(startBound));
                mpv = player.get();
                return player;
            });
        });
    }
    // Episode 5001 on the fixture of picture and sound apart, whose picture fails from 4 s on
    // while it is out.
    Built buildPictureAndSoundApart(AppModel &app)
    {
        service.on("GET", u"episodes/5001"_qs,
            ScriptedAnswer::envelope(QJsonObject { { "episode",
                episodeDetailJson(
                    u"5001"_qs, service.mediaUrl(u"apart/master.m3u8"_qs).toString(), {}, {}) } }));
        failPictureApartWhile(service, pictureOut);
        return build(app, u"5001"_qs);
    }

    MpvMediaPlayer *mpv = nullptr;
    bool pictureOut = true;
};

TEST_F(SlowEpisode, AMasterAnsweringWithinTheStartBoundPlays)
{
    AppModel &app = signedIn();
    // 3 s of the 4.5-s bound, as 20 s of 30.
    service.on("GET", u"/media/multi/master.m3u8"_qs, ScriptedAnswer::file().withDelay(3s));
    Built screen = build(app, u"5002"_qs);
    ASSERT_TRUE(screen.model);
    PlayerController &player = *screen.model->player();
    ASSERT_TRUE(waitUntil([&] { return player.isReady(); }, startBound + 1s));
    EXPECT_EQ(player.failedGeneration(), 0);
    EXPECT_FALSE(screen.model->hasError());
}

TEST_F(SlowEpisode, APictureLostWhileTheSoundGoesOnIsReloadedAndShownAgain)
{
    Built screen = buildPictureAndSoundApart(signedIn());
    ASSERT_TRUE(screen.model);
    PlayerController &player = *screen.model->player();
    ASSERT_TRUE(waitUntil([&] { return player.failedGeneration() >= 1; }, 10s));
    pictureOut = false;
    ASSERT_TRUE(waitUntil([&] { return player.isReady(); }, startBound));
    const int failures = player.failedGeneration();
    int frames = 0;
    QObject::connect(mpv, &MediaPlayer::frameRendered, mpv, [&] { ++frames; });
    ASSERT_TRUE(waitUntil([&] { return frames > 24; }, 5s)) << "the picture moves again";
    EXPECT_GT(position(player), 4.5) << "where playback was, not from the start";
    EXPECT_EQ(player.failedGeneration(), failures);
    EXPECT_FALSE(screen.model->hasError());
}

TEST_F(SlowEpisode, APictureThatNeverReturnsEndsInTheFailureText)
{
    Built screen = buildPictureAndSoundApart(signedIn());
    ASSERT_TRUE(screen.model);
    ASSERT_TRUE(waitUntil([&] { return screen.model->hasError(); }, 20s));
    EXPECT_EQ(screen.model->errorText(), u"Couldn't start this video. Try Refresh."_qs);
    EXPECT_TRUE(shows(screen, "episodeErrorPanel"));
    EXPECT_EQ(screen.model->player()->endedGeneration(), 0) << "never sound over a still picture";
}

// Episodes whose position stops moving, with the progress bound in proportion (5.25 s for 35 s):
// episode 5001 plays the 24-second playlist of twelve segments, whose fifth segment (8 to 10 s)
// is scripted by each test.
class StuckEpisode : public SlowEpisode
{
protected:
    static constexpr auto progressBound = 5250ms;

    Built buildWithFifthSegment(AppModel &app, QList<ScriptedAnswer> fifth)
    {
        service.on("GET", u"episodes/5001"_qs,
            ScriptedAnswer::envelope(QJsonObject { { "episode",
                episodeDetailJson(u"5001"_qs,
                    service.mediaUrl(u"live/480p/index.source.m3u8"_qs).toString(), {}, {}) } }));
        service.on("GET", u"/media/live/480p/seg_004.ts"_qs, std::move(fifth));
        return build(app, u"5001"_qs);
    }
    [[nodiscard]] qsizetype loads() const
    {
        return service.requests("GET", u"/media/live/480p/index.source.m3u8"_qs).size();
    }
};

TEST_F(StuckEpisode, ASegmentThatNeverComesEndsInTheFailureTextAfterTwoReloads)
{
    Built screen = buildWithFifthSegment(signedIn(), { ScriptedAnswer::file().withDelay(600s) });
    ASSERT_TRUE(screen.model);
    PlayerController &player = *screen.model->player();
    // Playback freezes before the end of the fourth segment, whose last packets wait for the fifth.
    ASSERT_TRUE(waitUntil([&] { return position(player) > 4.5; }, 15s));
    QElapsedTimer frozen;
    frozen.start();
    ASSERT_TRUE(waitUntil([&] { return player.failedGeneration() >= 1; }, progressBound + 3s));
    EXPECT_GE(frozen.elapsed(), (progressBound - 2s).count()) << "not before the bound";
    ASSERT_TRUE(waitUntil([&] { return screen.model->hasError(); }, 30s));
    EXPECT_EQ(screen.model->errorText(), u"Couldn't start this video. Try Refresh."_qs);
    EXPECT_TRUE(shows(screen, "episodeErrorPanel"));
    EXPECT_FALSE(player.isReady());
    EXPECT_EQ(loads(), 3 * 3) << "the load and two reloads, each read by the player and mpv";
}

TEST_F(StuckEpisode, ASegmentAnsweredAtItsRetryGoesOn)
{
    // The first request hangs past libmpv's request time-out; the next is answered.
    Built screen = buildWithFifthSegment(
        signedIn(), { ScriptedAnswer::file().withDelay(600s), ScriptedAnswer::file() });
    ASSERT_TRUE(screen.model);
    PlayerController &player = *screen.model->player();
    ASSERT_TRUE(waitUntil([&] { return position(player) > 11; }, 30s));
    EXPECT_EQ(player.failedGeneration(), 0);
    EXPECT_EQ(loads(), 3) << "no reload";
    EXPECT_GE(service.requests("GET", u"/media/live/480p/seg_004.ts"_qs).size(), 2);
}

TEST_F(StuckEpisode, PausedByTheViewerOrEndedOnScreenForAMinuteItNeitherFailsNorReloads)
{
    AppModel &app = signedIn();
    app.settings()->setAutoplayNext(false);
    Built screen = buildWithFifthSegment(app, { ScriptedAnswer::file() });
    ASSERT_TRUE(screen.model);
    PlayerController &player = *screen.model->player();
    ASSERT_TRUE(waitUntil([&] { return position(player) > 1; }, 15s));
    player.togglePlay();
    // A minute in proportion.
    spinFor(9s);
    EXPECT_EQ(player.failedGeneration(), 0);
    player.togglePlay();
    runTask(player.seek(20));
    ASSERT_TRUE(waitUntil([&] { return player.endedGeneration() >= 1; }, 15s));
    spinFor(9s);
    EXPECT_EQ(player.failedGeneration(), 0);
    EXPECT_TRUE(player.isReady());
    EXPECT_FALSE(screen.model->hasError());
    EXPECT_EQ(loads(), 3) << "no reload";
}

} // namespace
} // namespace orvella::test
