// The account screens' views: they build without QML warnings in every state shown here, and
// the sign-in form works from the keyboard.
#include "AccountHarness.h"
#include "app/Application.h"
#include "screens/account/SettingsScreenModel.h"

#include <QKeyEvent>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

QStringList qmlWarnings;
void collectWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && (message.contains(u"screens/account") || message.contains(u"/ui/")))
        qmlWarnings.append(message);
}

class AccountView : public AccountHarness
{
protected:
    QQuickItem *show(AppModel &app, const char *file)
    {
        AppModel::setInstance(&app);
        qmlWarnings.clear();
        previous = qInstallMessageHandler(collectWarnings);
        window = std::make_unique<QQuickWindow>();
        window->resize(1024, 640);
        engine = std::make_unique<QQmlEngine>();
        prepareEngine(*engine);
        QQmlComponent component(engine.get(),
            QUrl(QStringLiteral("qrc:/Orvella/screens/account/") + QString::fromLatin1(file)));
        EXPECT_TRUE(component.isReady()) << component.errorString().toStdString();
        screen.reset(qobject_cast<QQuickItem *>(component.create()));
        if (!screen)
            return nullptr;
        screen->setParentItem(window->contentItem());
        screen->setSize({ 1024, 640 });
        window->show();
        window->requestActivate();
        return screen.get();
    }

    // By the item tree, which also holds what loaders and repeaters made.
    static QQuickItem *find(QQuickItem *item, const QString &name)
    {
        if (item->objectName() == name)
            return item;
        for (QQuickItem *child : item->childItems()) {
            if (QQuickItem *found = find(child, name))
                return found;
        }
        return nullptr;
    }
    QQuickItem *child(const char *name) const
    {
        return find(screen.get(), QString::fromLatin1(name));
    }

    void key(int code)
    {
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &press);
        QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &release);
    }

    void TearDown() override
    {
        screen.reset();
        spinFor(50ms);
        engine.reset();
        window.reset();
        if (previous)
            qInstallMessageHandler(previous);
        EXPECT_TRUE(qmlWarnings.isEmpty()) << qmlWarnings.join(u'\n').toStdString();
        AppModel::setInstance(nullptr);
        AccountHarness::TearDown();
    }

    std::unique_ptr<QQuickWindow> window;
    std::unique_ptr<QQmlEngine> engine;
    std::unique_ptr<QQuickItem> screen;
    QtMessageHandler previous = nullptr;
};

TEST_F(AccountView, TheEmailFormWorksFromTheKeyboardAndLocksWhileSubmitting)
{
    service.on("POST", "tv/device/code", ScriptedAnswer::envelope(deviceCode()));
    service.on(
        "POST", "auth/login", ScriptedAnswer::error(500, QStringLiteral("Down")).withDelay(300ms));
    AppModel &app = build();
    ASSERT_TRUE(show(app, "LoginScreen.qml"));
    auto *login = screen->findChild<LoginScreenModel *>(QStringLiteral("loginScreenModel"));
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
        = screen->findChild<SettingsScreenModel *>(QStringLiteral("settingsScreenModel"));
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
    screen.reset();
    ASSERT_TRUE(show(app, "NotificationsScreen.qml"));
    EXPECT_TRUE(child("noteAction-live"));
}

} // namespace
} // namespace orvella::test
