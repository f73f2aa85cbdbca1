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

// A sign-in pane as a hostile or unlucky answer leaves it, at the window's content size.
class SignInPane : public AccountView
{
protected:
    LoginScreenModel *showSignIn(const QJsonObject &code, QSize size)
    {
        service.on("POST", "tv/device/code", ScriptedAnswer::envelope(code));
        service.on("POST", "tv/device/token", pollError("ACCESS_DENIED"));
        AppModel &app = build();
        if (!view.show(app, QStringLiteral("LoginScreen.qml"), size))
            return nullptr;
        auto *login
            = view.screen()->findChild<LoginScreenModel *>(QStringLiteral("loginScreenModel"));
        // The first poll waits on the test's clock.
        login->setClock(&screenClock);
        return login;
    }
    QQuickItem *pane() const { return child("parlinoPane"); }
    bool scrolls() const { return pane()->property("contentHeight").toDouble() > pane()->height(); }
    // Whether the item lies inside the pane's width and its content's height.
    bool insidePane(const char *name) const
    {
        QQuickItem *item = child(name);
        const QRectF box = item->mapRectToItem(pane(), item->boundingRect());
        return box.left() >= 0 && box.right() <= pane()->width() && box.top() >= 0
            && box.bottom() <= pane()->property("contentHeight").toDouble();
    }
};

// The window's content at 1280x800 and at its smallest, under the menu bar.
constexpr QSize usual { 1280, 770 };
constexpr QSize smallest { 1024, 610 };

TEST_F(SignInPane, AHugeCodeWithControlsAndMarksStaysInItsLineAndKeepsThePaneInPlace)
{
    const QString marks(200, QChar(0x0301));
    const QString hostile
        = QStringLiteral("ORV\u0007\u202E-") + u'A' + marks + QString(1024 * 1024, u'7');
    LoginScreenModel *login = showSignIn(
        deviceCode({ { "user_code", hostile },
            { "verification_url",
                QStringLiteral("https://orvella.example/") + QString(1024 * 1024, u'a') } }),
        usual);
    ASSERT_TRUE(login && waitUntil([&] { return login->hasCode(); }));
    spinFor(100ms);
    const QString shown = child("loginUserCode")->property("text").toString();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("ORV-A")));
    EXPECT_FALSE(shown.contains(QChar(0x0007)) || shown.contains(QChar(0x202E)));
    EXPECT_LE(shown.size(), 301);
    EXPECT_LE(child("loginLink")->property("text").toString().size(), 301);
    EXPECT_TRUE(child("loginUserCode")->clip());
    for (const char *name :
        { "loginQrCode", "loginUserCode", "loginPairingStatus", "loginLink", "loginNewCode" })
        EXPECT_TRUE(insidePane(name)) << name;
    EXPECT_FALSE(scrolls());
    login->disappear();
}

TEST_F(SignInPane, TheDenialFitsAt1280By800AndScrollsOnlyInTheSmallestWindow)
{
    for (const QSize size : { usual, smallest }) {
        LoginScreenModel *login = showSignIn(deviceCode(), size);
        ASSERT_TRUE(login && waitUntil([&] { return login->hasCode(); }));
        screenClock.advance(5s);
        ASSERT_TRUE(waitUntil([&] { return login->hasPairingError(); }));
        spinFor(100ms);
        EXPECT_EQ(scrolls(), size == smallest) << size.width();
        login->disappear();
        view.close();
        model.reset();
    }
}

TEST_F(SignInPane, TheFailedStartsStatusIsCentredUnderThePlaceholder)
{
    service.on("POST", "tv/device/code", ScriptedAnswer::empty(503));
    AppModel &app = build();
    ASSERT_TRUE(view.show(app, QStringLiteral("LoginScreen.qml"), usual));
    auto *login = view.screen()->findChild<LoginScreenModel *>(QStringLiteral("loginScreenModel"));
    ASSERT_TRUE(login && waitUntil([&] { return login->hasPairingError(); }));
    spinFor(100ms);
    const auto centre = [&](const char *name) {
        QQuickItem *item = child(name);
        return item->mapToItem(pane(), QPointF(item->width() / 2, 0)).x();
    };
    QQuickItem *status = child("loginPairingStatus");
    EXPECT_EQ(status->property("horizontalAlignment").toInt(), int(Qt::AlignHCenter));
    EXPECT_NEAR(centre("loginPairingStatus"), centre("loginCodePlaceholder"), 1);
}

TEST_F(AccountView, SettingsAndNotificationsBuildEverySection)
{
    AppModel &app = signedIn();
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
