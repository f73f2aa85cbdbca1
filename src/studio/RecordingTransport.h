#pragma once

#include <QString>

namespace orvella {

// The clock text of a recording: whole minutes (not capped at 99) and seconds, "%02d:%02d".
// Seconds are truncated toward zero; a negative or unknown time shows 00:00.
[[nodiscard]] QString formatTime(double seconds);

} // namespace orvella
