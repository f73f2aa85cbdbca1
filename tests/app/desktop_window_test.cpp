// The client on an X display, as the window system and other programs of the display treat
// it: the focus given or not at launch and the event notices, the window's title, its window
// destroyed from outside, and a language choice clicked while the settings cannot be written.
#include "QuitHarness.h"
#include "X11Display.h"
#include "screens/home/LanguagesScreenModel.h"
#include "support/NotificationServiceDouble.h"
#include "support/ReadOnlySettingsFolder.h"
#include "support/ScreenView.h"
#include "support/WindowPicture.h"

#include <QGuiApplication>
#include <optional>

namespace orvella::test {
namespace {

bool onX11()
{
    return QGuiApplication::platformName() == u"xcb";
}

// A fixture on the X display, with a second client of it.
template<typename Harness>
class OnX11 : public Harness
{
protected:
    void SetUp() override
    {
        if (!onX11())
            GTEST_SKIP() << "needs an X display (QT_QPA_PLATFORM=xcb)";
        ASSERT_TRUE(x11.isConnected());
        Harness::SetUp();
    }

    // By the item tree of the window, which holds what loaders and views made.
    [[nodiscard]] QQuickItem *item(const QString &name) const
    {
        const auto *window = qobject_cast<QQuickWindow *>(this->engine->rootObjects().first());
        return ScreenView::find(window->contentItem(), name);
    }

    X11Display x11;
};

// An active event without a start: the "event is active" notice applies as long as it lasts.
QJsonObject configWithActiveEvent()
{
    QJsonObject config = sampleConfig();
    config.insert("event", QJsonObject { { "active", true }, { "title", "Healing Night" } });
    return config;
}

// Started as the executable starts: a stored session, the start-up with the desktop's
// notifications and the window deciding whether the client is in front, then the window.
class Launch : public OnX11<ShellHarness>
{
protected:
    void SetUp() override
    {
        OnX11::SetUp();
        if (IsSkipped())
            return;
        // On the bus once the environment is settled (ORVELLA_API_BASE is set above).
        notices.emplace();
        ASSERT_TRUE(notices->isRunning()) << "another notification service holds the name";
        scriptStartup(configWithActiveEvent());
    }

    void adjust(AppBuilder &builder) override
    {
        builder.notifier(makeDesktopNotifier()).applicationActive({});
    }

    QQuickWindow *launch()
    {
        storeSession();
        AppModel &app = build(true);
        AppModel::setInstance(&app);
        QQuickWindow *window = loadWindow();
        if (!window)
            return nullptr;
        app.foreground().watch(window);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        EXPECT_TRUE(waitUntil([&] { return app.config().has_value(); }))
            << "the configuration came and the rules ran on it";
        return window;
    }

    // The timer's work a minute on, past the wait for the focus.
    void aMinuteLater()
    {
        clock.advance(std::chrono::minutes(1));
        runTask(model->syncEventNotifications());
        ASSERT_TRUE(notices->roundTrip());
    }

    std::optional<NotificationServiceDouble> notices;
};

TEST_F(Launch, AWindowGivenTheFocusPostsNoNotice)
{
    x11.focusNowhere();
    QQuickWindow *window = launch();
    ASSERT_TRUE(window);
    x11.focus(window->winId());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    ASSERT_TRUE(notices->roundTrip());
    EXPECT_TRUE(notices->calls().isEmpty()) << "not at launch";
    aMinuteLater();
    EXPECT_TRUE(notices->calls().isEmpty()) << "nor while the window has the focus";

    // The viewer turns to another program.
    x11.focusNowhere();
    ASSERT_TRUE(waitUntil([&] { return !window->isActive(); }));
    aMinuteLater();
    ASSERT_EQ(notices->calls().size(), 1);
    EXPECT_EQ(notices->calls()[0].summary, "Healing Night");
}

TEST_F(Launch, AWindowLeftWithoutTheFocusPostsOnce)
{
    x11.focusNowhere();
    QQuickWindow *window = launch();
    ASSERT_TRUE(window);
    ASSERT_TRUE(notices->roundTrip());
    EXPECT_TRUE(notices->calls().isEmpty()) << "the window system may still give it the focus";
    EXPECT_FALSE(window->isActive());
    aMinuteLater();
    aMinuteLater();
    ASSERT_EQ(notices->calls().size(), 1);
    EXPECT_EQ(notices->calls()[0].appName, "Orvella TV");
    EXPECT_EQ(notices->calls()[0].body, "A Orvella event is active. Watch live on Orvella.");
}

// The executable itself: its window's title, and the end of its run when another program of
// the display destroys that window.
TEST(DesktopWindow, IsTitledOrvellaTvAndItsLossEndsTheClient)
{
    if (!onX11())
        GTEST_SKIP() << "needs an X display (QT_QPA_PLATFORM=xcb)";
    X11Display x11;
    ASSERT_TRUE(x11.isConnected());
    ServiceDouble service;
    ASSERT_TRUE(service.start());
    installSampleContent(service);
    QProcess client;
    startClient(client, service);
    ASSERT_TRUE(client.waitForStarted());
    xcb_window_t window = XCB_NONE;
    ASSERT_TRUE(
        waitUntil([&] { return (window = x11.windowOf(client.processId())) != XCB_NONE; }, 30s));
    EXPECT_EQ(QString::fromUtf8(x11.property(window, "_NET_WM_NAME")), u"Orvella TV");
    EXPECT_EQ(x11.property(window, "WM_NAME"), "Orvella TV");
    // The application name, which places the settings, stays.
    EXPECT_EQ(x11.property(window, "WM_CLASS"), QByteArray("orvella-tv\0OrvellaTV\0", 21));

    x11.destroy(window);
    expectEndedNormally(client);
}

using QuittingOnX11 = OnX11<Quitting>;

TEST_F(QuittingOnX11, AWindowDestroyedByAnotherProgramEndsTheRunWithTheLeaveRecord)
{
    QQuickWindow *window = playingAnEpisode();
    ASSERT_TRUE(window);
    quitAndCheckTheLeaveRecord([&] { x11.destroy(window->winId()); });
}

using LanguagesOnX11 = OnX11<ShellHarness>;

TEST_F(LanguagesOnX11, AChoiceThatCannotBeSavedSaysSoAndTheScreenStays)
{
    AppModel &app = signedIn();
    QQuickWindow *window = loadWindow();
    ASSERT_TRUE(window);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    app.navigate(MacRoute::Languages);
    LanguagesScreenModel *screen = nullptr;
    ASSERT_TRUE(waitUntil(
        [&] { return (screen = window->findChild<LanguagesScreenModel *>()) != nullptr; }));
    QQuickItem *message = item(u"languagesSaveMessage"_qs);
    ASSERT_TRUE(message);
    EXPECT_FALSE(message->isVisible());

    ReadOnlySettingsFolder readOnly;
    ASSERT_TRUE(readOnly.holds());
    const QByteArray before = settingsFileOnDisk();
    const auto click = [&](const QString &list, const QString &code) {
        QQuickItem *row = nullptr;
        const bool built = waitUntil([&] {
            QQuickItem *lists = item(list);
            return lists && (row = ScreenView::find(lists, u"language-"_qs + code))
                && row->height() > 0;
        });
        ASSERT_TRUE(built) << code.toStdString();
        QTest::mouseClick(window, Qt::LeftButton, {},
            row->mapToScene(QPointF(row->width() / 2, row->height() / 2)).toPoint());
    };

    click(u"captionLanguages"_qs, u"fr"_qs);
    ASSERT_TRUE(waitUntil([&] { return message->isVisible(); }));
    EXPECT_EQ(message->property("text").toString(), "Could not save on this computer.");
    EXPECT_EQ(screen->captionLanguage(), "fr") << "it holds for this run";
    if (const QString folder = qEnvironmentVariable("ORVELLA_SCREENSHOT_DIR"); !folder.isEmpty()) {
        spinFor(300ms);
        windowPicture(*window).save(folder + u"/languages-not-saved.png"_qs);
    }
    EXPECT_EQ(settingsFileOnDisk(), before);

    // A stream language that cannot be kept does not take the viewer away from the message.
    click(u"streamLanguages"_qs, u"es"_qs);
    ASSERT_TRUE(waitUntil([&] { return screen->streamLanguage() == u"es"; }));
    EXPECT_EQ(app.route(), MacRoute::Languages);
    EXPECT_TRUE(message->isVisible());
}

} // namespace
} // namespace orvella::test
