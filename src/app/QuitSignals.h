#pragma once

#include <array>
#include <csignal>

namespace orvella {

// SIGTERM, SIGINT and SIGHUP (the terminal closed) from the session, caught from the start of the
// run: the handler only writes a byte to a socket that the event loop reads later (QuitRequests),
// so a signal that comes while the client is still starting waits there instead of ending the
// process at once. A SIGHUP ignored when the client starts (as under nohup) stays ignored. One
// instance at a time; it puts back the handlers it replaced when it goes.
class QuitSignals
{
public:
    QuitSignals();
    ~QuitSignals();
    QuitSignals(const QuitSignals &) = delete;
    QuitSignals &operator=(const QuitSignals &) = delete;

    // The socket to read the signals from, or -1 when they are not caught.
    [[nodiscard]] int socket() const { return m_sockets[1]; }
    // Reads away the signals that have come so far.
    void drain() const;

private:
    // Both -1 when another instance catches the signals or no pair could be made.
    int m_sockets[2] = { -1, -1 };
    // The action each of the signals had before, in the order they are caught.
    std::array<struct sigaction, 3> m_previous {};
};

} // namespace orvella
