// The written-testimony screen's model: the draft and where it is restored from, the Continue
// rule, the character count, the portal, and that typed text survives leaving and quitting.
#include "EmissionCount.h"
#include "HomeTextHarness.h"
#include "screens/home/TestimonyScreenModel.h"
#include "support/ReadOnlySettingsFolder.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>

namespace orvella::test {
namespace {

const QString portal = QStringLiteral("https://orvella.example/testify");

QJsonObject configWithPortal(const QJsonValue &link)
{
    QJsonObject urls { { "give", "https://orvella.example/give" } };
    if (!link.isUndefined())
        urls.insert("testimony", link);
    return { { "urls", urls } };
}

class TestimonyScreen : public HomeTextHarness
{
protected:
    // A new screen as the page makes it: restored once it is shown.
    TestimonyScreenModel &open(AppModel &app)
    {
        screen = std::make_unique<TestimonyScreenModel>();
        screen->setApp(&app);
        screen->restoreDraft();
        return *screen;
    }
    QStringList fields() const { return { screen->name(), screen->email(), screen->story() }; }

    void TearDown() override
    {
        screen.reset();
        HomeTextHarness::TearDown();
    }
    std::unique_ptr<TestimonyScreenModel> screen;
};

TEST_F(TestimonyScreen, AStoredDraftWinsOverTheProfileEvenWhenEmpty)
{
    AppModel &app = withConfig(configWithPortal(portal));
    app.settings()->setDisplayName(QStringLiteral("Grace"));
    app.settings()->setEmail(QStringLiteral("grace@example.org"));

    open(app);
    EXPECT_EQ(fields(), (QStringList { "Grace", "grace@example.org", "" }));
    EXPECT_EQ(screen->saveLabel(), QStringLiteral("Save Draft"));

    screen->setName(QString());
    screen->setStory(QStringLiteral("  I was healed.\n"));
    screen->saveDraft();
    EXPECT_EQ(screen->saveLabel(), QStringLiteral("Draft Saved"));
    EXPECT_EQ(storedDraft(), (QStringList { "", "grace@example.org", "  I was healed.\n" }));
    screen->setStory(QStringLiteral("later"));
    EXPECT_TRUE(screen->saved()); // stays until the screen goes

    open(app); // the edit after saving is kept as the old screen goes
    EXPECT_EQ(fields(), (QStringList { "", "grace@example.org", "later" }));
    EXPECT_EQ(screen->saveLabel(), QStringLiteral("Save Draft"));
}

TEST_F(TestimonyScreen, ContinueNeedsANameBeyondSpacesAndTabsAndAStoryBeyondBlanks)
{
    const struct
    {
        const char *name, *story;
        bool enabled;
    } cases[] = {
        { " \t ", "A story", false },
        { "Ann", " \n\t ", false },
        { "Ann", "x", true },
        { "\n", "x", true }, // only spaces and tabs make a name blank
        { "", "", false },
    };
    for (const auto &c : cases)
        EXPECT_EQ(TestimonyScreenModel::canContinue(
                      { QString::fromUtf8(c.name), QString(), QString::fromUtf8(c.story) }),
            c.enabled)
            << c.name << '|' << c.story;
}

TEST_F(TestimonyScreen, TheCountIsOfUserPerceivedCharacters)
{
    const struct
    {
        const char *text;
        qint64 count;
    } cases[] = {
        { "", 0 },
        { "abc", 3 },
        { "\U0001F44D\U0001F3FD", 1 }, // thumbs up with a skin tone
        { "e\u0301", 1 }, // combining accent
        { "\U0001F468\u200D\U0001F469\u200D\U0001F467", 1 }, // a family joined by ZWJ
        { "\U0001F1EB\U0001F1F7", 1 }, // a flag
        { "a\r\nb", 3 },
    };
    for (const auto &c : cases)
        EXPECT_EQ(TestimonyScreenModel::characterCount(QString::fromUtf8(c.text)), c.count)
            << c.text;
    AppModel &app = withConfig(std::nullopt);
    open(app).setStory(QString::fromUtf8("\U0001F44D\U0001F3FD"));
    EXPECT_EQ(screen->characterCountText(), QStringLiteral("1 characters"));
}

TEST_F(TestimonyScreen, ContinueSavesAndOpensOnlyAWebPortal)
{
    const struct
    {
        const char *name;
        std::optional<QJsonObject> config;
        QString opened;
    } cases[] = {
        { "no configuration", std::nullopt, {} },
        { "no link", configWithPortal(QJsonValue::Undefined), {} },
        { "empty link", configWithPortal(""), {} },
        { "file link", configWithPortal("file:///etc/passwd"), {} },
        { "script link", configWithPortal("javascript:alert(1)"), {} },
        { "portal", configWithPortal(portal), portal + "?src=macos&platform=macos" },
        { "portal with a query", configWithPortal(portal + "?lang=fr"),
            portal + "?lang=fr&src=macos&platform=macos" },
    };
    for (const auto &c : cases) {
        screen.reset();
        model.reset();
        QSettings().clear();
        opened.urls.clear();
        open(withConfig(c.config));
        screen->setName(QStringLiteral("Ann"));
        screen->setStory(QStringLiteral("Healed"));
        screen->continueOnPortal();
        EXPECT_EQ(storedDraft(), (QStringList { "Ann", "", "Healed" })) << c.name;
        EXPECT_TRUE(screen->saved()) << c.name;
        EXPECT_EQ(screen->hasPortal(), !c.opened.isEmpty()) << c.name;
        EXPECT_EQ(screen->portalAddress(), c.opened) << c.name;
        EXPECT_EQ(opened.urls, c.opened.isEmpty() ? QList<QUrl> {} : QList<QUrl> { QUrl(c.opened) })
            << c.name;
    }
}

TEST_F(TestimonyScreen, TypedTextIsKeptWhenTheScreenGoesOrTheAppQuits)
{
    AppModel &app = withConfig(std::nullopt);
    app.settings()->setDisplayName(QStringLiteral("Grace"));

    // Restored from the profile and left untouched: nothing is written.
    open(app);
    screen.reset();
    EXPECT_EQ(storedDraft(), (QStringList { "-", "-", "-" }));

    // Typed, then left: stored untrimmed and written to the file at once.
    open(app).setStory(QStringLiteral(" Thank you \n"));
    screen->restoreDraft(); // once per screen: typed text is not replaced
    EXPECT_EQ(screen->story(), QStringLiteral(" Thank you \n"));
    screen.reset();
    EXPECT_EQ(storedDraft(), (QStringList { "Grace", "", " Thank you \n" }));
    QFile file(QSettings().fileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("testimony.draft.story="));

    // The studio button stores before it leaves.
    open(app).setEmail(QStringLiteral("g@example.org"));
    screen->openStudio();
    EXPECT_EQ(app.route(), MacRoute::TestimonyRec);
    EXPECT_EQ(storedDraft(), (QStringList { "Grace", "g@example.org", " Thank you \n" }));

    // Quitting stores what was typed since the last save.
    screen->setName(QStringLiteral("Grace M."));
    QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit");
    EXPECT_EQ(storedDraft(), (QStringList { "Grace M.", "g@example.org", " Thank you \n" }));
}

TEST_F(TestimonyScreen, ADraftThatCannotBeStoredSaysSoKeepsTheTextAndIsTriedAgain)
{
    AppModel &app = withConfig(std::nullopt);
    open(app).setStory(QStringLiteral("I was healed."));
    {
        ReadOnlySettingsFolder readOnly;
        ASSERT_TRUE(readOnly.holds());
        screen->saveDraft();
        EXPECT_TRUE(screen->saveFailed());
        EXPECT_EQ(screen->saveLabel(), QStringLiteral("Could not save on this computer."));
        EXPECT_EQ(screen->story(), QStringLiteral("I was healed."));
        EXPECT_FALSE(settingsFileOnDisk().contains("testimony.draft.story"));
    }
    // The next save writes it.
    screen->saveDraft();
    EXPECT_FALSE(screen->saveFailed());
    EXPECT_EQ(screen->saveLabel(), QStringLiteral("Draft Saved"));
    EXPECT_EQ(storedDraft()[2], QStringLiteral("I was healed."));

    // A failed save is tried again when the screen goes.
    screen->setStory(QStringLiteral("I was healed twice."));
    QByteArray before;
    {
        ReadOnlySettingsFolder readOnly;
        screen->continueOnPortal();
        EXPECT_TRUE(screen->saveFailed());
        before = settingsFileOnDisk();
    }
    EXPECT_FALSE(before.contains("twice"));
    screen.reset();
    EXPECT_TRUE(settingsFileOnDisk().contains("I was healed twice."));
}

TEST_F(TestimonyScreen, TheStoryIsBoundedWhereverItsTextComesFrom)
{
    constexpr qint64 limit = TestimonyScreenModel::storyLimit;
    const QString thumbs = QString::fromUtf8("\U0001F44D\U0001F3FD"); // one character, four units
    AppModel &app = withConfig(std::nullopt);
    open(app);

    // Up to the bound everything is kept and nothing is said.
    const QString full = QString(limit - 1, u'a') + thumbs;
    screen->setStory(full);
    EXPECT_EQ(screen->story(), full);
    EXPECT_EQ(screen->storyCharacters(), limit);
    EXPECT_TRUE(screen->storyNotice().isEmpty());

    // Typing at the bound keeps the story; the screen says why in one line.
    const auto changes = countEmissions(screen.get(), &TestimonyScreenModel::fieldsChanged);
    screen->setStory(QStringLiteral("b") + full);
    EXPECT_EQ(screen->story(), full);
    EXPECT_EQ(*changes, 1) << "announced, so the editor shows the kept story again";
    EXPECT_EQ(screen->storyNotice(),
        QStringLiteral(
            "A story holds up to 50,000 characters: the text beyond that was not kept."));

    // A paste in the middle keeps what fits, from its start, and the text around it.
    screen->setStory(QStringLiteral("Before. After."));
    const QString pasted = thumbs.repeated(limit);
    screen->setStory(QStringLiteral("Before. ") + pasted + QStringLiteral("After."));
    EXPECT_EQ(screen->story(),
        QStringLiteral("Before. ") + thumbs.repeated(limit - 14) + QStringLiteral("After."));
    EXPECT_EQ(screen->storyCharacters(), limit);

    // The clipboard: a paste over a selection gets the room the rest leaves.
    screen->setStory(QString(limit - 10, u'a'));
    QGuiApplication::clipboard()->setText(QString(5'000'000, u'z'));
    EXPECT_EQ(screen->storyPaste(0, 5, false), QString(15, u'z'));
    QGuiApplication::clipboard()->setText(QStringLiteral("short"));
    EXPECT_EQ(screen->storyPaste(0, 0, false), QStringLiteral("short"));
}

TEST_F(TestimonyScreen, AStoredStoryOverTheBoundIsRestoredCutAndStoredSoOnLeaving)
{
    constexpr qint64 limit = TestimonyScreenModel::storyLimit;
    QSettings().setValue("testimony.draft.story", QString(3 * limit, u'x'));
    AppModel &app = withConfig(std::nullopt);
    open(app);
    EXPECT_EQ(screen->story(), QString(limit, u'x'));
    EXPECT_EQ(screen->characterCountText(), QStringLiteral("50000 characters"));
    EXPECT_FALSE(screen->storyNotice().isEmpty());
    screen.reset();
    EXPECT_EQ(storedDraft()[2], QString(limit, u'x'));

    open(app);
    EXPECT_TRUE(screen->storyNotice().isEmpty()) << "nothing was cut this time";
}

} // namespace
} // namespace orvella::test
