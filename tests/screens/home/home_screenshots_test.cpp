// Pictures of the home screen and the menu overlay for a person to look at, taken only when
// ORVELLA_SCREENSHOT_DIR names a folder (run under xvfb-run with QT_QPA_PLATFORM=xcb).
// Against the service double's sample content, with the real clock.
#include "app/AppModel.h"
#include "app/AppServices.h"
#include "app/Application.h"
#include "screens/home/HomeScreenModel.h"
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

class HomeScreenshots : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = qEnvironmentVariable("ORVELLA_SCREENSHOT_DIR");
        if (folder.isEmpty())
            GTEST_SKIP() << "set ORVELLA_SCREENSHOT_DIR to take the pictures";
        QDir().mkpath(folder);
        QSettings().clear();
        ASSERT_TRUE(service.start());
        installSampleContent(service);
        qputenv("ORVELLA_API_BASE", service.origin().toString().toUtf8());
        QSettings settings;
        settings.setValue("orvella.session.access_token", "access-1");
        settings.setValue("orvella.session.refresh_token", "refresh-1");
        settings.setValue("access_expires", QDateTime::currentSecsSinceEpoch() + 86400.0);
        settings.sync();
    }

    // The signed-in window, moved from live to `route`.
    bool open(MacRoute::Value route)
    {
        app = AppBuilder().build();
        AppModel::setInstance(app.get());
        engine = std::make_unique<QQmlApplicationEngine>();
        prepareEngine(*engine);
        engine->load(mainWindowUrl());
        if (engine->rootObjects().isEmpty())
            return false;
        window = qobject_cast<QQuickWindow *>(engine->rootObjects().first());
        if (!window || !waitUntil([&] { return app->route() == MacRoute::Live; }, 15s))
            return false;
        app->navigate(route);
        spinFor(1500ms);
        return true;
    }

    void shoot(const QString &name)
    {
        for (const QSize size : { QSize(1280, 800), QSize(1024, 640) }) {
            window->resize(size);
            spinFor(400ms);
            window->grabWindow().save(folder + u'/' + name
                + (size.width() == 1280 ? QString() : QStringLiteral("-small"))
                + QStringLiteral(".png"));
        }
        window->resize(1280, 800);
    }

    void TearDown() override
    {
        engine.reset();
        AppModel::setInstance(nullptr);
        app.reset();
        QSettings().clear();
    }

    QString folder;
    ServiceDouble service;
    std::unique_ptr<AppModel> app;
    std::unique_ptr<QQmlApplicationEngine> engine;
    QQuickWindow *window = nullptr;
};

TEST_F(HomeScreenshots, HomeWithAndWithoutHomeData)
{
    ASSERT_TRUE(open(MacRoute::Home));
    shoot(QStringLiteral("home"));
    engine.reset();
    app.reset();
    service.on("GET", "tv/home", ScriptedAnswer::error(503, QStringLiteral("Down")));
    ASSERT_TRUE(open(MacRoute::Home));
    shoot(QStringLiteral("home-no-data"));
}

TEST_F(HomeScreenshots, MenuWithAndWithoutTheEventCard)
{
    ASSERT_TRUE(open(MacRoute::Home));
    app->setMenuPresented(true);
    shoot(QStringLiteral("menu-event"));
    engine.reset();
    app.reset();
    service.on(
        "GET", "tv/config", ScriptedAnswer::envelope(QJsonObject { { "urls", QJsonObject {} } }));
    ASSERT_TRUE(open(MacRoute::Home));
    app->setMenuPresented(true);
    shoot(QStringLiteral("menu-no-event"));
}

} // namespace
} // namespace orvella::test
