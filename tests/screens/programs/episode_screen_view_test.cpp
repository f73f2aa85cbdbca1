// The episode screen's QML over fake media: which layer shows in each state, and that the
// view builds without warnings.
#include "EpisodeScreenHarness.h"

#include <QTest>

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

QStringList qmlWarnings;

void collectWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && message.contains(QLatin1String("screens/programs")))
        qmlWarnings.append(message);
}

class EpisodeScreenView : public EpisodeScreenHarness
{
};

TEST_F(EpisodeScreenView, ShowsEachLayerInItsState)
{
    service.on("GET", "episodes/gone", ScriptedAnswer::error(404, u"Episode gone"_qs));
    service.on("GET", "episodes/e1",
        ScriptedAnswer::envelope(episodeDetailJson(u"e1"_qs, u"http://127.0.0.1:9/v.m3u8"_qs,
            { episodeSummaryJson(5), episodeSummaryJson(6) })));
    service.on("GET", "programs/7", ScriptedAnswer::error(500, u"Down"_qs));
    AppModel &app = signedIn();
    qmlWarnings.clear();
    const auto previous = qInstallMessageHandler(collectWarnings);

    Built gone = buildScreen(app, u"gone"_qs, [this](EpisodePlayerModel &m) { useFakes(m); });
    ASSERT_TRUE(gone.model);
    ASSERT_TRUE(waitUntil([&] { return gone.model->hasError(); }));
    EXPECT_TRUE(shows(gone, "episodeErrorPanel"));
    EXPECT_FALSE(shows(gone, "episodeLoadingPanel"));
    gone.item.reset();

    Built screen = buildScreen(app, u"e1"_qs, [this](EpisodePlayerModel &m) { useFakes(m); });
    EpisodePlayerModel &model = *screen.model;
    ASSERT_TRUE(waitUntil([&] { return media && !media->loads.empty(); }));
    EXPECT_TRUE(shows(screen, "episodeLoadingPanel"));
    EXPECT_FALSE(shows(screen, "episodeChrome"));

    media->setDuration(1800);
    media->setItemStatus(MediaPlayer::ItemStatus::ReadyToPlay);
    spinFor(20ms);
    EXPECT_FALSE(shows(screen, "episodeLoadingPanel"));
    EXPECT_TRUE(shows(screen, "episodeChrome"));
    EXPECT_FALSE(shows(screen, "episodeRepeatMenu"));
    model.chrome()->toggleRepeatMenu();
    spinFor(200ms);
    EXPECT_TRUE(shows(screen, "episodeRepeatMenu"));
    model.chrome()->toggleQualityMenu();
    spinFor(200ms);
    EXPECT_FALSE(shows(screen, "episodeRepeatMenu"));
    EXPECT_TRUE(shows(screen, "episodeQualityMenu"));

    model.chrome()->more();
    spinFor(20ms);
    EXPECT_FALSE(shows(screen, "episodeChrome"));
    EXPECT_FALSE(shows(screen, "episodeTapLayer"));
    EXPECT_TRUE(shows(screen, "relatedPanel"));
    model.chrome()->closeRelated();

    app.settings()->setAutoplayNext(true);
    media->finishItem();
    spinFor(20ms);
    EXPECT_TRUE(shows(screen, "playingNextCard"));
    EXPECT_FALSE(shows(screen, "episodeChrome"));
    model.playNext()->stop();
    spinFor(20ms);
    EXPECT_FALSE(screen.item->findChild<QQuickItem *>(u"playingNextCard"_qs));
    EXPECT_TRUE(shows(screen, "episodeChrome"));

    qInstallMessageHandler(previous);
    EXPECT_TRUE(qmlWarnings.isEmpty()) << qmlWarnings.join(u'\n').toStdString();
}

TEST_F(EpisodeScreenView, AnotherEpisodeBuildsANewScreenThatLeavesTheOldOneBehind)
{
    for (const char *id : { "e1", "e2" })
        service.on("GET", QByteArray("episodes/") + id,
            ScriptedAnswer::envelope(episodeDetailJson(QString::fromLatin1(id), {})));
    AppModel &app = signedIn();
    ASSERT_TRUE(buildRootView(app));
    const auto shown = [&] { return shownEpisode(); };

    app.openEpisode(u"e1"_qs);
    ASSERT_TRUE(waitUntil([&] { return shown() && shown()->hasError(); }));
    QPointer<EpisodePlayerModel> first = shown();
    EXPECT_EQ(first->episodeId(), u"e1"_qs);
    app.openEpisode(u"e2"_qs);
    ASSERT_TRUE(waitUntil([&] { return !first && shown(); }));
    EXPECT_EQ(shown()->episodeId(), u"e2"_qs);
}

TEST_F(EpisodeScreenView, EpisodesTheMutedPlayerMovesOnToStartMuted)
{
    const QJsonArray related { episodeSummaryJson(5), episodeSummaryJson(6) };
    for (const char *id : { "e1", "5", "6" })
        service.on("GET", QByteArray("episodes/") + id,
            ScriptedAnswer::envelope(episodeDetailJson(QString::fromLatin1(id), {}, related)));
    service.on("GET", "programs/7", ScriptedAnswer::error(500, u"Down"_qs));
    AppModel &app = signedIn();
    ASSERT_TRUE(buildRootView(app));
    const auto shown = [&]() -> EpisodePlayerModel * {
        EpisodePlayerModel *model = shownEpisode();
        return model && model->episode() ? model : nullptr;
    };
    const auto showing = [&](const char *id) {
        return waitUntil([&] { return shown() && shown()->episodeId() == QLatin1String(id); });
    };
    const auto muted = [&] {
        PlayerController *player = shown()->player();
        EXPECT_EQ(player->isMuted(), player->player()->isMuted());
        return player->isMuted();
    };

    app.openEpisode(u"e1"_qs);
    ASSERT_TRUE(showing("e1"));
    EXPECT_FALSE(muted());
    shown()->chrome()->toggleMute();
    shown()->selectRelated(0);
    ASSERT_TRUE(showing("5"));
    EXPECT_TRUE(muted()) << "a related episode";
    app.settings()->setEpisodeRepeatMode(EpisodeRepeatMode::All);
    shown()->handleEpisodeEnded();
    ASSERT_TRUE(showing("6"));
    EXPECT_TRUE(muted()) << "repeat all";

    shown()->chrome()->toggleMute();
    shown()->handleEpisodeEnded();
    ASSERT_TRUE(showing("5"));
    EXPECT_FALSE(muted()) << "unmuted stays unmuted";
    shown()->chrome()->toggleMute();
    app.openEpisode(u"6"_qs);
    ASSERT_TRUE(showing("6"));
    EXPECT_FALSE(muted()) << "an episode opened elsewhere has its sound";
}

TEST_F(EpisodeScreenView, APointerRestingOverTheWindowLetsTheChromeHide)
{
    service.on("GET", "episodes/e1",
        ScriptedAnswer::envelope(episodeDetailJson(u"e1"_qs, u"http://127.0.0.1:9/v.m3u8"_qs)));
    AppModel &app = signedIn();
    Built screen = buildScreen(app, u"e1"_qs, [this](EpisodePlayerModel &m) { useFakes(m); });
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ASSERT_TRUE(waitUntil([&] { return media && !media->loads.empty(); }));
    media->setDuration(1800);
    media->setItemStatus(MediaPlayer::ItemStatus::ReadyToPlay);
    ASSERT_TRUE(waitUntil([&] { return shows(screen, "episodeChrome"); }));

    // The pointer comes to rest over the picture once; the window keeps repeating its hover.
    QTest::mouseMove(window.get(), QPoint(640, 400));
    spinFor(50ms);
    for (int second = 1; second <= 12; ++second) {
        media->setCurrentTime(second);
        screen.model->player()->refreshTime();
        advance(1s);
        spinFor(50ms);
        if (second >= 4) {
            EXPECT_FALSE(shows(screen, "episodeChrome")) << second << " s at rest";
        }
    }
    // A paused episode hides its chrome the same way.
    QTest::mouseMove(window.get(), QPoint(600, 380));
    spinFor(50ms);
    EXPECT_TRUE(shows(screen, "episodeChrome")) << "a moved pointer shows it";
    screen.model->chrome()->togglePlay();
    for (int second = 1; second <= 5; ++second) {
        advance(1s);
        spinFor(50ms);
    }
    EXPECT_FALSE(shows(screen, "episodeChrome")) << "paused, at rest";
}

TEST_F(EpisodeScreenView, CaptionsStandAboveTheControlsWhileTheyShow)
{
    service.on("GET", "episodes/e1",
        ScriptedAnswer::envelope(episodeDetailJson(u"e1"_qs, u"http://127.0.0.1:9/v.m3u8"_qs,
            { episodeSummaryJson(5), episodeSummaryJson(6) })));
    AppModel &app = signedIn();
    Built screen = buildScreen(app, u"e1"_qs, [this](EpisodePlayerModel &m) { useFakes(m); });
    ASSERT_TRUE(waitUntil([&] { return media && !media->loads.empty(); }));
    media->setDuration(1800);
    media->setItemStatus(MediaPlayer::ItemStatus::ReadyToPlay);
    spinFor(20ms);
    ASSERT_TRUE(shows(screen, "episodeChrome"));
    auto *chrome = screen.item->findChild<QQuickItem *>(u"episodeChrome"_qs);
    const double controls = chrome->property("controlsInset").toDouble() / chrome->height();
    EXPECT_GT(controls, 0.1);
    EXPECT_DOUBLE_EQ(media->captionInset, controls);
    screen.model->chrome()->more(); // the related row replaces the chrome
    spinFor(20ms);
    EXPECT_EQ(media->captionInset, 0);
    screen.model->chrome()->closeRelated();
    spinFor(20ms);
    EXPECT_DOUBLE_EQ(media->captionInset, controls);
}

} // namespace
} // namespace orvella::test
