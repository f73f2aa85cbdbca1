// The keyboard in the whole window, with real key and mouse events: opening Search by any way
// in lets the viewer type into its field at once, read-only text that was clicked leaves the
// window's shortcuts working, and Escape closes the menu overlay.
#include "ShellHarness.h"
#include "screens/programs/SearchScreenModel.h"
#include "support/AppWindowShots.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QQuickItem>
#include <QTest>
#include <string_view>

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

class KeyboardFocus : public ShellHarness
{
protected:
    // The signed-in window with the sample configuration, shown and active, on `route`.
    QQuickWindow *openOn(MacRoute::Value route)
    {
        service.on("GET", "tv/config", ScriptedAnswer::envelope(sampleConfig()));
        AppModel &app = signedIn();
        runTask(app.refreshEventScheduleData());
        window = loadWindow();
        if (!window)
            return nullptr;
        window->show();
        window->requestActivate();
        if (!QTest::qWaitForWindowActive(window))
            return nullptr;
        app.navigate(route);
        spinFor(30ms);
        return window;
    }

    void closeWindow()
    {
        engine.reset();
        window = nullptr;
        spinFor(30ms);
        AppModel::setInstance(nullptr);
        model.reset();
    }

    // The item of that name in the window, once it is there.
    QQuickItem *item(const QString &name)
    {
        QQuickItem *found = nullptr;
        waitUntil([&] { return (found = find(name)) != nullptr; }, 3s);
        EXPECT_TRUE(found) << name.toStdString();
        return found;
    }

    void click(QQuickItem *target)
    {
        const QPointF centre
            = target->mapToScene(QPointF(target->width() / 2, target->height() / 2));
        QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, centre.toPoint());
        spinFor(30ms);
    }

    void type(const QString &text)
    {
        for (const QChar c : text)
            QTest::keyClick(window, c.toLatin1());
        spinFor(10ms);
    }

    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(window, key, modifiers);
        spinFor(30ms);
    }

    QString searchText()
    {
        return item(QStringLiteral("searchField"))->property("text").toString();
    }

    QQuickWindow *window = nullptr;
};

TEST_F(KeyboardFocus, SearchTakesTheTypingWhenOpenedByItsKey)
{
    ASSERT_TRUE(openOn(MacRoute::Home));
    press(Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(model->route(), MacRoute::Search);
    type(QStringLiteral("grace"));
    EXPECT_EQ(searchText(), QStringLiteral("grace"));
}

TEST_F(KeyboardFocus, SearchTakesTheTypingWhenOpenedByTheHeaderButton)
{
    ASSERT_TRUE(openOn(MacRoute::Home));
    click(item(QStringLiteral("searchButton")));
    ASSERT_EQ(model->route(), MacRoute::Search);
    type(QStringLiteral("hope"));
    EXPECT_EQ(searchText(), QStringLiteral("hope"));
}

TEST_F(KeyboardFocus, SearchTakesTheTypingWhenOpenedFromTheNavigateMenu)
{
    ASSERT_TRUE(openOn(MacRoute::Programs));
    auto *menu = find<QObject>(QStringLiteral("navigateMenu"));
    ASSERT_TRUE(menu);
    QMetaObject::invokeMethod(menu, "open");
    QQuickItem *entry = item(QStringLiteral("navigate-%1").arg(int(MacRoute::Search)));
    // Its entries are made as it first opens; the click waits for them to be laid out.
    ASSERT_TRUE(waitUntil(
        [&] { return menu->property("opened").toBool() && entry->isVisible() && entry->y() > 0; },
        2s));
    click(entry);
    ASSERT_EQ(model->route(), MacRoute::Search);
    type(QStringLiteral("faith"));
    EXPECT_EQ(searchText(), QStringLiteral("faith"));
}

TEST_F(KeyboardFocus, ClickedAddressTextLeavesTheShortcutsWorkingAndStillCopies)
{
    for (const MacRoute::Value route : { MacRoute::Give, MacRoute::Herald }) {
        SCOPED_TRACE(MacRoute::rawValue(route).toStdString());
        ASSERT_TRUE(openOn(route));
        QQuickItem *address = item(QStringLiteral("engagementAddress"));
        const QString shown = address->property("text").toString();
        ASSERT_FALSE(shown.isEmpty());
        click(address);
        ASSERT_TRUE(address->hasActiveFocus());
        press(Qt::Key_A, Qt::ControlModifier);
        press(Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), shown);

        press(Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(model->route(), MacRoute::Programs);
        model->navigate(route);
        click(item(QStringLiteral("engagementAddress")));
        press(Qt::Key_Comma, Qt::ControlModifier);
        EXPECT_EQ(model->route(), MacRoute::Settings);
        closeWindow();
    }
}

TEST_F(KeyboardFocus, EscapeClosesTheMenuOverlayWithoutMovingAndTheTypingGoesOn)
{
    ASSERT_TRUE(openOn(MacRoute::Search));
    type(QStringLiteral("he"));
    click(item(QStringLiteral("menuButton")));
    ASSERT_TRUE(waitUntil([&] { return model->menuPresented(); }, 2s));
    ASSERT_TRUE(item(QStringLiteral("menuPanel")));
    press(Qt::Key_Escape);
    EXPECT_FALSE(model->menuPresented());
    EXPECT_EQ(model->route(), MacRoute::Search);
    type(QStringLiteral("al"));
    EXPECT_EQ(searchText(), QStringLiteral("heal"));
}

// Search opened by its key and typed into at once, for a person to look at (see AppWindowShots).
using KeyboardScreenshots = AppWindowShots;

TEST_F(KeyboardScreenshots, SearchAfterTyping)
{
    ASSERT_TRUE(openOn(MacRoute::Home));
    window->requestActivate();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(app->route(), MacRoute::Search);
    spinFor(100ms);
    for (const char c : std::string_view("word"))
        QTest::keyClick(window, c);
    auto *search = find<SearchScreenModel>(QStringLiteral("searchScreenModel"),
        [](const SearchScreenModel &model) { return model.results().size() > 0; });
    ASSERT_TRUE(search);
    EXPECT_EQ(search->query(), QStringLiteral("word"));
    shootSizes(QStringLiteral("search-typed"), true, 1500ms);
}

} // namespace
} // namespace orvella::test
