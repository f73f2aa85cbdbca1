// The virtual centre and countdown views: they build without QML warnings, a participant field
// shows only what the model keeps, and new events leave the cards already shown in place.
#include "app/Application.h"
#include "core/AppModelHarness.h"
#include "screens/home/CountdownScreenModel.h"
#include "screens/home/VirtualCenterScreenModel.h"

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
    if (type != QtDebugMsg && (message.contains(u"screens/home") || message.contains(u"/ui/")))
        qmlWarnings.append(message);
}

class HomeEventsView : public AppModelHarness
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
            QUrl(QStringLiteral("qrc:/Orvella/screens/home/") + QString::fromLatin1(file)));
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
    QQuickItem *child(const QString &name) const { return find(screen.get(), name); }

    void type(const QString &text)
    {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(window.get(), &press);
        }
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
        AppModelHarness::TearDown();
    }

    std::unique_ptr<QQuickWindow> window;
    std::unique_ptr<QQmlEngine> engine;
    std::unique_ptr<QQuickItem> screen;
    QtMessageHandler previous = nullptr;
};

TEST_F(HomeEventsView, ParticipantFieldShowsOnlyNumbers)
{
    AppModel &app = build();
    ASSERT_TRUE(show(app, "VirtualCenterScreen.qml"));
    auto *model = screen->findChild<VirtualCenterScreenModel *>();
    ASSERT_TRUE(model);
    model->join(3);
    spinFor(20ms);
    QQuickItem *field = child(u"joinParticipants"_qs);
    ASSERT_TRUE(field && field->isVisible());
    field->forceActiveFocus();
    field->setProperty("cursorPosition", 1);
    type(u"2a"_qs);
    EXPECT_EQ(field->property("text").toString(), u"12"_qs);
    type(u"3"_qs);
    EXPECT_EQ(model->participantCount(), u"123"_qs);
    EXPECT_EQ(field->property("text").toString(), u"123"_qs);
    model->cancel();
    model->host();
    spinFor(20ms);
    EXPECT_EQ(child(u"hostParticipants"_qs)->property("text").toString(), u"10"_qs);
    EXPECT_FALSE(child(u"hostWatchLive"_qs)->isEnabled());
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
    ASSERT_TRUE(show(app, "CountdownScreen.qml"));
    QQuickItem *card = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (card = child(u"countdownCard-a"_qs)); }));
    EXPECT_FALSE(child(u"countdownEmpty"_qs)->isVisible());
    const QPointer<QQuickItem> kept(card);
    runTask(app.refreshEventScheduleData());
    ASSERT_TRUE(waitUntil([&] { return child(u"countdownCard-b"_qs) != nullptr; }));
    EXPECT_EQ(child(u"countdownCard-a"_qs), kept.data());
}

} // namespace
} // namespace orvella::test
