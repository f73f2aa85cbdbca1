#pragma once

// A fixture for pictures of the whole application window, for a person to look at: taken only
// when ORVELLA_SCREENSHOT_DIR names a folder (run the test binary under xvfb-run with
// QT_QPA_PLATFORM=xcb, and QT_QUICK_BACKEND=rhi or =software to pick the scene graph, since
// xvfb has no graphics device). Against the service double's sample content, with the real
// clock.

#include "app/AppModel.h"
#include "app/AppServices.h"
#include "app/Application.h"
#include "support/SampleContent.h"
#include "support/ServiceDouble.h"
#include "support/TestAsync.h"
#include "support/WindowPicture.h"

#include <QDateTime>
#include <QDir>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QSettings>
#include <gtest/gtest.h>
#include <memory>

namespace orvella::test {

class AppWindowShots : public ::testing::Test
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
    }

    // A session as a previous run left it, for the next open().
    static void signedIn()
    {
        QSettings settings;
        settings.setValue("orvella.session.access_token", "access-1");
        settings.setValue("orvella.session.refresh_token", "refresh-1");
        settings.setValue("access_expires", QDateTime::currentSecsSinceEpoch() + 86400.0);
        settings.sync();
    }

    // The application's window, started as the executable starts it.
    QQuickWindow *open()
    {
        app = AppBuilder().build();
        AppModel::setInstance(app.get());
        engine = std::make_unique<QQmlApplicationEngine>();
        prepareEngine(*engine);
        engine->load(mainWindowUrl());
        window = engine->rootObjects().isEmpty()
            ? nullptr
            : qobject_cast<QQuickWindow *>(engine->rootObjects().first());
        return window;
    }

    // Signed in, on `route` once start-up has reached live.
    bool openOn(MacRoute::Value route)
    {
        signedIn();
        if (!open()
            || !waitUntil([&] { return app->route() == MacRoute::Live; }, std::chrono::seconds(15)))
            return false;
        if (route != MacRoute::Live)
            app->navigate(route);
        return true;
    }

    // The model named `name` once a built screen holds one that satisfies `ready`.
    template<typename Model, typename Ready>
    Model *find(const QString &name, Ready ready,
        std::chrono::milliseconds timeout = std::chrono::seconds(10))
    {
        Model *found = nullptr;
        const bool ok = waitUntil(
            [&] { return (found = window->findChild<Model *>(name)) && ready(*found); }, timeout);
        EXPECT_TRUE(ok) << "no ready " << name.toStdString();
        return ok ? found : nullptr;
    }
    template<typename Model>
    Model *find(const QString &name)
    {
        return find<Model>(name, [](const Model &) { return true; });
    }

    // The window as it is once the last changes have been drawn.
    void shoot(
        const QString &name, std::chrono::milliseconds settle = std::chrono::milliseconds(300))
    {
        spinFor(settle);
        windowPicture(*window).save(folder + u'/' + name + QStringLiteral(".png"));
    }

    // At the usual size, then (unless `small` is false) at the smallest window with "-small"
    // after the name.
    void shootSizes(const QString &name, bool small = true,
        std::chrono::milliseconds settle = std::chrono::milliseconds(300))
    {
        window->resize(1280, 800);
        shoot(name, settle);
        if (!small)
            return;
        window->resize(1024, 640);
        shoot(name + QStringLiteral("-small"), settle);
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

} // namespace orvella::test
