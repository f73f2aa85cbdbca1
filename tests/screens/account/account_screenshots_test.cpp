// Pictures of the account screens (see AppWindowShots).
#include "screens/account/LoginScreenModel.h"
#include "screens/account/NotificationsScreenModel.h"
#include "screens/account/SettingsScreenModel.h"
#include "support/AppWindowShots.h"

#include <QJsonObject>

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

class AccountScreenshots : public AppWindowShots
{
protected:
    // At the usual size and at the smallest window.
    void shoot(const QString &name, bool small = true)
    {
        window->resize(1280, 800);
        AppWindowShots::shoot(name);
        if (!small)
            return;
        window->resize(1024, 640);
        AppWindowShots::shoot(name + QStringLiteral("-small"));
        window->resize(1280, 800);
    }
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
