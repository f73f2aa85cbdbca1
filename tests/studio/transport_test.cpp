#include "studio/RecordingTransport.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

using orvella::formatTime;

TEST(TransportClock, ShowsMinutesAndSecondsWithoutCappingMinutes)
{
    EXPECT_EQ(formatTime(0), "00:00");
    EXPECT_EQ(formatTime(0.99), "00:00");
    EXPECT_EQ(formatTime(59.75), "00:59");
    EXPECT_EQ(formatTime(75.9), "01:15");
    EXPECT_EQ(formatTime(5999.75), "99:59");
    EXPECT_EQ(formatTime(6000), "100:00");
    EXPECT_EQ(formatTime(-3.5), "00:00");
    EXPECT_EQ(formatTime(std::numeric_limits<double>::quiet_NaN()), "00:00");
    EXPECT_FALSE(formatTime(std::numeric_limits<double>::infinity()).isEmpty());
}

} // namespace
