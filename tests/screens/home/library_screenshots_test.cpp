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
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QSettings>
#include <gtest/gtest.h>

namespace orvella::test {
namespace {

class LibraryScreenshots : public ::testing::Test
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
        settings.clear();
        settings.setValue("orvella.session.access_token", "access-1");
        settings.setValue("orvella.session.refresh_token", "refresh-1");
        settings.setValue("access_expires", QDateTime::currentSecsSinceEpoch() + 86400.0);
        settings.sync();
        app = AppBuilder().build();
        AppModel::setInstance(app.get());
        prepareEngine(engine);
        engine.load(mainWindowUrl());
        window = qobject_cast<QQuickWindow *>(engine.rootObjects().value(0));
        ASSERT_TRUE(window && waitUntil([&] { return app->route() == MacRoute::Live; }, 15s));
    }

    // The page's model once it shows `state` (read through its property of that name).
    template<typename Model>
    Model *waitFor(const char *state)
    {
        Model *page = nullptr;
        EXPECT_TRUE(waitUntil([&] {
            page = window->findChild<Model *>();
            return page && page->property(state).toBool() && !page->isLoading();
        }));
        return page;
    }

    void shoot(const QString &name, std::chrono::milliseconds settle = 300ms)
    {
        spinFor(settle);
        window->grabWindow().save(folder + u'/' + name + QStringLiteral(".png"));
    }

    void TearDown() override
    {
        AppModel::setInstance(nullptr);
        QSettings().clear();
    }

    QString folder;
    ServiceDouble service;
    std::unique_ptr<AppModel> app;
    QQmlApplicationEngine engine;
    QQuickWindow *window = nullptr;
};

ScriptedAnswer busy()
{
    return ScriptedAnswer::error(503, u"The service is busy. Try again in a moment."_qs);
}

TEST_F(LibraryScreenshots, TestimoniesLoadingErrorListAndErrorLine)
{
    service.on("GET", "programs", busy().withDelay(1500ms));
    app->navigate(MacRoute::TestimoniesLib);
    shoot(u"testimonies-loading"_qs);
    ASSERT_TRUE(waitFor<TestimoniesLibraryModel>("showsError"));
    shoot(u"testimonies-error"_qs);

    installSampleContent(service);
    app->navigate(MacRoute::Home);
    app->navigate(MacRoute::TestimoniesLib);
    ASSERT_TRUE(waitFor<TestimoniesLibraryModel>("showsList"));
    shoot(u"testimonies-list"_qs, 1500ms);
    window->resize(1024, 640);
    shoot(u"testimonies-list-small"_qs);

    service.on("GET", "programs/165", busy());
    app->navigate(MacRoute::Home);
    app->navigate(MacRoute::TestimoniesLib);
    ASSERT_TRUE(waitFor<TestimoniesLibraryModel>("showsList"));
    shoot(u"testimonies-list-error-line"_qs, 1000ms);
}

TEST_F(LibraryScreenshots, KidsZoneLoadingErrorAndList)
{
    service.on("GET", "programs/79", busy().withDelay(1500ms));
    // navigate() sends the kids zone to the programme page: this page is built directly.
    app->navigator().setRouteDirectly(MacRoute::KidsZone);
    shoot(u"kidszone-loading"_qs);
    auto *kids = waitFor<KidsZoneLibraryModel>("showsError");
    ASSERT_TRUE(kids);
    shoot(u"kidszone-error"_qs);

    service.remove("GET", "programs/79");
    kids->retry();
    ASSERT_TRUE(waitFor<KidsZoneLibraryModel>("showsList"));
    shoot(u"kidszone-list"_qs, 1500ms);
    window->resize(1024, 640);
    shoot(u"kidszone-list-small"_qs);
}

} // namespace
} // namespace orvella::test
