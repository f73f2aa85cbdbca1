#include "app/QuitSignals.h"

#include "core/SessionLog.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace orvella {

namespace {

// The signals that end the run, in the order of QuitSignals::m_previous.
constexpr std::array quitSignals { SIGTERM, SIGINT, SIGHUP };

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
        qCWarning(lcSession) << "The quit signals are already caught by another owner";
        return;
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, m_sockets) != 0) {
        qCWarning(lcSession) << "The quit signals end the client at once: no socket pair:"
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
    for (std::size_t i = 0; i < quitSignals.size(); ++i) {
        const int signal = quitSignals.at(i);
        if (::sigaction(signal, nullptr, &m_previous.at(i)) != 0) {
            qCWarning(lcSession) << "Signal" << signal << "not caught:" << std::strerror(errno);
            continue;
        }
        // Whoever started the client asked it to outlive its terminal (nohup).
        if (signal == SIGHUP && m_previous.at(i).sa_handler == SIG_IGN)
            continue;
        if (::sigaction(signal, &action, nullptr) != 0)
            qCWarning(lcSession) << "Signal" << signal << "not caught:" << std::strerror(errno);
    }
}

QuitSignals::~QuitSignals()
{
    if (m_sockets[0] == -1)
        return;
    for (std::size_t i = 0; i < quitSignals.size(); ++i)
        ::sigaction(quitSignals.at(i), &m_previous.at(i), nullptr);
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
