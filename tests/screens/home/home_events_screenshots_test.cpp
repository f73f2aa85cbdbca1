// Pictures of the virtual centre and countdown screens for a person to look at, taken only when
// ORVELLA_SCREENSHOT_DIR names a folder (run under xvfb-run with QT_QPA_PLATFORM=xcb).
// Against the service double's sample content, with the real clock.
#include "app/AppModel.h"
#include "app/AppServices.h"
#include "app/Application.h"
#include "screens/home/CountdownScreenModel.h"
#include "screens/home/VirtualCenterScreenModel.h"
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

class HomeEventsScreenshots : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = qEnvironmentVariable("ORVELLA_SCREENSHOT_DIR");
        if (folder.isEmpty())
            GTEST_SKIP() << "set ORVELLA_SCREENSHOT_DIR to take the pictures";
        QDir().mkpath(folder);
        QSettings settings;
        settings.clear();
        settings.setValue("orvella.session.access_token", "access-1");
        settings.setValue("orvella.session.refresh_token", "refresh-1");
        settings.setValue("access_expires", QDateTime::currentSecsSinceEpoch() + 86400.0);
        settings.sync();
        ASSERT_TRUE(service.start());
        installSampleContent(service);
        qputenv("ORVELLA_API_BASE", service.origin().toString().toUtf8());
    }

    // Signed in, on the given route once start-up has reached live.
    bool open(MacRoute::Value route)
    {
        app = AppBuilder().build();
        AppModel::setInstance(app.get());
        engine = std::make_unique<QQmlApplicationEngine>();
        prepareEngine(*engine);
        engine->load(mainWindowUrl());
        window = engine->rootObjects().isEmpty()
            ? nullptr
            : qobject_cast<QQuickWindow *>(engine->rootObjects().first());
        if (!window || !waitUntil([&] { return app->route() == MacRoute::Live; }, 15s))
            return false;
        app->navigate(route);
        return true;
    }

    template<typename Model>
    Model *find(const char *name)
    {
        Model *found = nullptr;
        EXPECT_TRUE(waitUntil(
            [&] { return (found = window->findChild<Model *>(QString::fromLatin1(name))); }, 10s));
        return found;
    }

    void shoot(const QString &name)
    {
        spinFor(400ms);
        window->grabWindow().save(folder + u'/' + name + QStringLiteral(".png"));
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

TEST_F(HomeEventsScreenshots, VirtualCenterListJoinAndHost)
{
    ASSERT_TRUE(open(MacRoute::VirtualCenter));
    auto *screen = find<VirtualCenterScreenModel>("virtualCenterScreenModel");
    ASSERT_TRUE(screen);
    shoot(QStringLiteral("virtual-center-list"));
    screen->setQuery(QStringLiteral("africa"));
    shoot(QStringLiteral("virtual-center-search"));
    screen->join(2);
    screen->setParticipantCount(QStringLiteral("25"));
    shoot(QStringLiteral("virtual-center-join"));
    screen->host();
    screen->setCenterName(QStringLiteral("Ikeja Home Group"));
    shoot(QStringLiteral("virtual-center-host"));
}

TEST_F(HomeEventsScreenshots, CountdownWithEventsAndEmpty)
{
    ASSERT_TRUE(open(MacRoute::Countdown));
    auto *screen = find<CountdownScreenModel>("countdownScreenModel");
    ASSERT_TRUE(screen && waitUntil([&] { return !screen->isEmpty(); }, 10s));
    shoot(QStringLiteral("countdown-events"));
    window->resize(1024, 640);
    shoot(QStringLiteral("countdown-events-small"));
    window->resize(1280, 800);

    service.on("GET", "tv/config", ScriptedAnswer::envelope(QJsonObject {}));
    service.on("GET", "tv/home", ScriptedAnswer::envelope(QJsonObject {}));
    screen->refresh();
    ASSERT_TRUE(waitUntil([&] { return screen->isEmpty(); }, 10s));
    shoot(QStringLiteral("countdown-empty"));
}

} // namespace
} // namespace orvella::test
