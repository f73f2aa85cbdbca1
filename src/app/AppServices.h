#pragma once

#include "platform/Notifier.h"
#include "studio/RecordingDeliveryState.h"

#include <QObject>
#include <functional>
#include <memory>

namespace orvella {

class AppModel;
class Clock;
class OrvellaAPIClient;
class PlaybackSleepGuard;
class PlayerController;
class SettingsModel;
class StudioCaptureController;

// The stream-quality id a stored quality name stands for (the settings' reading of it).
[[nodiscard]] QString storedQualityId(QStringView stored);

// Makes the studio's capture controller; called once, on the first visit to the studio.
using StudioFactory = std::function<std::unique_ptr<StudioCaptureController>(AppModel &app)>;

// The viewer's name and e-mail of the settings, as they stand, and the testimony portal page the
// configuration links to (with the client's source query), or none.
[[nodiscard]] delivery::UploadArguments studioUploadArguments(const AppModel &app);

// The services the application model is built from, each made once.
struct AppServices
{
    OrvellaAPIClient *client = nullptr; // not owned
    PlaybackSleepGuard *sleepGuard = nullptr; // not owned
    Clock *clock = nullptr; // not owned
    std::unique_ptr<PlayerController> livePlayer;
    std::unique_ptr<Notifier> notifier;
    std::unique_ptr<SettingsModel> settings;
    // Whether the client is in front; by default its window decides (AppModel::foreground()).
    std::function<bool()> applicationActive;
    StudioFactory studio;
    // Ends the event loop once quitting has done its work.
    std::function<void()> endEventLoop;
};

// Builds the application model. The executable takes every default (the shared API client and
// sleep guard, the system clock, libmpv, the desktop's notifications, the stored settings, the
// system's camera and microphone); tests replace what they need.
class AppBuilder
{
public:
    AppBuilder();
    ~AppBuilder();
    AppBuilder(AppBuilder &&) noexcept;
    AppBuilder &operator=(AppBuilder &&) noexcept;

    AppBuilder &client(OrvellaAPIClient &client);
    AppBuilder &sleepGuard(PlaybackSleepGuard &guard);
    AppBuilder &clock(Clock &clock);
    AppBuilder &livePlayer(std::unique_ptr<PlayerController> player);
    AppBuilder &notifier(std::unique_ptr<Notifier> notifier);
    AppBuilder &applicationActive(std::function<bool()> active);
    AppBuilder &studio(StudioFactory factory);
    // What ends the process's event loop at the end of quit() (tests record it instead).
    AppBuilder &endEventLoop(std::function<void()> end);
    // Keeps the model from starting its bootstrap on its own.
    AppBuilder &withoutBootstrap();

    [[nodiscard]] std::unique_ptr<AppModel> build(QObject *parent = nullptr);

private:
    AppServices m_services;
    bool m_startBootstrap = true;
};

} // namespace orvella
