#include "app/StartupScreenModel.h"

#include "api/ConfigModels.h"
#include "app/AppModel.h"

namespace orvella {

StartupScreenModel::StartupScreenModel(QObject *parent)
    : QObject(parent)
{ }

void StartupScreenModel::setApp(AppModel *app)
{
    if (!m_app.repoint(app))
        return;
    m_app.forward(&AppModel::configChanged, this, &StartupScreenModel::updateMessageChanged);
    emit appChanged();
    emit updateMessageChanged();
}

QString StartupScreenModel::tagline()
{
    return QStringLiteral("ORVELLA TV · LIVE 24/7");
}

QString StartupScreenModel::welcomeTitle()
{
    return QStringLiteral("Welcome to Orvella TV");
}

QString StartupScreenModel::welcomeMessage()
{
    return QStringLiteral("Join Pastor Daniel Okafor and the Orvella TV family for live services "
                          "of worship, teaching and prayer, day and night.");
}

QString StartupScreenModel::updateTitle()
{
    return QStringLiteral("Update Required");
}

QString StartupScreenModel::maintenanceTitle()
{
    return QStringLiteral("Temporarily Unavailable");
}

QString StartupScreenModel::retryLabel()
{
    return QStringLiteral("Retry");
}

QString StartupScreenModel::updateMessageFor(const std::optional<TvConfig> &config)
{
    if (config && config->force_update_message)
        return *config->force_update_message;
    return QStringLiteral("Please update Orvella to keep watching.");
}

QString StartupScreenModel::updateMessage() const
{
    return updateMessageFor(m_app ? m_app->config() : std::optional<TvConfig>());
}

void StartupScreenModel::retry()
{
    if (m_app)
        m_app->retryBootstrap();
}

} // namespace orvella
