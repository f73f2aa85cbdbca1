// Pictures of the live screen (see AppWindowShots).
#include "screens/live/LiveScreenModel.h"
#include "support/AppWindowShots.h"

#include <QJsonObject>

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

class LiveScreenshots : public AppWindowShots
{
protected:
    void SetUp() override
    {
        AppWindowShots::SetUp();
        if (!IsSkipped())
            signedIn();
    }
};

TEST_F(LiveScreenshots, PlayingWithChromeMenusAndPanel)
{
    open();
    ASSERT_TRUE(window);
    LiveScreenModel *live = find<LiveScreenModel>(
        QStringLiteral("liveScreenModel"),
        [&](const LiveScreenModel &screen) { return screen.showWelcome(); }, 10s);
    ASSERT_TRUE(live);
    shoot(QStringLiteral("live-welcome"));
    ASSERT_TRUE(waitUntil([&] { return app->livePlayer()->isReady(); }, 15s));
    spinFor(2s);
    live->revealControls();
    shoot(QStringLiteral("live-playing"));
    live->toggleQuality();
    shoot(QStringLiteral("live-quality-menu"));
    live->dismissQuality();
    window->resize(1024, 640); // the smallest window
    live->revealControls();
    shoot(QStringLiteral("live-smallest-window"));
    window->resize(1280, 800);
    live->openSchedule();
    spinFor(1s);
    shoot(QStringLiteral("live-schedule"));
}

TEST_F(LiveScreenshots, Offline)
{
    service.on("GET", "live/stream",
        ScriptedAnswer::envelope(QJsonObject {
            { "title", "Orvella TV Live" }, { "is_live", false }, { "status", "offline" } }));
    open();
    ASSERT_TRUE(window);
    LiveScreenModel *live = find<LiveScreenModel>(
        QStringLiteral("liveScreenModel"),
        [&](const LiveScreenModel &screen) { return screen.hasError() && !screen.showWelcome(); },
        15s);
    ASSERT_TRUE(live);
    live->revealControls();
    shoot(QStringLiteral("live-offline"));
}

TEST_F(LiveScreenshots, OutageThenRecovery)
{
    // Opened while the media is out: the loads fail until the media is back, then it heals.
    service.addMediaOutage(0s, 20s);
    open();
    ASSERT_TRUE(window);
    LiveScreenModel *live = find<LiveScreenModel>(
        QStringLiteral("liveScreenModel"),
        [&](const LiveScreenModel &screen) {
            return !screen.showWelcome() && app->livePlayer()->failedGeneration() >= 2;
        },
        15s);
    ASSERT_TRUE(live);
    live->revealControls();
    shoot(QStringLiteral("live-outage"));
    ASSERT_TRUE(waitUntil([&] { return app->livePlayer()->isReady(); }, 60s));
    spinFor(2s);
    live->revealControls();
    shoot(QStringLiteral("live-recovered"));
}

TEST_F(LiveScreenshots, LongTitle)
{
    QString title;
    while (title.size() < 400)
        title += QStringLiteral("Healing Streams Live Healing Services with the Man of God ");
    service.on("GET", "live/stream",
        ScriptedAnswer::envelope(QJsonObject { { "title", title }, { "is_live", true },
            { "minister", title.left(120) }, { "viewers_label", title.left(90) },
            { "hls_url", service.mediaUrl(QStringLiteral("live/master.m3u8")).toString() } }));
    open();
    ASSERT_TRUE(window);
    ASSERT_TRUE(waitUntil([&] { return app && app->livePlayer()->isReady(); }, 20s));
    auto *live = window->findChild<LiveScreenModel *>(QStringLiteral("liveScreenModel"));
    ASSERT_TRUE(live);
    ASSERT_TRUE(waitUntil([&] { return !live->showWelcome(); }, 5s));
    live->revealControls();
    shoot(QStringLiteral("live-long-title"));
}

} // namespace
} // namespace orvella::test
