// The languages screen's model: where the options come from, the filter, and where a choice
// goes (the stream choice all the way to the live stream request).
#include "HomeTextHarness.h"
#include "screens/home/LanguagesScreenModel.h"
#include "screens/home/TestimonyScreenModel.h"
#include "screens/live/LiveScreenHarness.h"

#include <QJsonArray>

namespace orvella::test {
namespace {

QJsonObject configWith(const QJsonValue &languages)
{
    QJsonObject config { { "force_update_message", "Update" } };
    if (!languages.isUndefined())
        config.insert("live_languages", languages);
    return config;
}

QStringList codes(const QList<LanguageOption> &options)
{
    QStringList list;
    for (const LanguageOption &option : options)
        list.append(option.code);
    return list;
}

using LanguagesScreen = HomeTextHarness;

TEST_F(LanguagesScreen, OptionsComeFromTheConfigurationsListEvenAnEmptyOne)
{
    const QStringList builtIn { "en", "fr", "es", "pt", "ar" };
    const struct
    {
        const char *name;
        std::optional<QJsonObject> config;
        QStringList expected;
    } cases[] = {
        { "no configuration", std::nullopt, builtIn },
        { "no list", configWith(QJsonValue::Undefined), builtIn },
        { "empty list", configWith(QJsonArray {}), {} },
        { "own list",
            configWith(QJsonArray { QJsonObject { { "code", "sw" }, { "label", "Kiswahili" } },
                QJsonObject { { "code", "en" }, { "label", "English" } } }),
            { "sw", "en" } },
    };
    for (const auto &c : cases) {
        model.reset();
        LanguagesScreenModel languages;
        languages.setApp(&withConfig(c.config));
        EXPECT_EQ(codes(languages.languages()), c.expected) << c.name;
        EXPECT_EQ(languages.languageRows()->rowCount(), c.expected.size()) << c.name;
    }
}

TEST_F(LanguagesScreen, TheFilterIsTrimmedLoweredAndMatchedInLabelOrCode)
{
    LanguagesScreenModel languages;
    languages.setApp(&withConfig(std::nullopt));
    const struct
    {
        const char *filter;
        QStringList expected;
    } cases[] = {
        { " \t ", { "en", "fr", "es", "pt", "ar" } },
        { "  FR \n", { "fr" } },
        { "a", { "fr", "es", "ar" } },
        { "FRANÇ", { "fr" } },
        { "francais", {} }, // accents are not folded
        { "عرب", { "ar" } },
    };
    int rowsChanged = 0;
    QObject::connect(&languages, &LanguagesScreenModel::languagesChanged, [&] { ++rowsChanged; });
    for (const auto &c : cases) {
        languages.setFilter(QString::fromUtf8(c.filter));
        EXPECT_EQ(codes(languages.languages()), c.expected) << c.filter;
    }
    LanguageRows &rows = *languages.languageRows();
    EXPECT_EQ(rows.data(rows.index(0), LanguageRows::CodeTextRole), QStringLiteral("AR"));
    // Only a change of the rows is announced: a blank filter shows the same rows as none.
    rowsChanged = 0;
    languages.setFilter(QStringLiteral(" "));
    languages.setFilter(QStringLiteral("  "));
    EXPECT_EQ(rowsChanged, 1);
}

TEST_F(LanguagesScreen, ScreensLeftWhileTheConfigurationLoadsHearNothingAfter)
{
    service.on("GET", "tv/config",
        ScriptedAnswer::envelope(configWith(QJsonArray {}))
            .withDelay(std::chrono::milliseconds(200)));
    AppModel &app = signedIn();
    auto testimony = std::make_unique<TestimonyScreenModel>();
    testimony->setApp(&app);
    testimony->restoreDraft();
    auto languages = std::make_unique<LanguagesScreenModel>();
    languages->setApp(&app);
    auto refresh = app.refreshEventScheduleData();
    ASSERT_TRUE(service.waitForRequests("GET", "tv/config", 1));
    languages.reset();
    testimony.reset();
    runTask(std::move(refresh));
    EXPECT_TRUE(app.config().has_value());
    EXPECT_EQ(storedDraft(), (QStringList { "-", "-", "-" }));
}

using LanguagesToLive = LiveScreenHarness;

TEST_F(LanguagesToLive, ACaptionChoiceStaysAndAStreamChoicePlaysOnLive)
{
    AppModel &app = signedInOnLive();
    LiveScreenModel &live = makeScreen(app);
    runTask(live.supervisor()->loadStream(false));
    const auto languages = [&] { return streamLanguages(); };
    ASSERT_EQ(languages(), QStringList { "en" });

    app.navigate(MacRoute::Languages);
    LanguagesScreenModel screen;
    screen.setApp(&app);
    screen.chooseCaptionLanguage(QStringLiteral("fr"));
    EXPECT_EQ(app.route(), MacRoute::Languages);
    EXPECT_EQ(screen.captionLanguage(), QStringLiteral("fr"));
    EXPECT_EQ(QSettings().value("playback.captionLang").toString(), QStringLiteral("fr"));

    screen.chooseStreamLanguage(QStringLiteral("es"));
    EXPECT_EQ(app.route(), MacRoute::Live);
    EXPECT_EQ(QSettings().value("playback.streamLang").toString(), QStringLiteral("es"));
    ASSERT_TRUE(waitUntil([&] { return languages().size() == 2; }));
    EXPECT_EQ(languages().last(), QStringLiteral("es"));

    // The chosen language again still stores it and shows live.
    app.navigate(MacRoute::Languages);
    screen.chooseStreamLanguage(QStringLiteral("es"));
    EXPECT_EQ(app.route(), MacRoute::Live);
}

} // namespace
} // namespace orvella::test
