// The settings screen's model: saving, the immediate quality choices, links, identity lines,
// sign-out and the profile refresh.
#include "AccountHarness.h"
#include "core/SettingsModel.h"
#include "core/SettingsStore.h"
#include "screens/account/SettingsScreenModel.h"
#include "support/ReadOnlySettingsFolder.h"

#include <QDesktopServices>

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

// Receives the links the screen hands to the desktop.
class LinkCatcher : public QObject
{
    Q_OBJECT
public:
    LinkCatcher()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "open");
    }
    ~LinkCatcher() override
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    }
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened.append(url); }
};

class SettingsScreen : public AccountHarness
{
protected:
    SettingsScreenModel &open(bool signedIn = true)
    {
        if (signedIn)
            storeSession();
        AppModel &app = build();
        if (signedIn)
            app.restoreSession();
        app.navigate(MacRoute::Settings);
        screen = std::make_unique<SettingsScreenModel>();
        screen->setApp(&app);
        return *screen;
    }

    void TearDown() override
    {
        screen.reset();
        AccountHarness::TearDown();
    }

    std::unique_ptr<SettingsScreenModel> screen;
};

TEST_F(SettingsScreen, EverySectionSavesAllItsRowsAndShowsTheMessageUntilASectionIsPicked)
{
    SettingsScreenModel &settingsScreen = open();
    SettingsModel &s = *model->settings();
    const std::vector<std::pair<const char *, std::function<void()>>> edits {
        { "profile",
            [&] {
                settingsScreen.editProfileField("displayName", "Ada");
                settingsScreen.editProfileField("email", "ada@example.org");
                settingsScreen.editProfileField("phone", "+44 2");
                settingsScreen.editProfileField("zone", "Zone 9");
            } },
        { "playback",
            [&] {
                s.setCaptionsEnabled(false);
                s.setAutoplayNext(false);
                s.setAutoplay(false);
                s.setHardwareAcceleration(false);
                s.setPipEnabled(false);
            } },
        { "notifications",
            [&] {
                s.setPushEnabled(false);
                s.setEventAlerts(false);
                s.setLiveReminders(false);
                s.setMarketing(true);
            } },
        { "language", [] {} },
        { "accessibility",
            [&] {
                s.setHighContrast(true);
                s.setLargeText(true);
                s.setReduceMotion(true);
            } },
        { "privacy",
            [&] {
                s.setAnalytics(false);
                s.setPersonalization(false);
                s.setShareActivity(true);
            } },
        { "account", [] {} },
    };
    for (const auto &[section, edit] : edits) {
        SCOPED_TRACE(section);
        settingsScreen.selectSection(QString::fromLatin1(section));
        EXPECT_EQ(settingsScreen.section(), QString::fromLatin1(section));
        EXPECT_FALSE(settingsScreen.hasSaveMessage());
        edit();
        EXPECT_NE(SettingsStore::load(QSettings()), s.value());
        settingsScreen.save();
        EXPECT_EQ(settingsScreen.saveMessageText(), QStringLiteral("Saved on this computer."));
        EXPECT_EQ(SettingsStore::load(QSettings()), s.value());
        settingsScreen.selectSection(QString::fromLatin1(section)); // the same row clears it too
        EXPECT_FALSE(settingsScreen.hasSaveMessage());
        s.setDisplayName(s.displayName() + u'!'); // the next section has something to save
    }
    // Only exact raw values name a section.
    for (const char *raw : { "Profile", "languages", "" })
        EXPECT_FALSE(SettingsSection::fromRawValue(QString::fromLatin1(raw))) << raw;
}

TEST_F(SettingsScreen, QualityAndDataSaverStoreAtOnceAndCapTheLivePlayer)
{
    SettingsScreenModel &settingsScreen = open();
    SettingsModel &s = *model->settings();
    player->replaceCurrentItem(QUrl("http://127.0.0.1:9/live.m3u8"), {});
    const auto stored = [] { return SettingsStore::load(QSettings()); };

    s.setDataSaver(true);
    s.setDisplayName(QStringLiteral("Unsaved name"));
    settingsScreen.pickQuality(QStringLiteral("1Mbps"));
    EXPECT_EQ(stored().preferredQuality, QStringLiteral("1Mbps"));
    EXPECT_FALSE(stored().dataSaver);
    EXPECT_EQ(stored().displayName, QStringLiteral("Unsaved name")); // stored with it
    EXPECT_DOUBLE_EQ(player->preferredPeakBitRate(), 1e6);

    s.setDataSaver(true);
    settingsScreen.pickQuality(QStringLiteral("Auto"));
    EXPECT_TRUE(stored().dataSaver); // Auto leaves data saver as it is
    EXPECT_DOUBLE_EQ(player->preferredPeakBitRate(), 0);

    settingsScreen.setDataSaver(true);
    EXPECT_EQ(stored().preferredQuality, QStringLiteral("2Mbps"));
    EXPECT_TRUE(stored().dataSaver);
    EXPECT_DOUBLE_EQ(player->preferredPeakBitRate(), 2e6);
    settingsScreen.setDataSaver(false);
    EXPECT_EQ(stored().preferredQuality, QStringLiteral("2Mbps"));
    EXPECT_FALSE(stored().dataSaver);
}

TEST_F(SettingsScreen, AWriteThatCannotBeStoredSaysSoAndIsTriedAgainOnTheNextWriteOrOnLeaving)
{
    SettingsScreenModel &settingsScreen = open();
    settingsScreen.editProfileField("displayName", "Ada");
    {
        ReadOnlySettingsFolder readOnly;
        ASSERT_TRUE(readOnly.holds());
        settingsScreen.save();
        EXPECT_EQ(settingsScreen.saveMessage(), QStringLiteral("Could not save on this computer."));
        EXPECT_TRUE(settingsScreen.saveFailed());
        EXPECT_EQ(model->settings()->displayName(), QStringLiteral("Ada")) << "kept in memory";
        EXPECT_FALSE(settingsFileOnDisk().contains("profile.name=Ada"));

        // An immediate choice that cannot be stored says the same.
        settingsScreen.selectSection("playback");
        settingsScreen.pickQuality("1Mbps");
        EXPECT_TRUE(settingsScreen.saveFailed());
        EXPECT_EQ(model->settings()->preferredQuality(), QStringLiteral("1Mbps"));
        EXPECT_FALSE(settingsFileOnDisk().contains("playback.quality=1Mbps"));
    }
    // Writable again: the next write stores everything and the failure text goes.
    settingsScreen.setDataSaver(false);
    EXPECT_FALSE(settingsScreen.hasSaveMessage());
    settingsScreen.save();
    EXPECT_EQ(settingsScreen.saveMessage(), QStringLiteral("Saved on this computer."));
    EXPECT_FALSE(settingsScreen.saveFailed());
    EXPECT_EQ(SettingsStore::load().displayName, QStringLiteral("Ada"));

    // A failed save is tried again when the screen goes.
    settingsScreen.editProfileField("zone", "Zone 4");
    QByteArray before;
    {
        ReadOnlySettingsFolder readOnly;
        settingsScreen.save();
        EXPECT_TRUE(settingsScreen.saveFailed());
        before = settingsFileOnDisk();
    }
    EXPECT_FALSE(before.contains("Zone 4"));
    settingsScreen.disappear();
    EXPECT_TRUE(settingsFileOnDisk().contains("profile.zone=Zone 4"));
}

TEST_F(SettingsScreen, LinksOpenOnlyWebPagesAndFallBackToTheServicesOwn)
{
    LinkCatcher catcher;
    const QUrl privacyPage = QUrl(service.origin().toString() + "/privacy");
    const QUrl activatePage = QUrl(service.origin().toString() + "/activate");
    const struct
    {
        const char *name;
        QJsonValue urls; // none: no configuration
        QUrl privacy;
        std::optional<QUrl> terms;
        QUrl activate;
    } cases[] = {
        { "no configuration", QJsonValue::Undefined, privacyPage, std::nullopt, activatePage },
        { "empty and unsafe links",
            QJsonObject { { "privacy", "" }, { "terms", "javascript:alert(1)" },
                { "activate", "file:///etc/passwd" } },
            privacyPage, std::nullopt, activatePage },
        { "no host", QJsonObject { { "privacy", "https:///p" }, { "terms", "ftp://x.example/t" } },
            privacyPage, std::nullopt, activatePage },
        { "web pages",
            QJsonObject { { "privacy", " https://orvella.example/privacy " },
                { "terms", "http://orvella.example/terms" },
                { "activate", "https://orvella.example/go" } },
            QUrl("https://orvella.example/privacy"), QUrl("http://orvella.example/terms"),
            QUrl("https://orvella.example/go") },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        if (c.urls.isUndefined())
            service.on("GET", "tv/config", ScriptedAnswer::error(500, QStringLiteral("Down")));
        else
            service.on(
                "GET", "tv/config", ScriptedAnswer::envelope(QJsonObject { { "urls", c.urls } }));
        SettingsScreenModel &settingsScreen = open();
        model->eventTimerFired(); // fetches the configuration
        if (!c.urls.isUndefined()) {
            ASSERT_TRUE(waitUntil([&] { return model->config().has_value(); }));
        }
        catcher.opened.clear();
        settingsScreen.openPrivacy();
        settingsScreen.openTerms();
        settingsScreen.openActivation();
        QList<QUrl> expected { c.privacy };
        if (c.terms)
            expected.append(*c.terms);
        expected.append(c.activate);
        EXPECT_EQ(catcher.opened, expected);
        EXPECT_EQ(settingsScreen.hasTerms(), c.terms.has_value());
    }
}

TEST_F(SettingsScreen, IdentityLinesTakeThePresentProfileValueEvenWhenEmpty)
{
    SettingsScreenModel &settingsScreen = open();
    SettingsModel &s = *model->settings();
    s.setDisplayName(QStringLiteral("Settings Name"));
    s.setEmail(QStringLiteral("settings@example.org"));
    s.setPhone(QStringLiteral("+1"));
    s.setZone(QStringLiteral("Settings Zone"));
    // No profile: the settings.
    EXPECT_EQ(settingsScreen.identityName(), QStringLiteral("Settings Name"));
    EXPECT_EQ(settingsScreen.identityZone(), QStringLiteral("Settings Zone"));
    // A profile with an empty e-mail and a region only.
    service.on("GET", "user/profile",
        ScriptedAnswer::envelope(QJsonObject { { "user",
            QJsonObject {
                { "name", "Profile Name" }, { "email", "" }, { "region", "Region 3" } } } }));
    runTask(model->syncProfileFromServer());
    EXPECT_EQ(settingsScreen.identityName(), QStringLiteral("Profile Name"));
    EXPECT_EQ(settingsScreen.identityEmail(), QString());
    EXPECT_EQ(settingsScreen.identityPhone(), QStringLiteral("+1"));
    EXPECT_EQ(settingsScreen.identityZone(), QStringLiteral("Region 3"));
    s.setCaptionLanguage(QStringLiteral("en"));
    EXPECT_EQ(
        settingsScreen.captionLanguageLine(), QStringLiteral("Preferred caption language: EN"));
}

TEST_F(SettingsScreen, TypingDuringTheProfileRefreshSurvivesIt)
{
    service.on("GET", "user/profile", ScriptedAnswer::envelope(sampleProfile()).withDelay(300ms));
    SettingsScreenModel &settingsScreen = open();
    settingsScreen.appear();
    settingsScreen.editProfileField(QStringLiteral("displayName"), QStringLiteral("Typed"));
    ASSERT_TRUE(waitUntil([&] { return model->profile().has_value(); }));
    spinFor(50ms);
    EXPECT_EQ(model->settings()->displayName(), QStringLiteral("Typed"));
    EXPECT_EQ(model->settings()->email(), QStringLiteral("ada@example.org")); // the service's
    // Without typing, the service's values win.
    settingsScreen.editProfileField(QStringLiteral("phone"), QStringLiteral("000"));
    runTask(settingsScreen.syncProfile());
    EXPECT_EQ(model->settings()->phone(), QStringLiteral("+44 1"));
}

TEST_F(SettingsScreen, SignOutEndsTheDeviceSessionAndShowsSignInAndAGuestIsOfferedSignIn)
{
    service.on("DELETE", "tv/device", ScriptedAnswer::envelope(QJsonObject {}));
    SettingsScreenModel &settingsScreen = open();
    EXPECT_FALSE(settingsScreen.isGuest());
    settingsScreen.signOut();
    ASSERT_TRUE(waitUntil([&] { return model->route() == MacRoute::Login; }));
    EXPECT_TRUE(waitUntil([&] { return service.requests("DELETE", "tv/device").size() == 1; }));
    EXPECT_TRUE(settingsScreen.isGuest());
    settingsScreen.openLanguageSelector(); // the gate sends a guest to sign-in
    EXPECT_EQ(model->route(), MacRoute::Login);
}

} // namespace
} // namespace orvella::test

#include "settings_screen_test.moc"
