#pragma once

#include "core/MacRoute.h"

#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

namespace orvella {

// Which screen is shown: the route with its back stack, the sign-in gate, the programme and
// episode chosen, and the menu flag.
class Navigator : public QObject
{
    Q_OBJECT

public:
    // `signedIn` tells whether the viewer may leave the public routes.
    explicit Navigator(std::function<bool()> signedIn, QObject *parent = nullptr);

    [[nodiscard]] MacRoute::Value route() const { return m_route; }
    [[nodiscard]] const QList<MacRoute::Value> &navigationStack() const { return m_stack; }
    [[nodiscard]] const std::optional<QString> &selectedProgramId() const
    {
        return m_selectedProgramId;
    }
    [[nodiscard]] const std::optional<QString> &selectedEpisodeId() const
    {
        return m_selectedEpisodeId;
    }
    [[nodiscard]] bool menuPresented() const { return m_menuPresented; }
    [[nodiscard]] bool canGoBack() const;

    void navigate(MacRoute::Value target);
    void goBack();
    // Shows one episode; blanks around the id are ignored, an empty id does nothing.
    void openEpisode(const QString &id);
    void setSelectedProgramId(const std::optional<QString> &id);
    void setMenuPresented(bool presented);
    // Presents the menu on the next turn of the event loop, so the click that asked is over.
    void presentMenuSoon();

    // Routes set by start-up and the session rather than by the viewer.
    // Sets the route alone; the live player is left as it is.
    void setRoute(MacRoute::Value route);
    // Sets the route; leaving live this way still pauses the live player.
    void setRouteDirectly(MacRoute::Value route);
    void clearStack();
    // Shows `route` afresh: no back stack, no menu.
    void restart(MacRoute::Value route);

signals:
    void routeChanged();
    void selectedProgramIdChanged();
    // Also announced when the same episode is opened again while it is shown.
    void selectedEpisodeIdChanged();
    void navigationStackChanged();
    void canGoBackChanged();
    void menuPresentedChanged();
    // The viewer arrived on `route` (or was moved off live); the live player follows.
    void livePlaybackFollows(MacRoute::Value route);

private:
    void setStack(QList<MacRoute::Value> stack);
    void arrive(MacRoute::Value route);

    std::function<bool()> m_signedIn;
    MacRoute::Value m_route = MacRoute::Splash;
    QList<MacRoute::Value> m_stack;
    std::optional<QString> m_selectedProgramId;
    std::optional<QString> m_selectedEpisodeId;
    bool m_menuPresented = false;
};

} // namespace orvella
