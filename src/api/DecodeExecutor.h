#pragma once

#include <QCoroFuture>
#include <QFuture>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>
#include <exception>
#include <optional>
#include <type_traits>

namespace orvella {

// What work on the decoding threads gave: its value, or what it threw.
template<class T>
struct Decoded
{
    std::optional<T> value;
    std::exception_ptr error;

    // The value, or the failure thrown again where the result is taken.
    T take()
    {
        if (error)
            std::rethrow_exception(error);
        return std::move(*value);
    }
};

// Runs `work`, keeping its value or what it threw.
template<class Work>
[[nodiscard]] Decoded<std::invoke_result_t<Work &>> tryDecoding(Work &&work)
{
    Decoded<std::invoke_result_t<Work &>> result;
    try {
        result.value.emplace(work());
    } catch (...) {
        result.error = std::current_exception();
    }
    return result;
}

// The API client's own threads for reading answers: parsing JSON and decoding models run here,
// never on the thread that owns the client (the GUI thread). Awaiting the future resumes the
// coroutine on the thread that awaited, which applies the result.
class DecodeExecutor
{
public:
    DecodeExecutor();
    // Waits for work in progress: what it captured stays valid until it ends.
    ~DecodeExecutor();
    DecodeExecutor(const DecodeExecutor &) = delete;
    DecodeExecutor &operator=(const DecodeExecutor &) = delete;

    template<class Work>
    [[nodiscard]] QFuture<Decoded<std::invoke_result_t<Work &>>> run(Work work)
    {
        return QtConcurrent::run(
            &m_pool, [work = std::move(work)]() mutable { return tryDecoding(work); });
    }

private:
    QThreadPool m_pool;
};

} // namespace orvella
