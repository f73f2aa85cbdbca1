// The virtual centre and countdown views: they build without QML warnings, a participant field
// shows only what the model keeps, and new events leave the cards already shown in place.
#include "core/AppModelHarness.h"
#include "screens/home/CountdownScreenModel.h"
#include "screens/home/VirtualCenterScreenModel.h"
#include "support/ScreenView.h"

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

class HomeEventsView : public AppModelHarness
{
protected:
    void TearDown() override
    {
        view.close();
        AppModelHarness::TearDown();
    }

    ScreenView view { u"screens/home"_qs };
};

TEST_F(HomeEventsView, ParticipantFieldShowsOnlyNumbersAndTheFormsOnlyLeadToLive)
{
    storeSession();
    AppModel &app = build();
    app.restoreSession();
    app.navigate(MacRoute::VirtualCenter);
    ASSERT_TRUE(view.show(app, u"VirtualCenterScreen.qml"_qs));
    auto *model = view.screen()->findChild<VirtualCenterScreenModel *>();
    ASSERT_TRUE(model);
    model->join(3);
    spinFor(20ms);
    QQuickItem *field = view.child(u"joinParticipants"_qs);
    ASSERT_TRUE(field && field->isVisible());
    field->forceActiveFocus();
    field->setProperty("cursorPosition", 1);
    view.type(u"2a"_qs);
    EXPECT_EQ(field->property("text").toString(), u"12"_qs);
    view.type(u"3"_qs);
    EXPECT_EQ(model->participantCount(), u"123"_qs);
    EXPECT_EQ(field->property("text").toString(), u"123"_qs);
    model->cancel();
    model->host();
    spinFor(20ms);
    EXPECT_EQ(view.child(u"hostParticipants"_qs)->property("text").toString(), u"10"_qs);
    QQuickItem *submit = view.child(u"hostWatchLive"_qs);
    EXPECT_FALSE(submit->isEnabled());
    model->setCenterName(u"Home group"_qs);
    model->setCenterAddress(u" "_qs);
    ASSERT_TRUE(submit->isEnabled());
    const qsizetype requests = service.requests().size();
    QMetaObject::invokeMethod(submit, "clicked");
    EXPECT_EQ(app.route(), MacRoute::Live);
    spinFor(50ms);
    EXPECT_EQ(service.requests().size(), requests);
}

TEST_F(HomeEventsView, NewEventsKeepTheCardsShown)
{
    const qint64 soon = QDateTime::currentSecsSinceEpoch() + 3600;
    const auto config = [&](QJsonArray events) {
        return ScriptedAnswer::envelope(QJsonObject { { "events", events } });
    };
    const QJsonObject first { { "id", "a" }, { "title", "First" }, { "starts_at", soon } };
    service.on("GET", "tv/config",
        { config({ first }),
            config(
                { QJsonObject { { "id", "b" }, { "title", "Earlier" }, { "starts_at", soon - 60 } },
                    first }) });
    service.on("GET", "tv/home", ScriptedAnswer::envelope(sampleHome()));
    AppModel &app = build();
    ASSERT_TRUE(view.show(app, u"CountdownScreen.qml"_qs));
    QQuickItem *card = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (card = view.child(u"countdownCard-a"_qs)); }));
    EXPECT_FALSE(view.child(u"countdownEmpty"_qs)->isVisible());
    const QPointer<QQuickItem> kept(card);
    runTask(app.refreshEventScheduleData());
    ASSERT_TRUE(waitUntil([&] { return view.child(u"countdownCard-b"_qs) != nullptr; }));
    EXPECT_EQ(view.child(u"countdownCard-a"_qs), kept.data());
}

} // namespace
} // namespace orvella::test
