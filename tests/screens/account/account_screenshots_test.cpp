// Pictures of the account screens (see AppWindowShots).
#include "screens/account/LoginScreenModel.h"
#include "screens/account/NotificationsScreenModel.h"
#include "screens/account/SettingsScreenModel.h"
#include "support/AppWindowShots.h"

#include <QJsonObject>

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

using AccountScreenshots = AppWindowShots;

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
    shootSizes(QStringLiteral("signin-waiting"));
    ASSERT_TRUE(waitUntil([&] { return login->hasPairingError(); }, 10s));
    shootSizes(QStringLiteral("signin-denied"));
    login->setFullName(QStringLiteral("Grace Mensah"));
    login->setEmail(QStringLiteral("grace@example.org"));
    login->submitEmail();
    shootSizes(QStringLiteral("signin-email-submitting"));
    ASSERT_TRUE(waitUntil([&] { return login->hasEmailError(); }, 10s));
    shootSizes(QStringLiteral("signin-email-failed"));
}

TEST_F(AccountScreenshots, SignInFailedStart)
{
    service.on("POST", "tv/device/code", ScriptedAnswer::empty(503));
    ASSERT_TRUE(open());
    auto *login = find<LoginScreenModel>("loginScreenModel");
    ASSERT_TRUE(login && waitUntil([&] { return login->hasPairingError(); }, 10s));
    shootSizes(QStringLiteral("signin-failed-start"));
}

// A megabyte of code, with control characters and 200 combining marks, and a megabyte of link.
TEST_F(AccountScreenshots, SignInWithAHugeCode)
{
    service.on("POST", "tv/device/code",
        ScriptedAnswer::envelope(QJsonObject { { "device_code", "dc-huge" },
            { "user_code",
                QStringLiteral("ORV\u0007\u202E-4") + QString(200, QChar(0x0301))
                    + QString(1024 * 1024, u'8') },
            { "verification_url",
                QStringLiteral("https://orvella.example/activate/") + QString(1024 * 1024, u'a') },
            { "expires_in", 600 }, { "interval", 5 } }));
    ASSERT_TRUE(open());
    auto *login = find<LoginScreenModel>("loginScreenModel");
    ASSERT_TRUE(login && waitUntil([&] { return login->hasCode(); }, 10s));
    shootSizes(QStringLiteral("signin-huge-code"));
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
        shootSizes(QStringLiteral("settings-") + SettingsSection::rawValue(section), false);
    }
    app->navigate(MacRoute::Notifications);
    auto *notes = find<NotificationsScreenModel>("notificationsScreenModel");
    ASSERT_TRUE(notes);
    shootSizes(QStringLiteral("notifications-all"), false);
    notes->setFilter(QStringLiteral("Events"));
    shootSizes(QStringLiteral("notifications-events"), false);
}

} // namespace
} // namespace orvella::test
