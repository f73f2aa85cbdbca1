#pragma once

// What the parts of the libmpv player share: how mpv's replies are told apart, and how numbers
// are written into its commands.
#include <QString>
#include <QtGlobal>
#include <chrono>

namespace orvella::mpvplayer {

// Replies to seek commands carry this bit, so they are told apart from other replies.
inline constexpr quint64 seekReplyBit = quint64(1) << 62;
// Replies to loads carry this bit and the load's serial number.
inline constexpr quint64 loadReplyBit = quint64(1) << 60;

inline QString number(double value)
{
    return QString::number(value, 'f', 3);
}

inline double seconds(std::chrono::milliseconds span)
{
    return double(span.count()) / 1000.0;
}

} // namespace orvella::mpvplayer
