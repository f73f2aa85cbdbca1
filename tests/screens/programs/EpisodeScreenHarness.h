#pragma once

// The episode player screen built from its QML in a window, over the programmes harness. The
// screen's model is reached before it appears, so a test can give it fake media and the manual
// clock, or leave it the real player.

#include "ProgramsHarness.h"
#include "app/Application.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>

namespace orvella::test {

class EpisodeScreenHarness : public ProgramsHarness
{
protected:
    struct Built
    {
        std::unique_ptr<QQuickItem> item;
        EpisodePlayerModel *model = nullptr;
    };

    // Builds the screen for `id`; `prepare` runs on its model before it appears.
    Built buildScreen(AppModel &app, const QString &id,
        const std::function<void(EpisodePlayerModel &)> &prepare = {})
    {
        if (!engine) {
            AppModel::setInstance(&app);
            engine = std::make_unique<QQmlEngine>();
            prepareEngine(*engine);
            window = std::make_unique<QQuickWindow>();
            window->resize(1280, 800);
            window->show();
        }
        QQmlComponent component(engine.get(),
            QUrl(QStringLiteral("qrc:/Orvella/screens/programs/EpisodePlayerScreen.qml")));
        EXPECT_TRUE(component.isReady()) << component.errorString().toStdString();
        Built built;
        QObject *object = component.beginCreate(engine->rootContext());
        built.item.reset(qobject_cast<QQuickItem *>(object));
        if (!built.item)
            return built;
        built.item->setProperty("episodeId", id);
        built.model = built.item->findChild<EpisodePlayerModel *>();
        if (built.model && prepare)
            prepare(*built.model);
        component.completeCreate();
        built.item->setParentItem(window->contentItem());
        built.item->setSize(window->size());
        return built;
    }

    // Fake media and the manual clock, as the model tests use.
    void useFakes(EpisodePlayerModel &model)
    {
        model.setClock(&clock);
        model.setMediaPlayerFactory([this] {
            auto fake = std::make_unique<FakeMediaPlayer>();
            media = fake.get();
            return fake;
        });
    }

    // The window's content over `app`: it builds each episode's screen as the application does.
    QObject *buildRootView(AppModel &app)
    {
        AppModel::setInstance(&app);
        rootEngine = std::make_unique<QQmlEngine>();
        prepareEngine(*rootEngine);
        QQmlComponent component(
            rootEngine.get(), QUrl(QStringLiteral("qrc:/Orvella/app/RootView.qml")));
        rootView.reset(component.create());
        EXPECT_TRUE(rootView) << component.errorString().toStdString();
        return rootView.get();
    }

    // The episode screen the root view shows; none unless there is exactly one.
    [[nodiscard]] EpisodePlayerModel *shownEpisode() const
    {
        const auto models = rootView->findChildren<EpisodePlayerModel *>();
        return models.size() == 1 ? models.first() : nullptr;
    }

    [[nodiscard]] static bool shows(const Built &screen, const char *name)
    {
        auto *item = screen.item->findChild<QQuickItem *>(QString::fromLatin1(name));
        return item && item->isVisible() && item->opacity() > 0;
    }

    void TearDown() override
    {
        rootView.reset();
        rootEngine.reset();
        window.reset();
        engine.reset();
        AppModel::setInstance(nullptr);
        ProgramsHarness::TearDown();
    }

    std::unique_ptr<QQmlEngine> engine;
    std::unique_ptr<QQuickWindow> window;
    std::unique_ptr<QQmlEngine> rootEngine;
    std::unique_ptr<QObject> rootView;
};

} // namespace orvella::test
