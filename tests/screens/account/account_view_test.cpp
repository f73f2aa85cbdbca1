// The account screens' views: they build without QML warnings in every state shown here, and
// the sign-in form works from the keyboard.
#include "AccountHarness.h"
#include "screens/account/SettingsScreenModel.h"
#include "support/ScreenView.h"

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

class AccountView : public AccountHarness
{
protected:
    QQuickItem *show(AppModel &app, const char *file)
    {
        return view.show(app, QString::fromLatin1(file));
    }
    QQuickItem *child(const char *name) const { return view.child(QString::fromLatin1(name)); }
    void key(int code) { view.key(code); }

    void TearDown() override
    {
        view.close();
        AccountHarness::TearDown();
    }

    ScreenView view { u"screens/account"_qs };
};

TEST_F(AccountView, TheEmailFormWorksFromTheKeyboardAndLocksWhileSubmitting)
{
    service.on("POST", "tv/device/code", ScriptedAnswer::envelope(deviceCode()));
    service.on(
        "POST", "auth/login", ScriptedAnswer::error(500, QStringLiteral("Down")).withDelay(300ms));
    AppModel &app = build();
    ASSERT_TRUE(show(app, "LoginScreen.qml"));
    auto *login = view.screen()->findChild<LoginScreenModel *>(QStringLiteral("loginScreenModel"));
    ASSERT_TRUE(login && waitUntil([&] { return login->hasCode(); }));
    EXPECT_TRUE(child("loginQrCode")->isVisible());
    // The small window cuts the phone pane short: Tab to "Get New Code" scrolls it into view.
    QQuickItem *newCode = child("loginNewCode");
    QQuickItem *pane = child("parlinoPane");
    spinFor(100ms); // the layout settles on the next frames
    ASSERT_GT(pane->property("contentHeight").toDouble(), pane->height());
    newCode->forceActiveFocus(Qt::TabFocusReason);
    const double top = newCode->mapToItem(pane, QPointF(0, 0)).y();
    EXPECT_GE(top, 0);
    EXPECT_LE(top + newCode->height(), pane->height());

    QQuickItem *name = child("loginFullName");
    QQuickItem *email = child("loginEmail");
    QQuickItem *enter = child("loginEnter");
    name->forceActiveFocus();
    key(Qt::Key_Tab);
    EXPECT_TRUE(email->hasActiveFocus());
    key(Qt::Key_Return); // nothing typed yet: Enter is disabled and nothing is sent
    login->setFullName(QStringLiteral("Ada"));
    login->setEmail(QStringLiteral("ada@example.org"));
    EXPECT_TRUE(service.requests("POST", "auth/login").isEmpty());
    EXPECT_TRUE(enter->isEnabled());
    key(Qt::Key_Return);
    EXPECT_TRUE(login->isSubmittingEmail());
    for (QQuickItem *control : { name, email, enter })
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    ASSERT_TRUE(waitUntil([&] { return login->hasEmailError(); }));
    EXPECT_TRUE(child("loginEmailError")->isVisible());
    EXPECT_TRUE(email->isEnabled());
    login->disappear();
}

TEST_F(AccountView, SettingsAndNotificationsBuildEverySection)
{
    storeSession();
    AppModel &app = build();
    app.restoreSession();
    ASSERT_TRUE(show(app, "SettingsScreen.qml"));
    auto *settings
        = view.screen()->findChild<SettingsScreenModel *>(QStringLiteral("settingsScreenModel"));
    ASSERT_TRUE(settings);
    for (const SettingsSection::Value section : SettingsSection::allCases()) {
        settings->selectSection(SettingsSection::rawValue(section));
        spinFor(20ms);
    }
    settings->selectSection(QStringLiteral("playback"));
    spinFor(20ms);
    auto *cell = child("settingsQuality-4Mbps");
    ASSERT_TRUE(cell);
    QMetaObject::invokeMethod(cell, "clicked");
    EXPECT_EQ(app.settings()->preferredQuality(), QStringLiteral("4Mbps"));
    ASSERT_TRUE(show(app, "NotificationsScreen.qml"));
    EXPECT_TRUE(child("noteAction-live"));
}

} // namespace
} // namespace orvella::test
