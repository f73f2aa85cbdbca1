#include "platform/MediaClock.h"

#include <chrono>

namespace orvella {

qint64 MonotonicMediaClock::nowMicroseconds() const
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

MonotonicMediaClock &MonotonicMediaClock::shared()
{
    static MonotonicMediaClock clock;
    return clock;
}

} // namespace orvella
