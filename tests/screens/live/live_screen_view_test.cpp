#include "LiveScreenHarness.h"
#include "app/Application.h"
#include "support/ScreenView.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

namespace orvella::test {
namespace {

QStringList qmlWarnings;

void collectWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && message.contains(QLatin1String("screens/live")))
        qmlWarnings.append(message);
}

class LiveScreenView : public LiveScreenHarness
{
};

QQuickItem *child(QQuickItem *root, const char *name)
{
    return root->findChild<QQuickItem *>(QString::fromLatin1(name));
}

TEST_F(LiveScreenView, BuildsAndFollowsTheScreenState)
{
    AppModel &app = signedInOnLive();
    AppModel::setInstance(&app);
    qmlWarnings.clear();
    const auto previous = qInstallMessageHandler(collectWarnings);

    QQuickWindow window;
    window.resize(1280, 800);
    QQmlEngine engine;
    prepareEngine(engine);
    QQmlComponent component(
        &engine, QUrl(QStringLiteral("qrc:/Orvella/screens/live/LiveScreen.qml")));
    ASSERT_TRUE(component.isReady()) << component.errorString().toStdString();
    std::unique_ptr<QQuickItem> screen(qobject_cast<QQuickItem *>(component.create()));
    ASSERT_TRUE(screen);
    screen->setParentItem(window.contentItem());
    screen->setSize({ 1280, 800 });
    window.show();

    auto *model = screen->findChild<LiveScreenModel *>(QStringLiteral("liveScreenModel"));
    ASSERT_TRUE(model);
    EXPECT_TRUE(model->showWelcome()) << "appeared on construction";
    ASSERT_TRUE(waitUntil([&] { return player->hasCurrentItem(); }));

    EXPECT_FALSE(child(screen.get(), "liveLoadingCard")->isVisible()) << "hidden under the welcome";
    EXPECT_TRUE(waitUntil([&] { return !model->showWelcome(); }, std::chrono::seconds(4)));
    EXPECT_TRUE(child(screen.get(), "liveLoadingCard")->isVisible());
    EXPECT_EQ(child(screen.get(), "livePosterPlane")->opacity(), 1.0);

    player->setItemStatus(MediaPlayer::ItemStatus::ReadyToPlay);
    EXPECT_FALSE(child(screen.get(), "liveLoadingCard")->isVisible());
    EXPECT_EQ(child(screen.get(), "livePosterPlane")->opacity(), 0.0);
    EXPECT_EQ(child(screen.get(), "liveVideo")->opacity(), 1.0);

    EXPECT_FALSE(child(screen.get(), "liveQualityMenu")->isVisible());
    model->toggleQuality();
    EXPECT_TRUE(child(screen.get(), "liveQualityMenu")->isVisible());
    model->openSchedule();
    EXPECT_FALSE(child(screen.get(), "liveQualityMenu")->isVisible());
    EXPECT_FALSE(child(screen.get(), "liveChromeColumn")->isVisible());
    spinFor(std::chrono::milliseconds(50));
    EXPECT_TRUE(screen->findChild<QObject *>(QStringLiteral("liveScheduleModel")));

    qInstallMessageHandler(previous);
    EXPECT_TRUE(qmlWarnings.isEmpty()) << qmlWarnings.join(u'\n').toStdString();
    screen.reset();
    spinFor(std::chrono::milliseconds(50));
    AppModel::setInstance(nullptr);
}

// The page as the root view builds it, with real clicks through the window's event delivery.
class LivePage : public LiveScreenHarness
{
protected:
    void SetUp() override
    {
        LiveScreenHarness::SetUp();
        app = &signedInOnLive();
        app->setHasSeenLiveWelcome(true); // no welcome over the chrome
        page = view.show(*app, QStringLiteral("LiveScreen.qml"), { 1280, 800 });
        ASSERT_TRUE(page);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.window()));
        screen = page->findChild<LiveScreenModel *>(QStringLiteral("liveScreenModel"));
        ASSERT_TRUE(screen);
        // The screen's own load done (the stream it took is set just before it loads).
        ASSERT_TRUE(waitUntil([&] { return screen->supervisor()->stream().has_value(); }));
        ASSERT_TRUE(player->hasCurrentItem());
        player->setItemStatus(MediaPlayer::ItemStatus::ReadyToPlay);
        ASSERT_TRUE(app->livePlayer()->isPlaying());
    }
    void TearDown() override
    {
        view.close();
        LiveScreenHarness::TearDown();
    }

    // A left click in the middle of the named item, or at a point of the page, with the chrome
    // shown (its hide timer runs on the real clock).
    void click(const QString &name)
    {
        screen->revealControls();
        spinFor(std::chrono::milliseconds(20)); // the chrome laid out
        QQuickItem *item = view.child(name);
        ASSERT_TRUE(item && item->isVisible()) << name.toStdString();
        click(item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint());
    }
    void click(QPoint at)
    {
        screen->revealControls();
        QTest::mouseClick(view.window(), Qt::LeftButton, Qt::NoModifier, at);
        spinFor(std::chrono::milliseconds(20));
    }
    [[nodiscard]] bool playing() const
    {
        return app->livePlayer()->isPlaying() && app->livePlayer()->wantsPlayback()
            && player->rate() > 0;
    }

    ScreenView view { QStringLiteral("screens/live") };
    AppModel *app = nullptr;
    QQuickItem *page = nullptr;
    LiveScreenModel *screen = nullptr;
};

TEST_F(LivePage, ControlsDoTheirOwnActionAndLeavePlayingAlone)
{
    const int pauses = player->pauseCalls;
    const bool captions = app->settings()->captionsEnabled();
    click(QStringLiteral("liveCaptionsButton"));
    EXPECT_NE(app->settings()->captionsEnabled(), captions);
    click(QStringLiteral("liveMuteButton"));
    EXPECT_TRUE(app->livePlayer()->isMuted());
    click(QStringLiteral("liveMuteButton"));
    EXPECT_FALSE(app->livePlayer()->isMuted());
    click(QStringLiteral("liveQualityButton"));
    ASSERT_TRUE(screen->qualityOpen());
    click(QStringLiteral("liveQualityList"));
    EXPECT_FALSE(screen->qualityOpen()) << "a row was chosen";
    click(QStringLiteral("liveQualityButton"));
    click(QStringLiteral("liveQualityClose"));
    EXPECT_FALSE(screen->qualityOpen());
    const auto visibility = view.window()->visibility();
    click(QStringLiteral("liveFullScreenButton"));
    EXPECT_TRUE(waitUntil([&] { return view.window()->visibility() != visibility; }));
    view.window()->setVisibility(visibility);
    click(QStringLiteral("livePositionText")); // the row itself, between its controls
    click(QStringLiteral("liveTitle"));
    click(QStringLiteral("liveMenuButton"));
    EXPECT_TRUE(waitUntil([&] { return app->menuPresented(); }));
    app->setMenuPresented(false);
    click(QStringLiteral("liveScheduleButton"));
    EXPECT_TRUE(screen->showSchedule());
    EXPECT_TRUE(screen->showControls());
    EXPECT_TRUE(playing());
    EXPECT_EQ(player->pauseCalls, pauses) << "no click paused the channel";
}

TEST_F(LivePage, CellsThatLeaveLiveOnlyNavigate)
{
    const std::pair<const char *, MacRoute::Value> cells[] = {
        { "liveLanguagesButton", MacRoute::Languages },
        { "liveGiveButton", MacRoute::Give },
        { "liveHeraldButton", MacRoute::Herald },
        { "liveTestimonyButton", MacRoute::Testimony },
        { "liveProgramsButton", MacRoute::Programs },
    };
    for (const auto &[name, route] : cells) {
        SCOPED_TRACE(name);
        click(QString::fromLatin1(name));
        EXPECT_EQ(app->route(), route);
        EXPECT_FALSE(app->livePlayer()->wantsPlayback()) << "paused by leaving, not resumed";
        EXPECT_EQ(player->rate(), 0);
        app->navigate(MacRoute::Live);
        ASSERT_TRUE(playing());
    }
}

TEST_F(LivePage, OnlyAClickOnThePictureTogglesPlaying)
{
    const QPoint picture(640, 360);
    click(picture);
    EXPECT_FALSE(playing());
    EXPECT_TRUE(screen->showControls());
    click(picture);
    EXPECT_TRUE(playing());
    click(QStringLiteral("livePlayButton"));
    EXPECT_FALSE(playing()) << "the play button toggles once";
    click(QStringLiteral("livePlayButton"));
    EXPECT_TRUE(playing());
}

TEST_F(LivePage, CaptionsStandAboveTheFooterWhileItShows)
{
    auto *column = view.child(QStringLiteral("liveChromeColumn"));
    auto *chrome = column->property("item").value<QQuickItem *>();
    ASSERT_TRUE(chrome);
    const double footer = chrome->property("footerHeight").toDouble() / page->height();
    EXPECT_GT(footer, 0.1);
    EXPECT_DOUBLE_EQ(player->captionInset, footer);
    screen->openSchedule(); // the panel takes the chrome's place
    EXPECT_EQ(player->captionInset, 0);
    screen->closeSchedule();
    EXPECT_DOUBLE_EQ(player->captionInset, footer);
}

} // namespace
} // namespace orvella::test
