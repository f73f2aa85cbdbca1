#pragma once

#include <coroutine>
#include <functional>
#include <memory>
#include <stop_token>
#include <vector>

namespace orvella {

// A one-shot gate that coroutines wait on. Opening it wakes every waiter; a waiter may also give
// up when its stop token is requested. Waiters always resume on a later turn of the event loop,
// never inside open() or request_stop(), so whoever opens or stops is never re-entered.
// Main thread only.
class Latch
{
    struct Waiting
    {
        std::coroutine_handle<> handle;
        bool woken = false;
        void wake();
    };

public:
    class Awaiter
    {
    public:
        Awaiter(Latch &latch, std::stop_token stop)
            : m_latch(&latch)
            , m_stop(std::move(stop))
        { }

        [[nodiscard]] bool await_ready() const noexcept
        {
            return m_latch->m_open || m_stop.stop_requested();
        }
        void await_suspend(std::coroutine_handle<> handle);
        // True when the latch opened, false when the wait was stopped first.
        bool await_resume() noexcept;

    private:
        Latch *m_latch;
        std::stop_token m_stop;
        std::shared_ptr<Waiting> m_waiting;
        std::unique_ptr<std::stop_callback<std::function<void()>>> m_onStop;
    };

    Latch() = default;
    Latch(const Latch &) = delete;
    Latch &operator=(const Latch &) = delete;

    void open();
    [[nodiscard]] bool isOpen() const { return m_open; }
    // co_await latch.wait(stop): resumes once the latch is open or the stop is requested.
    [[nodiscard]] Awaiter wait(std::stop_token stop = {})
    {
        return Awaiter(*this, std::move(stop));
    }

private:
    bool m_open = false;
    std::vector<std::shared_ptr<Waiting>> m_waiters;
};

} // namespace orvella
