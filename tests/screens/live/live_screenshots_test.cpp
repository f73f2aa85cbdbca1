// Pictures of the live screen for a person to look at, taken only when ORVELLA_SCREENSHOT_DIR
// names a folder (run the test binary under xvfb-run with QT_QPA_PLATFORM=xcb, so the picture
// goes through OpenGL as on a desktop). Against the service double's sample content.
#include "app/AppModel.h"
#include "app/Application.h"
#include "screens/live/LiveScreenModel.h"
#include "support/SampleContent.h"
#include "support/ServiceDouble.h"
#include "support/TestAsync.h"

#include <QDir>
#include <QJsonObject>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QSettings>
#include <gtest/gtest.h>

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

class LiveScreenshots : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = qEnvironmentVariable("ORVELLA_SCREENSHOT_DIR");
        if (folder.isEmpty())
            GTEST_SKIP() << "set ORVELLA_SCREENSHOT_DIR to take the pictures";
        QDir().mkpath(folder);
        ASSERT_TRUE(service.start());
        installSampleContent(service);
        qputenv("ORVELLA_API_BASE", service.origin().toString().toUtf8());
        QSettings settings;
        settings.setValue("orvella.session.access_token", "access-1");
        settings.setValue("orvella.session.refresh_token", "refresh-1");
        settings.setValue("access_expires", QDateTime::currentSecsSinceEpoch() + 86400.0);
        settings.sync();
    }

    QQuickWindow *open()
    {
        app = AppBuilder().build();
        AppModel::setInstance(app.get());
        engine = std::make_unique<QQmlApplicationEngine>();
        prepareEngine(*engine);
        engine->load(mainWindowUrl());
        return engine->rootObjects().isEmpty()
            ? nullptr
            : qobject_cast<QQuickWindow *>(engine->rootObjects().first());
    }

    void shoot(QQuickWindow *window, const QString &name)
    {
        spinFor(300ms);
        window->grabWindow().save(folder + u'/' + name + QStringLiteral(".png"));
    }

    void TearDown() override
    {
        engine.reset();
        AppModel::setInstance(nullptr);
        app.reset();
    }

    QString folder;
    ServiceDouble service;
    std::unique_ptr<AppModel> app;
    std::unique_ptr<QQmlApplicationEngine> engine;
};

TEST_F(LiveScreenshots, PlayingWithChromeMenusAndPanel)
{
    QQuickWindow *window = open();
    ASSERT_TRUE(window);
    LiveScreenModel *live = nullptr;
    ASSERT_TRUE(waitUntil(
        [&] {
            live = window->findChild<LiveScreenModel *>(QStringLiteral("liveScreenModel"));
            return live && live->showWelcome();
        },
        10s));
    shoot(window, QStringLiteral("live-welcome"));
    ASSERT_TRUE(waitUntil([&] { return app->livePlayer()->isReady(); }, 15s));
    spinFor(2s);
    live->revealControls();
    shoot(window, QStringLiteral("live-playing"));
    live->toggleQuality();
    shoot(window, QStringLiteral("live-quality-menu"));
    live->dismissQuality();
    window->resize(1024, 640); // the smallest window
    live->revealControls();
    shoot(window, QStringLiteral("live-smallest-window"));
    window->resize(1280, 800);
    live->openSchedule();
    spinFor(1s);
    shoot(window, QStringLiteral("live-schedule"));
}

TEST_F(LiveScreenshots, Offline)
{
    service.on("GET", "live/stream",
        ScriptedAnswer::envelope(QJsonObject {
            { "title", "Orvella TV Live" }, { "is_live", false }, { "status", "offline" } }));
    QQuickWindow *window = open();
    ASSERT_TRUE(window);
    LiveScreenModel *live = nullptr;
    ASSERT_TRUE(waitUntil(
        [&] {
            live = window->findChild<LiveScreenModel *>(QStringLiteral("liveScreenModel"));
            return live && live->hasError() && !live->showWelcome();
        },
        15s));
    live->revealControls();
    shoot(window, QStringLiteral("live-offline"));
}

TEST_F(LiveScreenshots, OutageThenRecovery)
{
    // Opened while the media is out: the loads fail until the media is back, then it heals.
    service.addMediaOutage(0s, 20s);
    QQuickWindow *window = open();
    ASSERT_TRUE(window);
    LiveScreenModel *live = nullptr;
    ASSERT_TRUE(waitUntil(
        [&] {
            live = window->findChild<LiveScreenModel *>(QStringLiteral("liveScreenModel"));
            return live && !live->showWelcome() && app->livePlayer()->failedGeneration() >= 2;
        },
        15s));
    live->revealControls();
    shoot(window, QStringLiteral("live-outage"));
    ASSERT_TRUE(waitUntil([&] { return app->livePlayer()->isReady(); }, 60s));
    spinFor(2s);
    live->revealControls();
    shoot(window, QStringLiteral("live-recovered"));
}

TEST_F(LiveScreenshots, LongTitle)
{
    QString title;
    while (title.size() < 400)
        title += QStringLiteral("Healing Streams Live Healing Services with the Man of God ");
    service.on("GET", "live/stream",
        ScriptedAnswer::envelope(QJsonObject { { "title", title }, { "is_live", true },
            { "minister", title.left(120) }, { "viewers_label", title.left(90) },
            { "hls_url", service.mediaUrl(QStringLiteral("live/master.m3u8")).toString() } }));
    QQuickWindow *window = open();
    ASSERT_TRUE(window);
    ASSERT_TRUE(waitUntil([&] { return app && app->livePlayer()->isReady(); }, 20s));
    auto *live = window->findChild<LiveScreenModel *>(QStringLiteral("liveScreenModel"));
    ASSERT_TRUE(live);
    ASSERT_TRUE(waitUntil([&] { return !live->showWelcome(); }, 5s));
    live->revealControls();
    shoot(window, QStringLiteral("live-long-title"));
}

} // namespace
} // namespace orvella::test
