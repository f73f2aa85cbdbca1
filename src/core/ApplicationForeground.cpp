#include "core/ApplicationForeground.h"

#include "core/SessionLog.h"
#include "platform/Clock.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWindow>

namespace orvella {

namespace {

// Passes a stop on to another source. (A named function object: it is kept in a coroutine frame.)
struct ForwardStop
{
    std::stop_source *to;
    void operator()() const { to->request_stop(); }
};

} // namespace

ApplicationForeground::ApplicationForeground(Clock &clock, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_graceEnds(clock.now() + focusGrace)
{ }

ApplicationForeground::~ApplicationForeground()
{
    m_graceChanged.request_stop();
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
        endGrace();
    qCDebug(lcSession) << "Window" << (exposed ? "shown" : "hidden") << "in front:" << isInFront();
}

void ApplicationForeground::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    // The window system gave the focus and took it away: the client is behind another now.
    if (!active)
        endGrace();
    qCDebug(lcSession) << "Window" << (active ? "has" : "lost") << "the focus";
}

bool ApplicationForeground::isInFront() const
{
    return m_active || graceRunning();
}

bool ApplicationForeground::graceRunning() const
{
    return m_graceEnds && m_clock.now() < *m_graceEnds;
}

bool ApplicationForeground::launchGraceRunning() const
{
    return !m_launchGraceOver && graceRunning();
}

QCoro::Task<bool> ApplicationForeground::launchGraceEnd(std::stop_token stop)
{
    QPointer<ApplicationForeground> self(this);
    Clock &clock = m_clock;
    while (launchGraceRunning()) {
        // Wakes when the grace's time is up, when it starts again or ends early, or on `stop`.
        std::stop_source wake;
        const std::stop_callback<ForwardStop> onStop(stop, ForwardStop { &wake });
        const std::stop_callback<ForwardStop> onChange(
            m_graceChanged.get_token(), ForwardStop { &wake });
        co_await clock.sleep(*m_graceEnds - clock.now(), wake.get_token());
        if (!self || stop.stop_requested())
            co_return false;
        if (!launchGraceRunning()) {
            qCDebug(lcSession) << "The launch's wait for the focus ended; in front:" << isInFront();
            co_return true;
        }
    }
    co_return false;
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
    // A grace after the launch's had ended is a later one.
    if (!graceRunning())
        m_launchGraceOver = true;
    m_graceEnds = m_clock.now() + focusGrace;
    renewStop(m_graceChanged);
}

void ApplicationForeground::endGrace()
{
    m_launchGraceOver = true;
    m_graceEnds.reset();
    renewStop(m_graceChanged);
}

} // namespace orvella
