// Pictures of the library pages for a person to look at, taken only when
// ORVELLA_SCREENSHOT_DIR names a folder (run under xvfb-run with QT_QPA_PLATFORM=xcb).
// Against the service double's sample content, with the real clock.
#include "app/AppModel.h"
#include "app/AppServices.h"
#include "app/Application.h"
#include "screens/home/KidsZoneLibraryModel.h"
#include "screens/home/TestimoniesLibraryModel.h"
#include "support/SampleContent.h"
#include "support/ServiceDouble.h"
#include "support/TestAsync.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QSettings>
#include <gtest/gtest.h>

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

class LibraryScreenshots : public ::testing::Test
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
        window->resize(1280, 800);
        ASSERT_TRUE(waitUntil([&] { return app->route() == MacRoute::Live; }, 15s));
    }

    template<typename Model>
    Model *find(const char *name)
    {
        Model *found = nullptr;
        EXPECT_TRUE(waitUntil(
            [&] { return (found = window->findChild<Model *>(QString::fromLatin1(name))); }, 10s));
        return found;
    }

    void shoot(const QString &name, std::chrono::milliseconds settle = 300ms)
    {
        spinFor(settle);
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

TEST_F(LibraryScreenshots, TestimoniesLoadingErrorAndList)
{
    service.on("GET", "programs",
        ScriptedAnswer::error(503, u"The service is busy. Try again in a moment."_qs)
            .withDelay(1500ms));
    app->navigate(MacRoute::TestimoniesLib);
    auto *library = find<TestimoniesLibraryModel>("testimoniesLibraryModel");
    ASSERT_TRUE(library);
    shoot(u"testimonies-loading"_qs);
    ASSERT_TRUE(waitUntil([&] { return library->showsError(); }));
    shoot(u"testimonies-error"_qs);

    installSampleContent(service);
    app->navigate(MacRoute::Home);
    app->navigate(MacRoute::TestimoniesLib);
    ASSERT_TRUE(waitUntil([&] {
        library = window->findChild<TestimoniesLibraryModel *>();
        return library && library->showsList() && !library->isLoading();
    }));
    shoot(u"testimonies-list"_qs, 1500ms);
    window->resize(1024, 640);
    shoot(u"testimonies-list-small"_qs);
}

TEST_F(LibraryScreenshots, KidsZoneLoadingErrorListAndErrorLine)
{
    service.on("GET", "programs/79",
        ScriptedAnswer::error(503, u"The service is busy. Try again in a moment."_qs)
            .withDelay(1500ms));
    // The route the kids page stands for is never navigated to: the page is built directly.
    app->navigator().setRouteDirectly(MacRoute::KidsZone);
    auto *kids = find<KidsZoneLibraryModel>("kidsZoneLibraryModel");
    ASSERT_TRUE(kids);
    shoot(u"kidszone-loading"_qs);
    ASSERT_TRUE(waitUntil([&] { return kids->showsError(); }));
    shoot(u"kidszone-error"_qs);

    service.remove("GET", "programs/79");
    kids->retry();
    ASSERT_TRUE(waitUntil([&] { return kids->showsList() && !kids->isLoading(); }));
    shoot(u"kidszone-list"_qs, 1500ms);

    QJsonArray page;
    for (int i = 0; i < 100; ++i)
        page.append(QJsonObject { { "id", 9000 + i },
            { "title", QStringLiteral("Songs of Praise (Episode %1)").arg(i + 1) },
            { "image",
                service.mediaUrl(QStringLiteral("images/card-%1.jpg").arg(i % 6 + 1)).toString() },
            { "duration", 420 }, { "program_title", "Quillory" } });
    service.on("GET", "programs/79",
        { ScriptedAnswer::envelope(QJsonObject {
              { "program",
                  QJsonObject { { "id", 79 }, { "title", "Quillory" },
                      { "banner", service.mediaUrl(u"images/poster.jpg"_qs).toString() } } },
              { "episodes", page } }),
            ScriptedAnswer::error(503, u"Further episodes could not be loaded."_qs) });
    kids->retry();
    ASSERT_TRUE(waitUntil([&] { return !kids->isLoading(); }));
    shoot(u"kidszone-list-error-line"_qs, 1500ms);
    window->resize(1024, 640);
    shoot(u"kidszone-list-error-line-small"_qs);
}

} // namespace
} // namespace orvella::test
