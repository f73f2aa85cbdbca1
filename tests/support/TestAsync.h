#pragma once

// Runs coroutines and waits for conditions inside the test's own event loop, always with a
// deadline. QCoro::waitFor is never used: it does not rethrow and hangs on a throwing task.
//
//   const QByteArray body = orvella::test::runTask(client.fetch(url));      // value or rethrow
//   EXPECT_THROW(orvella::test::runTask(client.fetch(bad)), SomeError);
//   ASSERT_TRUE(orvella::test::waitUntil([&] { return model.ready(); }));

#include "support/QtPrinting.h"

#include <QCoro/QCoroTask>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <type_traits>

namespace orvella::test {

using namespace std::chrono_literals;

// Thrown by runTask when the task has not finished by its deadline.
class TaskDeadlineExceeded : public std::runtime_error
{
public:
    TaskDeadlineExceeded()
        : std::runtime_error("the task did not finish before its deadline")
    { }
};

namespace detail {

template<typename T>
struct TaskOutcome
{
    std::conditional_t<std::is_void_v<T>, bool, std::optional<T>> value {};
    std::exception_ptr error;
    bool done = false;
    QEventLoop *loop = nullptr;
};

// Holds the outcome through a shared pointer: when the deadline passes, the caller returns while
// the task may still run, and the task must not write into a dead stack frame.
template<typename T>
QCoro::Task<> captureOutcome(QCoro::Task<T> task, std::shared_ptr<TaskOutcome<T>> outcome)
{
    try {
        if constexpr (std::is_void_v<T>) {
            co_await std::move(task);
            outcome->value = true;
        } else {
            outcome->value.emplace(co_await std::move(task));
        }
    } catch (...) {
        outcome->error = std::current_exception();
    }
    outcome->done = true;
    if (outcome->loop)
        outcome->loop->quit();
}

} // namespace detail

// Runs the task to its end in a local event loop and returns its value, or rethrows what it
// threw. Throws TaskDeadlineExceeded when it has not finished within the deadline.
template<typename T>
T runTask(QCoro::Task<T> task, std::chrono::milliseconds deadline = 10s)
{
    auto outcome = std::make_shared<detail::TaskOutcome<T>>();
    QEventLoop loop;
    outcome->loop = &loop;
    auto capture = detail::captureOutcome<T>(std::move(task), outcome);
    if (!outcome->done) {
        QTimer::singleShot(deadline, &loop, [&loop] { loop.quit(); });
        loop.exec();
    }
    outcome->loop = nullptr;
    if (!outcome->done)
        throw TaskDeadlineExceeded();
    if (outcome->error)
        std::rethrow_exception(outcome->error);
    if constexpr (!std::is_void_v<T>)
        return std::move(*outcome->value);
}

// Spins a local event loop until the condition holds; false when the deadline passed first.
inline bool waitUntil(
    const std::function<bool()> &condition, std::chrono::milliseconds deadline = 5s)
{
    if (condition())
        return true;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(2ms);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (condition())
            loop.quit();
    });
    QTimer::singleShot(deadline, &loop, [&loop] { loop.quit(); });
    poll.start();
    loop.exec();
    return condition();
}

// Lets queued events and timers of up to the given span run (for "nothing else happens" checks).
inline void spinFor(std::chrono::milliseconds span)
{
    QEventLoop loop;
    QTimer::singleShot(span, &loop, [&loop] { loop.quit(); });
    loop.exec();
}

} // namespace orvella::test
