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


// The page with real clicks through the window's event delivery, over fake media: every control
// does its own action, and only a click on the picture (or the title text, which lies on it)
// pauses or resumes.
class EpisodePage : public EpisodeScreenHarness
{
protected:
    void SetUp() override
    {
        EpisodeScreenHarness::SetUp();
        service.on("GET", "episodes/e1",
            ScriptedAnswer::envelope(episodeDetailJson(u"e1"_qs, u"http://127.0.0.1:9/v.m3u8"_qs,
                { episodeSummaryJson(5), episodeSummaryJson(6) })));
        service.on("GET", "programs/7", ScriptedAnswer::error(500, u"Down"_qs));
        app = &signedIn();
        screen = buildScreen(*app, u"e1"_qs, [this](EpisodePlayerModel &m) { useFakes(m); });
        ASSERT_TRUE(screen.model);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        ASSERT_TRUE(waitUntil([&] { return media && !media->loads.empty(); }));
        media->setDuration(1800);
        media->setItemStatus(MediaPlayer::ItemStatus::ReadyToPlay);
        ASSERT_TRUE(waitUntil([&] { return shows(screen, "episodeChrome"); }));
        ASSERT_TRUE(playing());
    }
    void TearDown() override
    {
        screen.item.reset();
        EpisodeScreenHarness::TearDown();
    }

    // The item of that object name, or the button of that text, as laid out now.
    [[nodiscard]] QQuickItem *item(const QString &name) const
    {
        spinFor(20ms);
        return find(screen.item.get(), name);
    }
    static QQuickItem *find(QQuickItem *parent, const QString &name)
    {
        for (QQuickItem *child : parent->childItems()) {
            if (!child->isVisible())
                continue;
            if (child->objectName() == name || child->property("text").toString() == name)
                return child;
            if (QQuickItem *found = find(child, name))
                return found;
        }
        return nullptr;
    }

    // A left click in the middle of the named item, or at a point of the window.
    void click(const QString &name)
    {
        QQuickItem *target = item(name);
        ASSERT_TRUE(target) << name.toStdString();
        click(target);
    }
    void click(QQuickItem *target)
    {
        click(target->mapToScene(QPointF(target->width() / 2, target->height() / 2)).toPoint());
    }
    void click(QPoint at)
    {
        QTest::mouseClick(window.get(), Qt::LeftButton, Qt::NoModifier, at);
        spinFor(20ms);
    }

    [[nodiscard]] bool playing() const
    {
        return screen.model->player()->isPlaying() && media->rate() > 0;
    }
    // Calls that pause or resume the player.
    [[nodiscard]] int playingCalls() const { return media->playCalls + media->pauseCalls; }

    AppModel *app = nullptr;
    Built screen;
};

TEST_F(EpisodePage, ControlsDoTheirOwnActionAndLeavePlayingAlone)
{
    EpisodeChromeModel &chrome = *screen.model->chrome();
    const int calls = playingCalls();

    click(u"episodeSkipBack"_qs);
    click(u"episodeSkipForward"_qs);
    EXPECT_EQ(media->seeks.size(), 2u);
    const bool captions = app->settings()->captionsEnabled();
    click(u"episodeCaptions"_qs);
    EXPECT_NE(app->settings()->captionsEnabled(), captions);
    click(u"episodeMute"_qs);
    EXPECT_TRUE(media->isMuted());
    click(u"episodeMute"_qs);
    EXPECT_FALSE(media->isMuted());
    const bool autoplay = app->settings()->autoplayNext();
    click(u"episodeAutoplay"_qs);
    EXPECT_NE(app->settings()->autoplayNext(), autoplay);

    click(u"episodeRepeat"_qs);
    ASSERT_TRUE(chrome.repeatOpen());
    click(u"Repeat"_qs); // the menu's own title
    EXPECT_TRUE(chrome.repeatOpen());
    click(u"Repeat one"_qs);
    EXPECT_EQ(chrome.repeatMode(), int(EpisodeRepeatMode::One));
    EXPECT_FALSE(chrome.repeatOpen());
    click(u"episodeRepeat"_qs);
    click(item(u"episodeRepeatMenu"_qs)->findChild<QQuickItem *>(u"menuClose"_qs));
    EXPECT_FALSE(chrome.repeatOpen());

    click(u"episodeQuality"_qs);
    ASSERT_TRUE(chrome.qualityOpen());
    click(u"Stream quality"_qs);
    EXPECT_TRUE(chrome.qualityOpen());
    click(u"1Mbps"_qs);
    EXPECT_EQ(chrome.quality(), u"1Mbps"_qs);
    EXPECT_EQ(media->preferredPeakBitRate(), 1e6);
    EXPECT_FALSE(chrome.qualityOpen());
    click(u"episodeQuality"_qs);
    click(item(u"episodeQualityMenu"_qs)->findChild<QQuickItem *>(u"menuClose"_qs));
    EXPECT_FALSE(chrome.qualityOpen());

    click(u"seekSlider"_qs);
    EXPECT_EQ(media->seeks.size(), 3u) << "one seek on release";
    click(u"episodeElapsed"_qs);
    // Between two buttons of the control row.
    QQuickItem *play = item(u"episodePlayPause"_qs);
    click(play->mapToScene(QPointF(play->width() + 6, play->height() / 2)).toPoint());
    EXPECT_TRUE(playing());
    EXPECT_EQ(playingCalls(), calls) << "no click paused or resumed";
    EXPECT_TRUE(chrome.controlsVisible());
}

TEST_F(EpisodePage, TheRelatedRowAndThePlayingNextCardTakeTheirOwnClicks)
{
    EpisodeChromeModel &chrome = *screen.model->chrome();
    const int calls = playingCalls();

    click(u"episodeMore"_qs);
    ASSERT_TRUE(chrome.relatedOpen());
    click(u"relatedHeading"_qs);
    EXPECT_TRUE(chrome.relatedOpen()) << "the panel takes its clicks";
    click(u"relatedClose"_qs);
    EXPECT_FALSE(chrome.relatedOpen());
    click(u"episodeMore"_qs);
    auto *row = qobject_cast<QQuickItem *>(item(u"relatedRow"_qs));
    ASSERT_TRUE(row);
    QQuickItem *card = nullptr;
    QMetaObject::invokeMethod(row, "itemAtIndex", Q_RETURN_ARG(QQuickItem *, card), Q_ARG(int, 1));
    ASSERT_TRUE(card);
    click(card);
    EXPECT_EQ(app->selectedEpisodeIdText(), u"6"_qs);
    EXPECT_FALSE(chrome.relatedOpen());
    EXPECT_TRUE(playing());
    EXPECT_EQ(playingCalls(), calls) << "the related row left playing alone";

    app->settings()->setAutoplayNext(true);
    media->finishItem();
    ASSERT_TRUE(item(u"playingNextCard"_qs));
    const int ended = playingCalls();
    click(u"playingNextTitle"_qs);
    EXPECT_TRUE(item(u"playingNextCard"_qs)) << "the card takes its clicks";
    click(u"playingNextStop"_qs);
    EXPECT_FALSE(item(u"playingNextCard"_qs));
    EXPECT_TRUE(shows(screen, "episodeChrome"));
    EXPECT_FALSE(playing());
    EXPECT_EQ(playingCalls(), ended) << "the ended episode stays paused";
}

TEST_F(EpisodePage, OnlyAClickOnThePictureOrTheTitleTogglesPlaying)
{
    const QPoint picture(640, 400);
    click(picture);
    EXPECT_FALSE(playing());
    EXPECT_TRUE(screen.model->chrome()->controlsVisible());
    click(picture);
    EXPECT_TRUE(playing());
    click(u"episodeTitle"_qs); // the title lies on the picture
    EXPECT_FALSE(playing());
    click(u"episodePlayPause"_qs);
    EXPECT_TRUE(playing()) << "the play button toggles once";
    click(u"episodePlayPause"_qs);
    EXPECT_FALSE(playing());
}

} // namespace
} // namespace orvella::test
