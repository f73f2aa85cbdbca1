#include "app/QuitRequests.h"

#include "app/AppModel.h"
#include "core/SessionLog.h"
#include "platform/WindowLossWatch.h"

#include <QEvent>
#include <QSocketNotifier>
#include <QWindow>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace orvella {

namespace {

// The socket pair between the signal handler (it writes) and the event loop (it reads).
int signalSockets[2] = { -1, -1 };

void onSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    // Async-signal-safe; a full socket means a quit is already waiting to be read.
    [[maybe_unused]] const ssize_t written = ::write(signalSockets[0], &byte, 1);
    errno = saved;
}

} // namespace

QuitRequests::QuitRequests(AppModel &app, QObject *parent)
    : QObject(parent)
    , m_app(app)
    , m_windowLoss(new WindowLossWatch(this))
{
    connect(&m_app, &AppModel::quitting, this, &QuitRequests::hideWindows);
    // Reported while Qt handles the display's events: quit once that is over.
    connect(
        m_windowLoss, &WindowLossWatch::windowLost, &m_app, &AppModel::quit, Qt::QueuedConnection);
    if (signalSockets[0] != -1) {
        qCWarning(lcSession) << "SIGTERM and SIGINT are already watched by another owner";
        return;
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalSockets) != 0) {
        qCWarning(lcSession) << "SIGTERM and SIGINT end the client at once: no socket pair:"
                             << std::strerror(errno);
        return;
    }
    struct sigaction action
    {
    };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(SIGTERM, &action, &m_previousTerm) != 0
        || ::sigaction(SIGINT, &action, &m_previousInt) != 0)
        qCWarning(lcSession) << "SIGTERM or SIGINT not watched:" << std::strerror(errno);
    m_notifier = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitRequests::signalArrived);
}

QuitRequests::~QuitRequests()
{
    for (const QPointer<QWindow> &window : std::as_const(m_windows)) {
        if (window)
            window->removeEventFilter(this);
    }
    if (!m_notifier)
        return;
    ::sigaction(SIGTERM, &m_previousTerm, nullptr);
    ::sigaction(SIGINT, &m_previousInt, nullptr);
    delete m_notifier;
    ::close(signalSockets[0]);
    ::close(signalSockets[1]);
    signalSockets[0] = signalSockets[1] = -1;
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
    char bytes[16];
    while (::read(signalSockets[1], bytes, sizeof bytes) > 0) { }
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
