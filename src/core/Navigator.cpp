#include "core/Navigator.h"

#include "core/PublishedValue.h"

#include <QTimer>

namespace orvella {

namespace {

// The programme the kids zone shows.
const QString kidsZoneProgram = QStringLiteral("79");

} // namespace

Navigator::Navigator(std::function<bool()> signedIn, QObject *parent)
    : QObject(parent)
    , m_signedIn(std::move(signedIn))
{ }

bool Navigator::canGoBack() const
{
    return !m_stack.isEmpty() && !MacRoute::record(m_route).has(MacRoute::NoBack);
}

void Navigator::setRoute(MacRoute::Value route)
{
    const bool couldGoBack = canGoBack();
    publish(this, m_route, route, &Navigator::routeChanged);
    if (couldGoBack != canGoBack())
        emit canGoBackChanged();
}

void Navigator::setRouteDirectly(MacRoute::Value route)
{
    setRoute(route);
    if (route != MacRoute::Live && route != MacRoute::Menu)
        emit livePlaybackFollows(route);
}

void Navigator::setStack(QList<MacRoute::Value> stack)
{
    const bool couldGoBack = canGoBack();
    publish(this, m_stack, std::move(stack), &Navigator::navigationStackChanged);
    if (couldGoBack != canGoBack())
        emit canGoBackChanged();
}

void Navigator::clearStack()
{
    setStack({});
}

void Navigator::restart(MacRoute::Value route)
{
    setStack({});
    setRoute(route);
    setMenuPresented(false);
}

void Navigator::setSelectedProgramId(const std::optional<QString> &id)
{
    publish(this, m_selectedProgramId, id, &Navigator::selectedProgramIdChanged);
}

void Navigator::setMenuPresented(bool presented)
{
    publish(this, m_menuPresented, presented, &Navigator::menuPresentedChanged);
}

void Navigator::presentMenuSoon()
{
    QTimer::singleShot(0, this, [this] { setMenuPresented(true); });
}

void Navigator::navigate(MacRoute::Value target)
{
    if (!MacRoute::record(target).has(MacRoute::Public) && !m_signedIn()) {
        restart(MacRoute::Login);
        return;
    }
    if (target == MacRoute::KidsZone) {
        setSelectedProgramId(kidsZoneProgram);
        navigate(MacRoute::ProgramDetail);
        return;
    }
    QList<MacRoute::Value> stack = m_stack;
    if (m_route != target && !MacRoute::record(m_route).has(MacRoute::NeverPushed))
        stack.append(m_route);
    if (target == MacRoute::Live)
        stack.clear();
    setStack(std::move(stack));
    arrive(target);
}

void Navigator::goBack()
{
    if (m_stack.isEmpty()) {
        navigate(MacRoute::Live);
        return;
    }
    QList<MacRoute::Value> stack = m_stack;
    const MacRoute::Value previous = stack.takeLast();
    setStack(std::move(stack));
    arrive(previous);
}

void Navigator::arrive(MacRoute::Value route)
{
    setRoute(route);
    setMenuPresented(false);
    emit livePlaybackFollows(route);
}

void Navigator::openEpisode(const QString &id)
{
    const QString trimmed = id.trimmed();
    if (trimmed.isEmpty())
        return;
    // Announced even for the id already shown: the episode screen reloads on it.
    m_selectedEpisodeId = trimmed;
    emit selectedEpisodeIdChanged();
    if (m_route != MacRoute::Episode)
        navigate(MacRoute::Episode);
}

} // namespace orvella
