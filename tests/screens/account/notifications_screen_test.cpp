// The notifications screen's model: filters, the event note and card, and the buttons.
#include "AccountHarness.h"
#include "screens/account/NotificationsScreenModel.h"

namespace orvella::test {
namespace {

class NotificationsScreen : public AccountHarness
{
protected:
    // A signed-in model with the configuration's event as given (none: no configuration).
    NotificationsScreenModel &open(const QJsonValue &event)
    {
        if (event.isUndefined())
            service.on("GET", "tv/config", ScriptedAnswer::error(500, QStringLiteral("Down")));
        else
            service.on(
                "GET", "tv/config", ScriptedAnswer::envelope(QJsonObject { { "event", event } }));
        AppModel &app = signedIn();
        app.navigate(MacRoute::Notifications);
        app.eventTimerFired(); // fetches the configuration
        if (!event.isUndefined()) {
            EXPECT_TRUE(waitUntil([&] { return app.config().has_value(); }));
        }
        screen = std::make_unique<NotificationsScreenModel>();
        screen->setApp(&app);
        return *screen;
    }

    [[nodiscard]] QStringList shown() const
    {
        QStringList lines;
        for (const QVariant &row : screen->noteRows()) {
            const QVariantMap note = row.toMap();
            lines.append(note["title"].toString() + u'|' + note["body"].toString() + u'|'
                + note["action"].toString());
        }
        return lines;
    }

    void TearDown() override
    {
        screen.reset();
        AccountHarness::TearDown();
    }

    std::unique_ptr<NotificationsScreenModel> screen;
};

TEST_F(NotificationsScreen, TheFilterKeepsItsNotesInOrderWithTheirButtons)
{
    open(QJsonValue::Undefined);
    const QString welcome = "Welcome to Orvella|Browse live and programs after signing in.|";
    const QString live = "Live reminder|Orvella Live is on air.|Watch Live";
    const QString event = "Event alert|Upcoming Orvella program|View Event";
    const struct
    {
        const char *filter;
        QStringList notes;
    } cases[] = { { "All", { welcome, live, event } }, { "Events", { event } },
        { "Reminders", { live } }, { "events", { welcome, live, event } } };
    EXPECT_EQ(screen->filter(), QStringLiteral("All"));
    for (const auto &c : cases) {
        screen->setFilter(QString::fromLatin1(c.filter));
        EXPECT_EQ(shown(), c.notes) << c.filter;
    }
    EXPECT_NE(screen->notes().first().id, screen->notes().first().id); // new identities each time
}

TEST_F(NotificationsScreen, TheEventNoteAndCalendarCardFollowTheConfiguredEvent)
{
    const struct
    {
        const char *name;
        QJsonValue event;
        QString note;
        std::optional<QString> card;
    } cases[] = {
        { "no configuration", QJsonValue::Undefined, "Upcoming Orvella program", std::nullopt },
        { "active", QJsonObject { { "title", "Easter Service" }, { "active", true } },
            "Easter Service", "Easter Service" },
        { "inactive", QJsonObject { { "title", "Easter Service" }, { "active", false } },
            "Easter Service", std::nullopt },
        { "no flag", QJsonObject { { "title", "Easter Service" } }, "Easter Service",
            std::nullopt },
        { "active without title", QJsonObject { { "active", true } }, "Upcoming Orvella program",
            "Event" },
        { "empty title", QJsonObject { { "title", "" } }, "", std::nullopt },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        open(c.event);
        screen->setFilter(QStringLiteral("Events"));
        EXPECT_EQ(screen->notes().first().body, c.note);
        EXPECT_EQ(screen->showsCalendar(), c.card.has_value());
        EXPECT_EQ(screen->calendarTitle(), c.card.value_or(QString()));
    }
}

TEST_F(NotificationsScreen, ButtonsOpenLiveAndTheCountdownWithTheBackStack)
{
    open(QJsonValue::Undefined);
    screen->act(QStringLiteral("event"));
    EXPECT_EQ(model->route(), MacRoute::Countdown);
    EXPECT_EQ(model->navigationStack().last(), MacRoute::Notifications);
    model->goBack();
    screen->act(QStringLiteral("info"));
    EXPECT_EQ(model->route(), MacRoute::Notifications);
    screen->act(QStringLiteral("live"));
    EXPECT_EQ(model->route(), MacRoute::Live);
}

} // namespace
} // namespace orvella::test
