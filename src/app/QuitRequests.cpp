#include "app/QuitRequests.h"

#include "app/AppModel.h"
#include "app/QuitSignals.h"
#include "platform/WindowLossWatch.h"

#include <QEvent>
#include <QSocketNotifier>
#include <QWindow>

namespace orvella {

QuitRequests::QuitRequests(AppModel &app, const QuitSignals &quitSignals, QObject *parent)
    : QObject(parent)
    , m_app(app)
    , m_signals(quitSignals)
    , m_windowLoss(new WindowLossWatch(this))
{
    connect(&m_app, &AppModel::quitting, this, &QuitRequests::hideWindows);
    // Reported while Qt handles the display's events: quit once that is over.
    connect(
        m_windowLoss, &WindowLossWatch::windowLost, &m_app, &AppModel::quit, Qt::QueuedConnection);
    // A signal that came while the client was starting is read once the loop runs.
    if (m_signals.socket() == -1)
        return;
    m_notifier = new QSocketNotifier(m_signals.socket(), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitRequests::signalArrived);
}

QuitRequests::~QuitRequests()
{
    for (const QPointer<QWindow> &window : std::as_const(m_windows)) {
        if (window)
            window->removeEventFilter(this);
    }
    delete m_notifier;
}

void QuitRequests::watch(QWindow *window)
{
    if (!window)
        return;
    window->installEventFilter(this);
    m_windows.append(window);
    m_windowLoss->watch(window);
}

bool QuitRequests::eventFilter(QObject *watched, QEvent *event)
{
    // Once the run is ending, the application closes its windows itself as the event loop ends.
    if (event->type() == QEvent::Close && !m_app.isQuitting()) {
        // The window stays until the run has ended; quitting hides it at once.
        event->ignore();
        m_app.quit();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void QuitRequests::signalArrived()
{
    m_signals.drain();
    m_app.quit();
}

void QuitRequests::hideWindows()
{
    for (const QPointer<QWindow> &window : std::as_const(m_windows)) {
        if (window)
            window->hide();
    }
}

} // namespace orvella
