#pragma once

#include <QtGlobal>
#include <atomic>

namespace orvella {

// One monotonic time line shared by the camera and the microphone, so their presentation times
// can be compared and written into one movie.
class MediaClock
{
public:
    virtual ~MediaClock() = default;
    [[nodiscard]] virtual qint64 nowMicroseconds() const = 0;
};

// The process-wide monotonic clock.
class MonotonicMediaClock final : public MediaClock
{
public:
    [[nodiscard]] qint64 nowMicroseconds() const override;
    [[nodiscard]] static MonotonicMediaClock &shared();
};

// A clock that only moves when told to; for tests and benchmarks.
class ManualMediaClock final : public MediaClock
{
public:
    [[nodiscard]] qint64 nowMicroseconds() const override { return m_now.load(); }
    void set(qint64 microseconds) { m_now.store(microseconds); }
    void advance(qint64 microseconds) { m_now.fetch_add(microseconds); }

private:
    std::atomic<qint64> m_now { 0 };
};

} // namespace orvella
