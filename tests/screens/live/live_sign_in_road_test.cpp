// The road a new viewer takes: a fresh profile, the QR sign-in approved by the phone, then the
// live channel with the real player in the real window. Needs a display (label "gl").
#include "app/AppModel.h"
#include "app/AppServices.h"
#include "app/Application.h"
#include "platform/MpvMediaPlayer.h"
#include "player/PlayerController.h"
#include "screens/live/LiveScreenModel.h"
#include "support/SampleContent.h"
#include "support/ServiceDouble.h"
#include "support/TestAsync.h"

#include <QDir>
#include <QGuiApplication>
#include <QJsonObject>
#include <QQmlApplicationEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSettings>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

// Starts raced the live screen's own load against the preload, and about one in four never
// left "Loading…": enough rounds to catch that.
constexpr int rounds = 10;

TEST(LiveSignInRoad, EveryFirstStartAfterASignInShowsThePlayingPicture)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb"))
        GTEST_SKIP() << "needs a display: tools/test runs it under xvfb-run";
    ServiceDouble service;
    ASSERT_TRUE(service.start());
    installSampleContent(service);
    // The phone approves on the second poll; polls a second apart keep the rounds short.
    service.on("POST", "tv/device/code",
        ScriptedAnswer::envelope(QJsonObject { { "device_code", "dc-1" }, { "user_code", "ORV-1" },
            { "expires_in", 600 }, { "interval", 1 },
            { "verification_url", service.origin().toString() + QStringLiteral("/activate") } }));
    qputenv("ORVELLA_API_BASE", service.origin().toString().toUtf8());

    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE(round);
        QSettings().clear();
        QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation)).removeRecursively();
        std::unique_ptr<AppModel> app = AppBuilder().build();
        AppModel::setInstance(app.get());
        auto engine = std::make_unique<QQmlApplicationEngine>();
        prepareEngine(*engine);
        engine->load(mainWindowUrl());
        ASSERT_FALSE(engine->rootObjects().isEmpty());
        auto *window = qobject_cast<QQuickWindow *>(engine->rootObjects().first());
        ASSERT_TRUE(window);
        PlayerController *player = app->livePlayer();
        static_cast<MpvMediaPlayer *>(player->player())->setMuted(true);

        ASSERT_TRUE(waitUntil([&] { return app->route() == MacRoute::Live; }, 20s))
            << "signed in by the phone";
        LiveScreenModel *live = nullptr;
        QQuickItem *loadingCard = nullptr;
        const bool shown = waitUntil(
            [&] {
                live = window->findChild<LiveScreenModel *>(QStringLiteral("liveScreenModel"));
                loadingCard = window->findChild<QQuickItem *>(QStringLiteral("liveLoadingCard"));
                return live && loadingCard && !live->showWelcome() && player->isReady()
                    && player->player()->rate() > 0 && !loadingCard->isVisible();
            },
            20s);
        EXPECT_TRUE(shown) << "ready " << player->isReady() << ", rate " << player->player()->rate()
                           << ", status " << player->statusText().toStdString();

        engine.reset();
        AppModel::setInstance(nullptr);
        app.reset();
        spinFor(50ms);
        if (!shown)
            break;
    }
    QSettings().clear();
}

} // namespace
} // namespace orvella::test
