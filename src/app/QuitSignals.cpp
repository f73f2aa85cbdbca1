#include "app/QuitSignals.h"

#include "core/SessionLog.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace orvella {

namespace {

// The end the handler writes to; -1 while no instance catches the signals.
volatile sig_atomic_t signalWriteSocket = -1;

void onSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    // Async-signal-safe; a full socket means a quit is already waiting to be read.
    [[maybe_unused]] const ssize_t written = ::write(signalWriteSocket, &byte, 1);
    errno = saved;
}

} // namespace

QuitSignals::QuitSignals()
{
    if (signalWriteSocket != -1) {
        qCWarning(lcSession) << "SIGTERM and SIGINT are already caught by another owner";
        return;
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, m_sockets) != 0) {
        qCWarning(lcSession) << "SIGTERM and SIGINT end the client at once: no socket pair:"
                             << std::strerror(errno);
        m_sockets[0] = m_sockets[1] = -1;
        return;
    }
    signalWriteSocket = m_sockets[0];
    struct sigaction action
    {
    };
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(SIGTERM, &action, &m_previousTerm) != 0
        || ::sigaction(SIGINT, &action, &m_previousInt) != 0)
        qCWarning(lcSession) << "SIGTERM or SIGINT not caught:" << std::strerror(errno);
}

QuitSignals::~QuitSignals()
{
    if (m_sockets[0] == -1)
        return;
    ::sigaction(SIGTERM, &m_previousTerm, nullptr);
    ::sigaction(SIGINT, &m_previousInt, nullptr);
    signalWriteSocket = -1;
    for (const int socket : m_sockets)
        ::close(socket);
}

void QuitSignals::drain() const
{
    char bytes[16];
    while (m_sockets[1] != -1 && ::read(m_sockets[1], bytes, sizeof bytes) > 0) { }
}

} // namespace orvella
