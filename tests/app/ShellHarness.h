#pragma once

// The app-model harness with the window's QML loaded on top: the process's model is the test's
// model, so RootView and the menus act on it.

#include "app/Application.h"
#include "core/AppModelHarness.h"

#include <QQmlApplicationEngine>
#include <QQmlComponent>
#include <QQuickItem>
#include <QQuickWindow>

namespace orvella::test {

class ShellHarness : public AppModelHarness
{
protected:
    void TearDown() override
    {
        engine.reset();
        // The screens' stopped waits end on the next turns; let them, so no task outlives the test.
        test::spinFor(std::chrono::milliseconds(30));
        AppModel::setInstance(nullptr);
        AppModelHarness::TearDown();
    }

    // A model whose viewer is signed in (a stored session restored), installed for QML.
    AppModel &signedIn()
    {
        AppModel &app = AppModelHarness::signedIn();
        EXPECT_FALSE(app.isGuest());
        AppModel::setInstance(&app);
        return app;
    }

    AppModel &guest()
    {
        AppModel &app = build();
        AppModel::setInstance(&app);
        return app;
    }

    // The whole window, as the executable shows it.
    QQuickWindow *loadWindow()
    {
        engine = std::make_unique<QQmlApplicationEngine>();
        prepareEngine(*engine);
        engine->load(mainWindowUrl());
        if (engine->rootObjects().size() != 1)
            return nullptr;
        return qobject_cast<QQuickWindow *>(engine->rootObjects().first());
    }

    template<typename T = QQuickItem>
    T *find(const QString &name) const
    {
        return engine->rootObjects().first()->findChild<T *>(name);
    }

    std::unique_ptr<QQmlApplicationEngine> engine;
};

} // namespace orvella::test
