#pragma once

#include <QCoro/QCoroTask>
#include <chrono>
#include <coroutine>
#include <memory>
#include <stop_token>

namespace orvella {

// The time the client reads and waits on: a monotonic "now", the wall time, and stop-aware sleeps.
// A sleep that is stopped ends early as a normal wake-up (on a later turn of the event loop, never
// inside the request_stop() that stopped it). The system clock runs on timers; the manual clock,
// for tests, moves only when told.
class Clock
{
public:
    virtual ~Clock() = default;
    [[nodiscard]] virtual std::chrono::milliseconds now() const = 0;
    // Milliseconds since 1970 (UTC), for times the service and the settings state.
    [[nodiscard]] virtual std::chrono::milliseconds sinceEpoch() const = 0;
    virtual QCoro::Task<> sleep(std::chrono::milliseconds duration, std::stop_token stop) = 0;

    // The process's real clock.
    static Clock &system();
};

// Stops the task that holds `source` and gives the token for the task that replaces it.
inline std::stop_token renewStop(std::stop_source &source)
{
    source.request_stop();
    source = std::stop_source();
    return source.get_token();
}

class ManualClock : public Clock
{
public:
    ManualClock();
    ~ManualClock() override;

    [[nodiscard]] std::chrono::milliseconds now() const override;
    // Starts at 0 unless set; advance() moves it with now().
    [[nodiscard]] std::chrono::milliseconds sinceEpoch() const override;
    void setSinceEpoch(std::chrono::milliseconds time);
    QCoro::Task<> sleep(std::chrono::milliseconds duration, std::stop_token stop) override;

    // Moves time on, waking every sleeper whose time has come, earliest first (a woken sleeper
    // that sleeps again within the span wakes again within it). Also wakes stopped sleepers.
    void advance(std::chrono::milliseconds span);
    [[nodiscard]] int sleepers() const;

    struct State;

private:
    std::shared_ptr<State> m_state;
};

} // namespace orvella
