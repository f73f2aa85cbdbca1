// Pictures of the languages, written-testimony, engagement and magazine pages for a person to
// look at, taken only when ORVELLA_SCREENSHOT_DIR names a folder (run under xvfb-run with
// QT_QPA_PLATFORM=xcb). Against the service double's sample content.
#include "app/AppModel.h"
#include "app/Application.h"
#include "screens/home/TestimonyScreenModel.h"
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

class HomeTextScreenshots : public ::testing::Test
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
        app = AppBuilder().build();
        AppModel::setInstance(app.get());
        engine = std::make_unique<QQmlApplicationEngine>();
        prepareEngine(*engine);
        engine->load(mainWindowUrl());
        ASSERT_FALSE(engine->rootObjects().isEmpty());
        window = qobject_cast<QQuickWindow *>(engine->rootObjects().first());
        ASSERT_TRUE(window);
        ASSERT_TRUE(waitUntil([&] { return app->config().has_value(); }, 15s));
    }

    // A configuration with only these links (none: no "urls" at all).
    void links(const QJsonObject &urls)
    {
        QJsonObject config { { "force_update_message", "Update" } };
        if (!urls.isEmpty())
            config.insert("urls", urls);
        service.on("GET", "tv/config", ScriptedAnswer::envelope(config));
        runTask(app->refreshEventScheduleData());
    }

    void shoot(MacRoute::Value route, const QString &name)
    {
        app->navigate(route);
        spinFor(600ms);
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

TEST_F(HomeTextScreenshots, EveryPageAndState)
{
    shoot(MacRoute::Languages, QStringLiteral("languages"));
    shoot(MacRoute::Magazine, QStringLiteral("magazine"));
    shoot(MacRoute::Give, QStringLiteral("give"));

    QSettings draft;
    draft.setValue("testimony.draft.name", "Grace Mensah");
    draft.setValue("testimony.draft.email", "grace@example.org");
    draft.setValue("testimony.draft.story",
        QStringLiteral("I came to the healing service with pain in my back that doctors "
                       "could not explain. ")
            .repeated(4));
    draft.sync();
    shoot(MacRoute::Testimony, QStringLiteral("testimony-portal"));

    links({});
    shoot(MacRoute::Herald, QStringLiteral("herald-fallback"));
    shoot(MacRoute::Give, QStringLiteral("give-unavailable"));
    shoot(MacRoute::Testimony, QStringLiteral("testimony-no-portal"));
}

} // namespace
} // namespace orvella::test
