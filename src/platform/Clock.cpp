#include "platform/Clock.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

namespace orvella {

namespace {

struct RestartAtZero
{
    QTimer *timer;
    void operator()() const { timer->start(0); }
};

// Resumes the sleeper on the turn after the timer fired, outside the timer's own signal.
// Trivially destructible on purpose: g++ 12 may destroy a co_await operand twice.
struct TimerWait
{
    QTimer *timer;
    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> handle) const
    {
        QObject::connect(
            timer, &QTimer::timeout, timer,
            [handle] {
                QMetaObject::invokeMethod(
                    QCoreApplication::instance(), [handle] { handle.resume(); },
                    Qt::QueuedConnection);
            },
            Qt::SingleShotConnection);
    }
    void await_resume() const noexcept { }
};

class SystemClock : public Clock
{
public:
    SystemClock() { m_started.start(); }
    [[nodiscard]] std::chrono::milliseconds now() const override
    {
        return std::chrono::milliseconds(m_started.elapsed());
    }

    [[nodiscard]] std::chrono::milliseconds sinceEpoch() const override
    {
        return std::chrono::milliseconds(QDateTime::currentMSecsSinceEpoch());
    }

    QCoro::Task<> sleep(std::chrono::milliseconds duration, std::stop_token stop) override
    {
        // A Qt timer's interval is an int of milliseconds: longer sleeps run in steps, so a
        // long wait never wraps round to a short or negative one.
        constexpr std::chrono::milliseconds longestStep(std::numeric_limits<int>::max());
        auto left = std::max(duration, std::chrono::milliseconds(0));
        for (;;) {
            if (stop.stop_requested())
                co_return;
            const auto step = std::min(left, longestStep);
            QTimer timer;
            timer.setSingleShot(true);
            // Never early: Qt's default, coarse timers may fire up to 5 % before their time
            // (45 ms of the live welcome's 0.9 s hold).
            timer.setTimerType(Qt::PreciseTimer);
            // A stop restarts the timer at zero: the sleep ends on the next turn.
            std::stop_callback<RestartAtZero> onStop(stop, RestartAtZero { &timer });
            timer.start(step);
            co_await TimerWait { &timer };
            left -= step;
            if (left <= std::chrono::milliseconds(0))
                co_return;
        }
    }

private:
    QElapsedTimer m_started;
};

} // namespace

Clock &Clock::system()
{
    static SystemClock clock;
    return clock;
}

struct ManualClock::State
{
    struct Sleeper
    {
        std::chrono::milliseconds deadline;
        quint64 order;
        std::coroutine_handle<> handle;
    };
    std::chrono::milliseconds now { 0 };
    // The wall time less the monotonic time.
    std::chrono::milliseconds epochOffset { 0 };
    quint64 nextOrder = 0;
    std::vector<Sleeper> sleepers;

    void wake(quint64 order)
    {
        const auto it = std::find_if(sleepers.begin(), sleepers.end(),
            [order](const Sleeper &sleeper) { return sleeper.order == order; });
        if (it == sleepers.end())
            return;
        const auto handle = it->handle;
        sleepers.erase(it);
        handle.resume();
    }
};

ManualClock::ManualClock()
    : m_state(std::make_shared<State>())
{ }

ManualClock::~ManualClock()
{
    // Whoever still sleeps wakes now and runs to its end rather than staying suspended forever.
    for (int round = 0; round < 8 && !m_state->sleepers.empty(); ++round) {
        auto sleepers = std::move(m_state->sleepers);
        m_state->sleepers.clear();
        for (const auto &sleeper : sleepers)
            sleeper.handle.resume();
    }
}

std::chrono::milliseconds ManualClock::now() const
{
    return m_state->now;
}

std::chrono::milliseconds ManualClock::sinceEpoch() const
{
    return m_state->now + m_state->epochOffset;
}

void ManualClock::setSinceEpoch(std::chrono::milliseconds time)
{
    m_state->epochOffset = time - m_state->now;
}

int ManualClock::sleepers() const
{
    return int(m_state->sleepers.size());
}

namespace {
// A stopped sleeper wakes on the next turn of the event loop. (A named function object: the
// callback is kept in the coroutine frame.)
struct WakeLater
{
    std::weak_ptr<ManualClock::State> state;
    quint64 order;
    void operator()() const
    {
        QTimer::singleShot(0, [state = state, order = order] {
            if (auto locked = state.lock())
                locked->wake(order);
        });
    }
};
} // namespace

QCoro::Task<> ManualClock::sleep(std::chrono::milliseconds duration, std::stop_token stop)
{
    if (stop.stop_requested())
        co_return;
    // Trivially destructible on purpose: g++ 12 may destroy a co_await operand twice.
    struct Awaiter
    {
        State *state;
        std::chrono::milliseconds deadline;
        quint64 order;
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> handle)
        {
            state->sleepers.push_back({ deadline, order, handle });
        }
        void await_resume() const noexcept { }
    };
    const quint64 order = m_state->nextOrder++;
    std::stop_callback<WakeLater> onStop(stop, WakeLater { m_state, order });
    co_await Awaiter { m_state.get(),
        m_state->now + std::max(duration, std::chrono::milliseconds(0)), order };
}

void ManualClock::advance(std::chrono::milliseconds span)
{
    const auto target = m_state->now + span;
    // Stopped sleepers queued their wake-up; let those run first.
    QCoreApplication::processEvents();
    for (;;) {
        auto &sleepers = m_state->sleepers;
        const auto next = std::min_element(
            sleepers.begin(), sleepers.end(), [](const State::Sleeper &a, const State::Sleeper &b) {
                return a.deadline != b.deadline ? a.deadline < b.deadline : a.order < b.order;
            });
        if (next == sleepers.end() || next->deadline > target)
            break;
        m_state->now = std::max(m_state->now, next->deadline);
        m_state->wake(next->order);
        QCoreApplication::processEvents();
    }
    m_state->now = target;
}

} // namespace orvella
