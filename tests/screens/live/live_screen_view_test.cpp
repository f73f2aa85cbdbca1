#include "LiveScreenHarness.h"
#include "app/Application.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>

namespace orvella::test {
namespace {

QStringList qmlWarnings;

void collectWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && message.contains(QLatin1String("screens/live")))
        qmlWarnings.append(message);
}

class LiveScreenView : public LiveScreenHarness
{
};

QQuickItem *child(QQuickItem *root, const char *name)
{
    return root->findChild<QQuickItem *>(QString::fromLatin1(name));
}

TEST_F(LiveScreenView, BuildsAndFollowsTheScreenState)
{
    AppModel &app = signedInOnLive();
    AppModel::setInstance(&app);
    qmlWarnings.clear();
    const auto previous = qInstallMessageHandler(collectWarnings);

    QQuickWindow window;
    window.resize(1280, 800);
    QQmlEngine engine;
    prepareEngine(engine);
    QQmlComponent component(
        &engine, QUrl(QStringLiteral("qrc:/Orvella/screens/live/LiveScreen.qml")));
    ASSERT_TRUE(component.isReady()) << component.errorString().toStdString();
    std::unique_ptr<QQuickItem> screen(qobject_cast<QQuickItem *>(component.create()));
    ASSERT_TRUE(screen);
    screen->setParentItem(window.contentItem());
    screen->setSize({ 1280, 800 });
    window.show();

    auto *model = screen->findChild<LiveScreenModel *>(QStringLiteral("liveScreenModel"));
    ASSERT_TRUE(model);
    EXPECT_TRUE(model->showWelcome()) << "appeared on construction";
    ASSERT_TRUE(waitUntil([&] { return player->hasCurrentItem(); }));

    EXPECT_FALSE(child(screen.get(), "liveLoadingCard")->isVisible()) << "hidden under the welcome";
    EXPECT_TRUE(waitUntil([&] { return !model->showWelcome(); }, std::chrono::seconds(4)));
    EXPECT_TRUE(child(screen.get(), "liveLoadingCard")->isVisible());
    EXPECT_EQ(child(screen.get(), "livePosterPlane")->opacity(), 1.0);

    player->setItemStatus(MediaPlayer::ItemStatus::ReadyToPlay);
    EXPECT_FALSE(child(screen.get(), "liveLoadingCard")->isVisible());
    EXPECT_EQ(child(screen.get(), "livePosterPlane")->opacity(), 0.0);
    EXPECT_EQ(child(screen.get(), "liveVideo")->opacity(), 1.0);

    EXPECT_FALSE(child(screen.get(), "liveQualityMenu")->isVisible());
    model->toggleQuality();
    EXPECT_TRUE(child(screen.get(), "liveQualityMenu")->isVisible());
    model->openSchedule();
    EXPECT_FALSE(child(screen.get(), "liveQualityMenu")->isVisible());
    EXPECT_FALSE(child(screen.get(), "liveChromeColumn")->isVisible());
    spinFor(std::chrono::milliseconds(50));
    EXPECT_TRUE(screen->findChild<QObject *>(QStringLiteral("liveScheduleModel")));

    qInstallMessageHandler(previous);
    EXPECT_TRUE(qmlWarnings.isEmpty()) << qmlWarnings.join(u'\n').toStdString();
    screen.reset();
    spinFor(std::chrono::milliseconds(50));
    AppModel::setInstance(nullptr);
}

} // namespace
} // namespace orvella::test
