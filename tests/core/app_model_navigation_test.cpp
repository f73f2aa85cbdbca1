#include "AppModelHarness.h"

#include <QQmlComponent>
#include <QQmlEngine>

namespace orvella::test {
namespace {

using Stack = QList<MacRoute::Value>;

class Navigation : public AppModelHarness
{
protected:
    // A signed-in model showing live, as after start-up.
    AppModel &signedInOnLive()
    {
        AppModel &app = signedIn();
        EXPECT_FALSE(app.isGuest());
        app.navigate(MacRoute::Live);
        return app;
    }
};

TEST_F(Navigation, AGuestIsSentToSignInForEveryRouteButTheStartUpOnes)
{
    AppModel &app = build();
    ASSERT_TRUE(app.isGuest());
    for (const auto target : { MacRoute::Home, MacRoute::Settings, MacRoute::KidsZone,
             MacRoute::Live, MacRoute::Menu, MacRoute::Episode }) {
        SCOPED_TRACE(MacRoute::rawValue(target).toStdString());
        app.navigate(MacRoute::Splash);
        app.setMenuPresented(true);
        app.navigate(target);
        EXPECT_EQ(app.route(), MacRoute::Login);
        EXPECT_TRUE(app.navigationStack().isEmpty());
        EXPECT_FALSE(app.menuPresented());
    }
    EXPECT_FALSE(app.selectedProgramId()) << "the kids redirect comes after the gate";
    for (const auto target :
        { MacRoute::Login, MacRoute::Splash, MacRoute::ForceUpdate, MacRoute::Maintenance }) {
        app.navigate(target);
        EXPECT_EQ(app.route(), target);
    }
    // The gate leaves the live player alone.
    EXPECT_EQ(player->playCalls, 0);
}

TEST_F(Navigation, TheCurrentRouteIsPushedAndLiveClearsTheStack)
{
    AppModel &app = signedInOnLive();
    app.navigate(MacRoute::Home);
    app.navigate(MacRoute::Programs);
    app.navigate(MacRoute::Search);
    EXPECT_EQ(
        app.navigationStack(), (Stack { MacRoute::Live, MacRoute::Home, MacRoute::Programs }));
    EXPECT_EQ(app.backStack(), (QList<int> { MacRoute::Live, MacRoute::Home, MacRoute::Programs }));
    EXPECT_TRUE(app.canGoBack());

    app.setMenuPresented(true);
    app.navigate(MacRoute::Search);
    EXPECT_EQ(app.navigationStack().size(), 3) << "the current route is not pushed again";
    EXPECT_FALSE(app.menuPresented());

    app.navigate(MacRoute::Live);
    EXPECT_TRUE(app.navigationStack().isEmpty());
    EXPECT_EQ(app.route(), MacRoute::Live);
}

TEST_F(Navigation, StartUpRoutesAndTheMenuAreNeverPushed)
{
    AppModel &app = signedInOnLive();
    app.navigate(MacRoute::Menu);
    EXPECT_EQ(app.navigationStack(), Stack { MacRoute::Live });
    app.navigate(MacRoute::Settings);
    EXPECT_EQ(app.navigationStack(), Stack { MacRoute::Live }) << "menu is not pushed";
    app.navigate(MacRoute::Login);
    app.navigate(MacRoute::Home);
    EXPECT_EQ(app.navigationStack(), (Stack { MacRoute::Live, MacRoute::Settings }));
}

TEST_F(Navigation, KidsZoneShowsProgrammeSeventyNine)
{
    AppModel &app = signedInOnLive();
    app.navigate(MacRoute::Home);
    app.navigate(MacRoute::KidsZone);
    EXPECT_EQ(app.route(), MacRoute::ProgramDetail);
    EXPECT_EQ(app.selectedProgramId(), QStringLiteral("79"));
    EXPECT_EQ(app.navigationStack(), (Stack { MacRoute::Live, MacRoute::Home }));
}

TEST_F(Navigation, GoingBackPopsWithoutGateOrPushAndFallsBackToLive)
{
    AppModel &app = signedInOnLive();
    app.navigate(MacRoute::Home);
    app.navigate(MacRoute::Programs);
    app.setMenuPresented(true);
    app.goBack();
    EXPECT_EQ(app.route(), MacRoute::Home);
    EXPECT_EQ(app.navigationStack(), Stack { MacRoute::Live });
    EXPECT_FALSE(app.menuPresented());
    app.goBack();
    EXPECT_EQ(app.route(), MacRoute::Live);
    EXPECT_EQ(player->playCalls, 2) << "back on live plays again";
    app.goBack();
    EXPECT_EQ(app.route(), MacRoute::Live);

    AppModel &guest = build();
    guest.goBack();
    EXPECT_EQ(guest.route(), MacRoute::Login);
}

TEST_F(Navigation, BackIsNotOfferedOnLiveOrWithAnEmptyStack)
{
    AppModel &app = signedInOnLive();
    EXPECT_FALSE(app.canGoBack());
    app.navigate(MacRoute::Home);
    app.navigate(MacRoute::Menu);
    app.navigate(MacRoute::Live);
    EXPECT_FALSE(app.canGoBack());
    app.navigate(MacRoute::Home);
    EXPECT_TRUE(app.canGoBack());
    app.goBack();
    EXPECT_FALSE(app.canGoBack()) << "live with an empty stack";
}

TEST_F(Navigation, OpenEpisodeTrimsAndReloadsInPlace)
{
    AppModel &app = signedInOnLive();
    int announcements = 0;
    QObject::connect(&app, &AppModel::selectedEpisodeIdChanged, [&] { ++announcements; });
    app.openEpisode(QStringLiteral(" \t\n"));
    EXPECT_EQ(app.route(), MacRoute::Live);
    EXPECT_FALSE(app.selectedEpisodeId());

    app.openEpisode(QStringLiteral("  ep-42\n"));
    EXPECT_EQ(app.selectedEpisodeId(), QStringLiteral("ep-42"));
    EXPECT_EQ(app.route(), MacRoute::Episode);
    EXPECT_EQ(app.navigationStack(), Stack { MacRoute::Live });

    app.openEpisode(QStringLiteral("ep-43"));
    EXPECT_EQ(app.selectedEpisodeId(), QStringLiteral("ep-43"));
    EXPECT_EQ(app.navigationStack(), Stack { MacRoute::Live }) << "no second episode entry";
    app.openEpisode(QStringLiteral("ep-43"));
    EXPECT_EQ(announcements, 3);
}

TEST_F(Navigation, HomeActionsNavigateByType)
{
    AppModel &app = signedInOnLive();
    app.navigate(MacRoute::Home);
    app.handleAction(NavAction { QStringLiteral("LIVE"), std::nullopt, QStringLiteral("fr") });
    EXPECT_EQ(app.route(), MacRoute::Live);
    EXPECT_EQ(app.settings()->streamLanguage(), "fr");
    EXPECT_EQ(SettingsStore::load().streamLanguage, "fr") << "persisted";

    app.handleAction(NavAction { QStringLiteral("live"), std::nullopt, QString() });
    EXPECT_EQ(app.settings()->streamLanguage(), "") << "an empty language is still taken";

    app.handleAction(NavAction { QStringLiteral("program"), std::nullopt, std::nullopt });
    EXPECT_EQ(app.route(), MacRoute::Live);
    app.handleAction(NavAction { QStringLiteral("Program"), QStringLiteral(" 12 "), std::nullopt });
    EXPECT_EQ(app.route(), MacRoute::ProgramDetail);
    EXPECT_EQ(app.selectedProgramId(), QStringLiteral(" 12 "));

    app.handleAction(NavAction { QStringLiteral("episode"), QStringLiteral(" 9 "), std::nullopt });
    EXPECT_EQ(app.route(), MacRoute::Episode);
    EXPECT_EQ(app.selectedEpisodeId(), QStringLiteral("9"));

    app.handleAction(NavAction { QStringLiteral("podcast"), QStringLiteral("1"), std::nullopt });
    app.handleAction(std::nullopt);
    EXPECT_EQ(app.route(), MacRoute::Episode);
}

TEST_F(Navigation, MenuKeepsLivePlayingAndOtherRoutesPauseAndReleaseTheGuard)
{
    AppModel &app = signedInOnLive();
    EXPECT_TRUE(app.livePlayer()->wantsPlayback());
    EXPECT_TRUE(app.livePlayer()->isPlaying());
    EXPECT_TRUE(guard->isActive());
    EXPECT_EQ(claims, 2);

    app.navigate(MacRoute::Menu);
    EXPECT_TRUE(app.livePlayer()->isPlaying());
    EXPECT_EQ(player->pauseCalls, 0);
    EXPECT_TRUE(guard->isActive());

    app.navigate(MacRoute::Home);
    EXPECT_FALSE(app.livePlayer()->wantsPlayback());
    EXPECT_FALSE(app.livePlayer()->isPlaying());
    EXPECT_EQ(player->pauseCalls, 1);
    EXPECT_FALSE(guard->isActive());
    EXPECT_EQ(claims, 0);
}

TEST(EngagementURL, AppendsTheSourceQueryToHttpLinksOnly)
{
    const std::pair<std::optional<QString>, const char *> cases[] = {
        { QStringLiteral("https://x.org/give"), "https://x.org/give?src=macos&platform=macos" },
        { QStringLiteral("https://x.org/give?a=1"),
            "https://x.org/give?a=1&src=macos&platform=macos" },
        { QStringLiteral("HTTP://x.org/"), "http://x.org/?src=macos&platform=macos" },
        { QStringLiteral(""), nullptr },
        { std::nullopt, nullptr },
        { QStringLiteral("javascript:alert(1)"), nullptr },
        { QStringLiteral("file:///etc/passwd"), nullptr },
        { QStringLiteral("https://x.org/a b"), nullptr },
    };
    for (const auto &[base, expected] : cases) {
        SCOPED_TRACE(base.value_or(QStringLiteral("(none)")).toStdString());
        EXPECT_EQ(AppModel::engagementURL(base),
            expected ? std::optional(QUrl(QString::fromLatin1(expected))) : std::nullopt);
    }
}

TEST(IsVersion, ComparesNumericPartsAndDropsTheRest)
{
    const struct
    {
        const char16_t *a, *b;
        bool less;
    } cases[] = {
        { u"1.0.1", u"1.0.1", false },
        { u"1.0.1", u"1.0.1.1", true },
        { u"1.0.1", u"1.0.1-beta", false },
        { u"1.0", u"1", false },
        { u"1", u"1.0", false },
        { u"1.0.1", u"1.0.2", true },
        { u"1.0.1", u"1.1", true },
        { u"1.10", u"1.9", false },
        { u"1.0.1", u"2..0", true },
        { u"1.0.1", u"1.x.2", true }, // 1.2 once the x is dropped
        { u"-1", u"+0", true },
        { u"1.0.1", u"1. 1", false }, // a piece with a blank is no number
        { u"1.0.1", u"", false },
    };
    for (const auto &[a, b, less] : cases)
        EXPECT_EQ(AppModel::isVersion(a, b), less)
            << QString::fromUtf16(a).toStdString() << " < " << QString::fromUtf16(b).toStdString();
}

TEST_F(Navigation, ActivationPageComesFromTheConfigurationElseTheService)
{
    AppModel &app = build();
    EXPECT_EQ(app.activateURL(), QUrl(service.origin().toString() + "/activate"));
    service.on("GET", "tv/config", ScriptedAnswer::envelope(sampleConfig()));
    runTask(app.syncEventNotifications());
    EXPECT_EQ(app.activateURL(), QUrl("https://orvella.example/activate-here"));
    EXPECT_EQ(app.configUrls().value("give").toString(), "https://orvella.example/give");
    EXPECT_EQ(app.liveLanguages().size(), 2);
    EXPECT_EQ(app.forceUpdateMessage(), "Please update");
}

TEST_F(Navigation, QmlReadsAndDrivesTheProcessModel)
{
    AppModel &app = signedInOnLive();
    AppModel::setInstance(&app);
    QQmlEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/"));
    QQmlComponent component(&engine);
    component.setData(R"(
        import QtQml
        import Orvella
        QtObject {
            property int route: AppModel.route
            property bool back: AppModel.canGoBack
            property string captions: AppModel.settings.captionsEnabled ? "on" : "off"
            property string failure
            function goHome() { try { AppModel.navigate(MacRoute.Home) } catch (e) { failure = "" + e } }
            function openMenu() { AppModel.menuPresented = true }
        })",
        QUrl());
    std::unique_ptr<QObject> object(component.create());
    ASSERT_TRUE(object) << component.errorString().toStdString();
    EXPECT_EQ(object->property("route").toInt(), int(MacRoute::Live));
    ASSERT_TRUE(QMetaObject::invokeMethod(object.get(), "goHome"));
    EXPECT_EQ(object->property("failure").toString(), "");
    EXPECT_EQ(app.route(), MacRoute::Home);
    EXPECT_EQ(object->property("route").toInt(), int(MacRoute::Home));
    EXPECT_TRUE(object->property("back").toBool());
    EXPECT_EQ(object->property("captions").toString(), "on");
    QMetaObject::invokeMethod(object.get(), "openMenu");
    EXPECT_TRUE(app.menuPresented());
    object.reset();
    AppModel::setInstance(nullptr);
    EXPECT_EQ(QQmlEngine::objectOwnership(&app), QQmlEngine::CppOwnership);
}

} // namespace
} // namespace orvella::test
