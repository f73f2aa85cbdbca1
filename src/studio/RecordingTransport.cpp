#include "studio/RecordingTransport.h"

#include <algorithm>
#include <cmath>

namespace orvella {

QString formatTime(double seconds)
{
    // NaN compares false, so it lands on 0 with the negatives; the cap only keeps the cast defined.
    const double whole = std::trunc(seconds);
    const long long total = whole > 0 ? static_cast<long long>(std::min(whole, 1.0e15)) : 0;
    return QString::asprintf("%02lld:%02lld", total / 60, total % 60);
}

} // namespace orvella
