#include "studio/RecordingTransport.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

using orvella::formatTime;
using orvella::transportRow;
using State = orvella::StudioCaptureController::State;

TEST(TransportClock, ShowsMinutesAndSecondsWithoutCappingMinutes)
{
    const std::pair<double, const char *> cases[] = { { 0, "00:00" }, { 0.99, "00:00" },
        { 59.75, "00:59" }, { 75.9, "01:15" }, { 5999.75, "99:59" }, { 6000, "100:00" },
        { -3.5, "00:00" }, { std::numeric_limits<double>::quiet_NaN(), "00:00" } };
    for (const auto &[seconds, text] : cases)
        EXPECT_EQ(formatTime(seconds), text) << seconds;
    EXPECT_FALSE(formatTime(std::numeric_limits<double>::infinity()).isEmpty());
}

// Reset and Record Again would take the recording away: never while it is being written or
// sent.
TEST(TransportRow, NothingTakesTheRecordingWhileItIsWrittenOrSent)
{
    for (State state : { State::Failed, State::Idle, State::Recording, State::Paused,
             State::Processing, State::Ready }) {
        for (bool uploading : { false, true }) {
            const auto row = transportRow(state, uploading);
            const bool busy = state == State::Recording || state == State::Processing || uploading;
            EXPECT_EQ(row.resetEnabled, !busy) << int(state) << uploading;
            for (const auto &item : row.items) {
                if (item.action == "recordAgain" || item.action == "upload")
                    EXPECT_EQ(item.enabled, !uploading) << int(state);
                EXPECT_EQ(item.busy, item.action == "upload" && uploading);
            }
        }
    }
}

} // namespace
