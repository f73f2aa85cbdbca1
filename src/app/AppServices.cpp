#include "app/AppServices.h"

#include "api/OrvellaAPIClient.h"
#include "app/AppModel.h"
#include "core/SettingsModel.h"
#include "platform/Clock.h"
#include "player/PlaybackQuality.h"
#include "player/PlaybackSleepGuard.h"
#include "player/PlayerController.h"
#include "studio/StudioCaptureController.h"

#include <QCoreApplication>

namespace orvella {

QString storedQualityId(QStringView stored)
{
    return PlaybackQuality::option(stored).id;
}

delivery::UploadArguments studioUploadArguments(const AppModel &app)
{
    delivery::UploadArguments arguments;
    if (const SettingsModel *settings = app.settings()) {
        arguments.name = settings->displayName();
        arguments.email = settings->email();
    }
    std::optional<QString> base;
    if (app.config() && app.config()->urls)
        base = app.config()->urls->testimony;
    arguments.portal = AppModel::engagementURL(base).value_or(QUrl());
    return arguments;
}

AppBuilder::AppBuilder() = default;
AppBuilder::~AppBuilder() = default;
AppBuilder::AppBuilder(AppBuilder &&) noexcept = default;
AppBuilder &AppBuilder::operator=(AppBuilder &&) noexcept = default;

AppBuilder &AppBuilder::client(OrvellaAPIClient &client)
{
    m_services.client = &client;
    return *this;
}

AppBuilder &AppBuilder::sleepGuard(PlaybackSleepGuard &guard)
{
    m_services.sleepGuard = &guard;
    return *this;
}

AppBuilder &AppBuilder::clock(Clock &clock)
{
    m_services.clock = &clock;
    return *this;
}

AppBuilder &AppBuilder::livePlayer(std::unique_ptr<PlayerController> player)
{
    m_services.livePlayer = std::move(player);
    return *this;
}

AppBuilder &AppBuilder::notifier(std::unique_ptr<Notifier> notifier)
{
    m_services.notifier = std::move(notifier);
    return *this;
}

AppBuilder &AppBuilder::applicationActive(std::function<bool()> active)
{
    m_services.applicationActive = std::move(active);
    return *this;
}

AppBuilder &AppBuilder::studio(StudioFactory factory)
{
    m_services.studio = std::move(factory);
    return *this;
}

AppBuilder &AppBuilder::endEventLoop(std::function<void()> end)
{
    m_services.endEventLoop = std::move(end);
    return *this;
}

AppBuilder &AppBuilder::withoutBootstrap()
{
    m_startBootstrap = false;
    return *this;
}

std::unique_ptr<AppModel> AppBuilder::build(QObject *parent)
{
    AppServices services = std::move(m_services);
    m_services = {};
    if (!services.client)
        services.client = &OrvellaAPIClient::shared();
    if (!services.sleepGuard)
        services.sleepGuard = &PlaybackSleepGuard::shared();
    if (!services.clock)
        services.clock = &Clock::system();
    if (!services.livePlayer)
        services.livePlayer = std::make_unique<PlayerController>();
    if (!services.notifier)
        services.notifier = makeDesktopNotifier();
    if (!services.settings)
        services.settings = std::make_unique<SettingsModel>(
            SettingsStore::load(storedQualityId), PlaybackQuality::menuRows());
    if (!services.studio)
        services.studio = [](AppModel &app) {
            return std::make_unique<StudioCaptureController>(
                StudioPlatform::system(), [&app] { return studioUploadArguments(app); });
        };
    if (!services.endEventLoop)
        services.endEventLoop = [] { QCoreApplication::quit(); };
    auto model = std::make_unique<AppModel>(std::move(services), parent);
    if (m_startBootstrap)
        model->bootstrap();
    return model;
}

} // namespace orvella
