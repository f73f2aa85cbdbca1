#include "core/ApplicationForeground.h"

#include "core/SessionLog.h"
#include "platform/Clock.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWindow>

namespace orvella {

ApplicationForeground::ApplicationForeground(const Clock &clock, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
{
    startGrace();
}

void ApplicationForeground::watch(QWindow *window)
{
    if (m_window)
        m_window->removeEventFilter(this);
    m_window = window;
    if (!window)
        return;
    window->installEventFilter(this);
    // The application's focus rather than the window's: a dialog of the client in front of the
    // window is the client in front.
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
        &ApplicationForeground::followApplicationState, Qt::UniqueConnection);
    setExposed(window->isExposed());
    followApplicationState(QGuiApplication::applicationState());
}

void ApplicationForeground::followApplicationState(Qt::ApplicationState state)
{
    setActive(state == Qt::ApplicationActive);
}

void ApplicationForeground::setExposed(bool exposed)
{
    if (exposed == m_exposed)
        return;
    m_exposed = exposed;
    if (exposed)
        startGrace();
    else
        m_graceEnds.reset();
    qCDebug(lcSession) << "Window" << (exposed ? "shown" : "hidden") << "in front:" << isInFront();
}

void ApplicationForeground::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    // The window system gave the focus and took it away: the client is behind another now.
    if (!active)
        m_graceEnds.reset();
    qCDebug(lcSession) << "Window" << (active ? "has" : "lost") << "the focus";
}

bool ApplicationForeground::isInFront() const
{
    return m_active || (m_graceEnds && m_clock.now() < *m_graceEnds);
}

bool ApplicationForeground::eventFilter(QObject *watched, QEvent *event)
{
    // The window's exposure is updated before its expose event is delivered.
    if (event->type() == QEvent::Expose && watched == m_window)
        setExposed(m_window->isExposed());
    return QObject::eventFilter(watched, event);
}

void ApplicationForeground::startGrace()
{
    m_graceEnds = m_clock.now() + focusGrace;
}

} // namespace orvella
