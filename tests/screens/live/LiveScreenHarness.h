#pragma once

// The live screen's model over a signed-in app model whose live player is a fake, with a
// manual clock.

#include "core/AppModelHarness.h"
#include "platform/Clock.h"
#include "screens/live/LiveScreenModel.h"

namespace orvella::test {

// Answers every stream load at once with a live stream at `url`.
struct FixedStreamHost : LivePlaybackHost
{
    QUrl url { QStringLiteral("http://127.0.0.1:9/live/en.m3u8") };
    QCoro::Task<std::optional<LiveStreamData>> fetchLiveStream(QString, bool) override
    {
        LiveStreamData stream;
        stream.is_live = true;
        stream.hls_url = url.toString();
        co_return stream;
    }
    [[nodiscard]] bool liveOnScreen() const override { return true; }
    [[nodiscard]] LivePlaybackPreferences preferences() const override
    {
        return { QStringLiteral("en"), QStringLiteral("Auto"), false, QStringLiteral("en") };
    }
    void supervisionChanged(Change) override { }
};

class LiveScreenHarness : public AppModelHarness
{
protected:
    // A signed-in model on live, with the stream answer given (or the sample one).
    AppModel &signedInOnLive(const QJsonObject &stream = sampleStream())
    {
        service.on("GET", "live/stream", ScriptedAnswer::envelope(stream));
        service.on("GET", "live/schedule", ScriptedAnswer::error(500, QStringLiteral("Down")));
        AppModel &app = signedIn();
        app.navigate(MacRoute::Live);
        return app;
    }

    LiveScreenModel &makeScreen(AppModel &app)
    {
        screens.push_back(std::make_unique<LiveScreenModel>());
        LiveScreenModel &screen = *screens.back();
        screen.setClock(&clock);
        screen.setSleepGuard(guard.get());
        screen.setApp(&app);
        return screen;
    }

    [[nodiscard]] qsizetype streamRequests() const
    {
        return service.requests("GET", "live/stream").size();
    }

    // Moves the clock on and lets what it woke (and their network answers) run.
    void advance(std::chrono::milliseconds span)
    {
        clock.advance(span);
        spinFor(std::chrono::milliseconds(30));
    }

    void TearDown() override
    {
        screens.clear();
        // Stopped sleeps wake on the next turn; let their tasks end.
        spinFor(std::chrono::milliseconds(20));
        AppModelHarness::TearDown();
    }

    std::vector<std::unique_ptr<LiveScreenModel>> screens;
};

} // namespace orvella::test
