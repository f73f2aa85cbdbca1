#include "screens/home/MenuOverlayModel.h"

#include "app/AppModel.h"

#include <QTimer>
#include <QVariantMap>

namespace orvella {

namespace {
constexpr qsizetype maxTitle = 200;
} // namespace

MenuOverlayModel::MenuOverlayModel(QObject *parent)
    : QObject(parent)
{ }

void MenuOverlayModel::setApp(AppModel *app)
{
    if (m_app == app)
        return;
    if (m_app)
        disconnect(m_app, nullptr, this, nullptr);
    m_app = app;
    if (m_app)
        connect(m_app, &AppModel::configChanged, this, &MenuOverlayModel::eventChanged);
    emit appChanged();
    emit eventChanged();
}

QList<MacRoute::Value> MenuOverlayModel::menuRoutes()
{
    QList<MacRoute::Value> routes = MacRoute::sidebarRoutes();
    routes.removeIf([](MacRoute::Value route) {
        return route == MacRoute::Login || route == MacRoute::Search || route == MacRoute::Menu;
    });
    return routes;
}

QVariantList MenuOverlayModel::tiles()
{
    QVariantList tiles;
    for (MacRoute::Value route : menuRoutes()) {
        tiles.append(QVariantMap {
            { QStringLiteral("route"), int(route) },
            { QStringLiteral("title"), MacRoute::title(route) },
            { QStringLiteral("symbol"), MacRoute::systemImage(route) },
        });
    }
    return tiles;
}

bool MenuOverlayModel::showsEvent() const
{
    return m_app && m_app->config() && m_app->config()->event
        && m_app->config()->event->active.value_or(false);
}

QString MenuOverlayModel::eventTitle() const
{
    if (!showsEvent())
        return {};
    return m_app->config()->event->title.value_or(QStringLiteral("Orvella Event")).left(maxTitle);
}

void MenuOverlayModel::close()
{
    if (m_app)
        m_app->setMenuPresented(false);
}

void MenuOverlayModel::choose(int route)
{
    if (!m_app || route < 0 || route >= MacRoute::count)
        return;
    m_app->setMenuPresented(false);
    // Closing the menu destroys this model: the app model carries the step to its next turn.
    QTimer::singleShot(
        0, m_app.data(), [app = m_app.data(), route] { app->navigate(MacRoute::Value(route)); });
}

} // namespace orvella
