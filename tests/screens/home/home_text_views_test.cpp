// The languages, written-testimony, engagement and magazine pages as built from QML: they build
// without warnings, and what they do themselves (the editor's height, the address, the magazine
// selection) works.
#include "HomeTextHarness.h"
#include "app/RootViewModel.h"
#include "screens/home/LanguagesScreenModel.h"
#include "screens/home/TestimonyScreenModel.h"
#include "support/ScreenView.h"
#include "support/WindowPicture.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QJsonArray>
#include <functional>

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

class HomeTextViews : public HomeTextHarness
{
protected:
    QQuickItem *show(AppModel &app, const char *file, const QVariantMap &properties = {})
    {
        QQuickItem *shown = view.show(app, QString::fromLatin1(file), { 1024, 640 }, properties);
        spinFor(50ms);
        return shown;
    }

    static QQuickItem *find(QQuickItem *item, const QString &name)
    {
        return ScreenView::find(item, name);
    }
    QQuickItem *child(const char *name) const
    {
        QQuickItem *found = view.child(QString::fromLatin1(name));
        EXPECT_TRUE(found) << name;
        return found;
    }
    static void click(QQuickItem *button) { QMetaObject::invokeMethod(button, "clicked"); }

    // The testimony screen's model, once the screen is shown.
    TestimonyScreenModel *showTestimony(AppModel &app)
    {
        if (!show(app, "TestimonyScreen.qml"))
            return nullptr;
        return view.screen()->findChild<TestimonyScreenModel *>(
            QStringLiteral("testimonyScreenModel"));
    }

    void keys(const QKeySequence &sequence, const QString &text = {})
    {
        const QKeyCombination combination = sequence[0];
        view.key(combination.key(), text, combination.keyboardModifiers());
    }

    void TearDown() override
    {
        view.close();
        HomeTextHarness::TearDown();
    }

    ScreenView view { QStringLiteral("screens/home") };
};

TEST_F(HomeTextViews, TheStoryEditorFollowsItsTextAndWidthBetween104And280)
{
    TestimonyScreenModel *screen = showTestimony(withConfig(std::nullopt));
    QQuickItem *editor = child("storyEditorView");
    QQuickItem *area = child("storyEditor");
    ASSERT_TRUE(screen && editor && area);
    const auto height = [&] { return editor->height(); };
    const auto textHeight = [&] { return area->property("contentHeight").toDouble(); };
    EXPECT_EQ(height(), 104);
    EXPECT_FALSE(editor->property("scrolls").toBool());

    // Typed text reaches the model; its echo leaves the caret where it is.
    area->forceActiveFocus();
    keys(Qt::Key_H, QStringLiteral("H"));
    keys(Qt::Key_I, QStringLiteral("i"));
    EXPECT_EQ(screen->story(), QStringLiteral("Hi"));
    keys(Qt::Key_Left);
    keys(Qt::Key_Exclam, QStringLiteral("!"));
    EXPECT_EQ(screen->story(), QStringLiteral("H!i"));
    EXPECT_EQ(area->property("cursorPosition").toInt(), 2);

    screen->setStory(QStringLiteral("one\ntwo\nthree\nfour"));
    spinFor(20ms);
    EXPECT_GT(height(), 104);
    EXPECT_EQ(height(), textHeight() + 28);
    EXPECT_FALSE(editor->property("scrolls").toBool());

    // One long paragraph: a narrower window wraps it into more lines and a taller editor.
    screen->setStory(QStringLiteral("word ").repeated(60));
    spinFor(20ms);
    const double wide = height();
    view.screen()->setWidth(760);
    spinFor(50ms);
    EXPECT_GT(height(), wide);
    EXPECT_EQ(height(), std::min(280.0, textHeight() + 28));

    screen->setStory(QStringLiteral("line\n").repeated(40));
    spinFor(20ms);
    EXPECT_EQ(height(), 280);
    EXPECT_TRUE(editor->property("scrolls").toBool());
    EXPECT_EQ(area->property("text").toString(), screen->story());
}

TEST_F(HomeTextViews, AHugePasteIntoTheStoryIsCutAtTheBoundAndTheScreenSaysSo)
{
    TestimonyScreenModel *screen = showTestimony(withConfig(std::nullopt));
    QQuickItem *area = child("storyEditor");
    ASSERT_TRUE(screen && area);
    EXPECT_FALSE(child("storyNotice")->isVisible());

    area->forceActiveFocus();
    keys(Qt::Key_A, QStringLiteral("A"));
    keys(Qt::Key_Space, QStringLiteral(" "));
    QGuiApplication::clipboard()->setText(QString(5'000'000, u'w'));
    keys(QKeySequence::Paste);
    const qint64 limit = TestimonyScreenModel::storyLimit;
    const QString kept = QStringLiteral("A ") + QString(limit - 2, u'w');
    EXPECT_EQ(screen->story(), kept);
    EXPECT_EQ(area->property("text").toString(), kept);
    EXPECT_EQ(area->property("cursorPosition").toInt(), kept.size());
    EXPECT_EQ(
        child("characterCount")->property("text").toString(), QStringLiteral("50000 characters"));
    spinFor(20ms);
    EXPECT_TRUE(child("storyNotice")->isVisible());

    // At the bound a typed letter is not kept; the caret stays.
    keys(Qt::Key_Home);
    keys(Qt::Key_B, QStringLiteral("B"));
    EXPECT_EQ(screen->story(), kept);
    EXPECT_EQ(area->property("text").toString(), kept);

    // A paste within the room is kept whole where the caret is.
    keys(QKeySequence::SelectAll);
    QGuiApplication::clipboard()->setText(QStringLiteral("Grace"));
    keys(QKeySequence::Paste);
    EXPECT_EQ(screen->story(), QStringLiteral("Grace"));
    keys(Qt::Key_Home);
    keys(QKeySequence::Paste);
    EXPECT_EQ(screen->story(), QStringLiteral("GraceGrace"));
    EXPECT_EQ(area->property("cursorPosition").toInt(), 5);
}

TEST_F(HomeTextViews, TheEngagementPageShowsOpensAndCopiesTheEncodedAddress)
{
    AppModel &app = withConfig(std::nullopt);
    // Percent-encoded text a pretty form would decode.
    const auto link = AppModel::engagementURL(
        QStringLiteral("https://orvella.example/give/%C3%A9t%C3%A9%202026"));
    ASSERT_TRUE(link);
    const QUrl url = *link;
    const QString address = url.toString(QUrl::FullyEncoded);
    ASSERT_TRUE(show(app, "EngagementQRScreen.qml",
        { { "title", "Partner & Give" }, { "subtitle", "Scan to give" }, { "url", url },
            { "address", address }, { "addressText", address } }));
    EXPECT_FALSE(child("engagementUnavailable")->isVisible());
    EXPECT_EQ(child("engagementCode")->property("text").toString(), address);
    QQuickItem *shown = child("engagementAddress");
    EXPECT_EQ(shown->property("text").toString(), address);

    click(child("openInBrowser"));
    EXPECT_EQ(opened.urls, QList<QUrl> { url });

    shown->forceActiveFocus();
    keys(QKeySequence::SelectAll);
    keys(QKeySequence::Copy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), address);

    ASSERT_TRUE(show(app, "EngagementQRScreen.qml",
        { { "title", "Partner & Give" }, { "subtitle", "Scan to give" } }));
    EXPECT_TRUE(child("engagementUnavailable")->isVisible());
    for (const char *name : { "engagementCode", "engagementAddress", "openInBrowser" })
        EXPECT_FALSE(child(name)->isVisible()) << name;
}

TEST_F(HomeTextViews, AHugeAddressIsShownBoundedAndStillOpenedWhole)
{
    const QString link = QStringLiteral("https://orvella.example/give/") + QString(100'000, u'g');
    AppModel &app = withConfig(QJsonObject { { "urls", QJsonObject { { "give", link } } } });
    const QVariantMap properties = RootViewModel::screenPropertiesFor(MacRoute::Give, app);
    ASSERT_TRUE(show(app, "EngagementQRScreen.qml", properties));
    QQuickItem *address = child("engagementAddress");
    QQuickItem *open = child("openInBrowser");
    const QString shown = address->property("text").toString();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("https://orvella.example/give/ggg")));
    EXPECT_LE(shown.size(), 301);
    const QRectF addressBox = address->mapRectToScene(address->boundingRect());
    const QRectF openBox = open->mapRectToScene(open->boundingRect());
    EXPECT_LE(addressBox.bottom(), openBox.top());
    EXPECT_GE(openBox.top(), 0);
    EXPECT_LE(openBox.bottom(), view.window()->height());

    click(open);
    ASSERT_EQ(opened.urls.size(), 1);
    EXPECT_TRUE(opened.urls.first().toString().startsWith(link));
}

TEST_F(HomeTextViews, TheMagazineSelectionMovesAndBackToLiveLeaves)
{
    AppModel &app = signedIn();
    app.navigate(MacRoute::Magazine);
    ASSERT_TRUE(show(app, "MagazineScreen.qml"));
    const auto text = [&](const char *name) { return child(name)->property("text").toString(); };
    const auto checked = [&](const char *row) {
        return find(child(row), QStringLiteral("magazineCheck"))->isVisible();
    };
    EXPECT_EQ(text("magazineTitle"), QStringLiteral("Velmorin"));
    EXPECT_TRUE(checked("magazine-1"));
    click(child("magazine-3"));
    click(child("magazine-3"));
    EXPECT_EQ(
        QStringList({ text("magazineTitle"), text("magazineIssue"), text("magazineDescription") }),
        QStringList({ "Orvella Digest", "Special Edition", "Highlights from Orvella Live." }));
    EXPECT_TRUE(checked("magazine-3") && !checked("magazine-1"));
    EXPECT_EQ(child("magazineCover")->property("color").value<QColor>(),
        QColor::fromRgbF(0.45f, 0.32f, 0.12f));
    click(child("backToLive"));
    EXPECT_EQ(app.route(), MacRoute::Live);
}

TEST_F(HomeTextViews, TheLanguageListsMarkOnlyAnExactCode)
{
    AppModel &app = withConfig(std::nullopt);
    app.settings()->setStreamLanguage(QStringLiteral("EN"));
    ASSERT_TRUE(show(app, "LanguagesScreen.qml"));
    const auto checked = [&](const char *list, const char *code) {
        QQuickItem *row = find(child(list), QStringLiteral("language-") + code);
        return find(row, QStringLiteral("languageCheck"))->isVisible();
    };
    EXPECT_FALSE(checked("streamLanguages", "en"));
    EXPECT_TRUE(checked("captionLanguages", "en"));
    click(find(child("captionLanguages"), QStringLiteral("language-es")));
    EXPECT_TRUE(checked("captionLanguages", "es") && !checked("captionLanguages", "en"));
}

TEST_F(HomeTextViews, ThousandsOfLanguagesBuildOnlyTheRowsInView)
{
    QJsonArray languages;
    for (int i = 0; i < 5000; ++i)
        languages.append(QJsonObject { { "code", QStringLiteral("l%1").arg(i) },
            { "label", QStringLiteral("Language %1").arg(i) } });
    AppModel &app = withConfig(QJsonObject { { "live_languages", languages } });
    app.settings()->setCaptionLanguage(QStringLiteral("l4999"));
    ASSERT_TRUE(show(app, "LanguagesScreen.qml"));
    const auto built = [&](const char *list) {
        int rows = 0;
        std::function<void(QQuickItem *)> count = [&](QQuickItem *item) {
            if (item->objectName().startsWith(u"language-"))
                ++rows;
            for (QQuickItem *child : item->childItems())
                count(child);
        };
        count(child(list));
        return rows;
    };
    EXPECT_GT(built("streamLanguages"), 5);
    EXPECT_LT(built("streamLanguages"), 60);
    EXPECT_LT(built("captionLanguages"), 60);

    // The last row comes into view when scrolled to, and chooses as any other.
    QQuickItem *rows = find(child("captionLanguages"), QStringLiteral("languageRows"));
    QMetaObject::invokeMethod(rows, "positionViewAtEnd");
    spinFor(50ms);
    QQuickItem *last = find(child("captionLanguages"), QStringLiteral("language-l4999"));
    ASSERT_TRUE(last);
    EXPECT_TRUE(find(last, QStringLiteral("languageCheck"))->isVisible());
    click(find(child("captionLanguages"), QStringLiteral("language-l4998")));
    EXPECT_EQ(app.settings()->captionLanguage(), QStringLiteral("l4998"));

    // The filter narrows both lists.
    auto *screen
        = view.screen()->findChild<LanguagesScreenModel *>(QStringLiteral("languagesScreenModel"));
    ASSERT_TRUE(screen);
    screen->setFilter(QStringLiteral(" LANGUAGE 4999"));
    spinFor(20ms);
    EXPECT_EQ(built("streamLanguages"), 1);
    EXPECT_EQ(built("captionLanguages"), 1);
}

// Pictures for a person to compare with the design, taken only when ORVELLA_SCREENSHOT_DIR
// names a folder (run under xvfb-run with QT_QPA_PLATFORM=xcb). The engagement pages get the
// root view's own arguments.
TEST_F(HomeTextViews, Screenshots)
{
    const QString folder = qEnvironmentVariable("ORVELLA_SCREENSHOT_DIR");
    if (folder.isEmpty())
        GTEST_SKIP() << "set ORVELLA_SCREENSHOT_DIR to take the pictures";
    QDir().mkpath(folder);
    const auto shoot = [&](AppModel &app, const char *file, const QString &name,
                           const QVariantMap &properties = {}) {
        ASSERT_TRUE(show(app, file, properties));
        spinFor(300ms);
        windowPicture(*view.window()).save(folder + u'/' + name + QStringLiteral(".png"));
    };
    for (const bool links : { true, false }) {
        model.reset();
        const QString portal = QStringLiteral("https://orvella.example/testify");
        AppModel &app = withConfig(links ? QJsonObject { { "urls",
                                       QJsonObject { { "testimony", portal },
                                           { "give", "https://orvella.example/give" } } } }
                                         : QJsonObject {});
        app.settings()->setDisplayName(QStringLiteral("Grace Mensah"));
        // A short story, then one long enough to scroll inside the editor.
        QSettings().setValue("testimony.draft.story",
            QStringLiteral("I came to the healing service with pain no doctor could explain. ")
                .repeated(links ? 4 : 20));
        shoot(app, "TestimonyScreen.qml", links ? "testimony-portal" : "testimony-no-portal");
        shoot(app, "EngagementQRScreen.qml", links ? "give" : "give-unavailable",
            RootViewModel::screenPropertiesFor(MacRoute::Give, app));
        if (links)
            continue;
        shoot(app, "EngagementQRScreen.qml", "herald-fallback",
            RootViewModel::screenPropertiesFor(MacRoute::Herald, app));
        shoot(app, "LanguagesScreen.qml", "languages");
        shoot(app, "MagazineScreen.qml", "magazine");
    }

    // A give link of 100 kB and a stored story past the bound.
    model.reset();
    AppModel &app = withConfig(QJsonObject { { "urls",
        QJsonObject { { "give",
            QStringLiteral("https://orvella.example/give/") + QString(100'000, u'g') } } } });
    QSettings().setValue("testimony.draft.story",
        QStringLiteral("I came to the healing service with pain no doctor could explain. ")
            .repeated(1000));
    shoot(app, "EngagementQRScreen.qml", "give-huge-link",
        RootViewModel::screenPropertiesFor(MacRoute::Give, app));
    shoot(app, "TestimonyScreen.qml", "testimony-story-cut");
}

} // namespace
} // namespace orvella::test
