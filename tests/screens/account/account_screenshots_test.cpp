// Pictures of the account screens for a person to look at, taken only when
// ORVELLA_SCREENSHOT_DIR names a folder (run under xvfb-run with QT_QPA_PLATFORM=xcb).
// Against the service double's sample content, with the real clock.
#include "app/AppModel.h"
#include "app/AppServices.h"
#include "app/Application.h"
#include "screens/account/LoginScreenModel.h"
#include "screens/account/NotificationsScreenModel.h"
#include "screens/account/SettingsScreenModel.h"
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

class AccountScreenshots : public ::testing::Test
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

    void signedIn()
    {
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
        window = engine->rootObjects().isEmpty()
            ? nullptr
            : qobject_cast<QQuickWindow *>(engine->rootObjects().first());
        return window;
    }

    template<typename Model>
    Model *find(const char *name)
    {
        Model *found = nullptr;
        EXPECT_TRUE(waitUntil(
            [&] { return (found = window->findChild<Model *>(QString::fromLatin1(name))); }, 10s));
        return found;
    }

    // At the usual size and at the smallest window.
    void shoot(const QString &name, bool small = true)
    {
        window->resize(1280, 800);
        spinFor(300ms);
        window->grabWindow().save(folder + u'/' + name + QStringLiteral(".png"));
        if (!small)
            return;
        window->resize(1024, 640);
        spinFor(300ms);
        window->grabWindow().save(folder + u'/' + name + QStringLiteral("-small.png"));
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

TEST_F(AccountScreenshots, SignInWaitingDeniedAndEmail)
{
    service.on("POST", "tv/device/token",
        { ScriptedAnswer::error(400, "Waiting", "AUTHORIZATION_PENDING"),
            ScriptedAnswer::error(400, "Denied", "ACCESS_DENIED") });
    service.on("POST", "auth/login",
        { ScriptedAnswer::json(QJsonObject { { "status", "success" } }).withDelay(3s) });
    ASSERT_TRUE(open());
    auto *login = find<LoginScreenModel>("loginScreenModel");
    ASSERT_TRUE(login && waitUntil([&] { return login->hasCode(); }, 10s));
    shoot(QStringLiteral("signin-waiting"));
    ASSERT_TRUE(waitUntil([&] { return login->hasPairingError(); }, 10s));
    shoot(QStringLiteral("signin-denied"));
    login->setFullName(QStringLiteral("Grace Mensah"));
    login->setEmail(QStringLiteral("grace@example.org"));
    login->submitEmail();
    shoot(QStringLiteral("signin-email-submitting"));
    ASSERT_TRUE(waitUntil([&] { return login->hasEmailError(); }, 10s));
    shoot(QStringLiteral("signin-email-failed"));
}

TEST_F(AccountScreenshots, SignInFailedStart)
{
    service.on("POST", "tv/device/code", ScriptedAnswer::empty(503));
    ASSERT_TRUE(open());
    auto *login = find<LoginScreenModel>("loginScreenModel");
    ASSERT_TRUE(login && waitUntil([&] { return login->hasPairingError(); }, 10s));
    shoot(QStringLiteral("signin-failed-start"));
}

TEST_F(AccountScreenshots, SettingsSectionsAndNotifications)
{
    signedIn();
    ASSERT_TRUE(open());
    ASSERT_TRUE(waitUntil([&] { return app->route() == MacRoute::Live; }, 15s));
    app->navigate(MacRoute::Settings);
    auto *settings = find<SettingsScreenModel>("settingsScreenModel");
    ASSERT_TRUE(settings);
    spinFor(1s);
    for (const SettingsSection::Value section : SettingsSection::allCases()) {
        settings->selectSection(SettingsSection::rawValue(section));
        if (section == SettingsSection::Profile)
            settings->save();
        shoot(QStringLiteral("settings-") + SettingsSection::rawValue(section), false);
    }
    app->navigate(MacRoute::Notifications);
    auto *notes = find<NotificationsScreenModel>("notificationsScreenModel");
    ASSERT_TRUE(notes);
    shoot(QStringLiteral("notifications-all"), false);
    notes->setFilter(QStringLiteral("Events"));
    shoot(QStringLiteral("notifications-events"), false);
}

} // namespace
} // namespace orvella::test
