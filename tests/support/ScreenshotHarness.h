#pragma once

// Pictures of the client's screens for a person to look at, taken only when
// ORVELLA_SCREENSHOT_DIR names a folder (run under xvfb-run with QT_QPA_PLATFORM=xcb, so the
// picture goes through OpenGL as on a desktop). The whole window against the service double's
// sample content, signed in, with the real clock.

#include "app/AppModel.h"
#include "app/AppServices.h"
#include "app/Application.h"
#include "support/SampleContent.h"
#include "support/ServiceDouble.h"
#include "support/TestAsync.h"

#include <QDateTime>
#include <QDir>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QSettings>
#include <gtest/gtest.h>

namespace orvella::test {

class ScreenshotHarness : public ::testing::Test
{
protected:
    // The window on live, signed in.
    void SetUp() override
    {
        using namespace std::chrono_literals;
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
        app = AppBuilder().build();
        AppModel::setInstance(app.get());
        engine = std::make_unique<QQmlApplicationEngine>();
        prepareEngine(*engine);
        engine->load(mainWindowUrl());
        ASSERT_FALSE(engine->rootObjects().isEmpty());
        window = qobject_cast<QQuickWindow *>(engine->rootObjects().first());
        ASSERT_TRUE(window);
        ASSERT_TRUE(waitUntil([&] { return app->route() == MacRoute::Live; }, 15s));
    }

    // The model named `name` once a built screen holds one that satisfies `ready`.
    template<typename Model, typename Ready>
    Model *find(const QString &name, Ready ready)
    {
        Model *found = nullptr;
        EXPECT_TRUE(
            waitUntil([&] { return (found = window->findChild<Model *>(name)) && ready(*found); },
                std::chrono::seconds(10)));
        return found;
    }

    // At the usual size, and at the smallest window with "-small" after the name.
    void shoot(const QString &name)
    {
        using namespace std::chrono_literals;
        for (const auto &[size, suffix] : { std::pair { QSize(1280, 800), QString() },
                 { QSize(1024, 640), QStringLiteral("-small") } }) {
            window->resize(size);
            spinFor(600ms);
            window->grabWindow().save(folder + u'/' + name + suffix + QStringLiteral(".png"));
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

} // namespace orvella::test
