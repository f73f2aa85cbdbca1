#include "studio/RecordingTransport.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

using orvella::formatTime;
using orvella::TransportItem;
using orvella::transportRow;
using State = orvella::StudioCaptureController::State;
using Style = TransportItem::Style;

QStringList describe(const QList<TransportItem> &items)
{
    QStringList out;
    for (const TransportItem &item : items) {
        const char *style = item.style == Style::Gold ? "gold"
            : item.style == Style::Bordered           ? "bordered"
            : item.style == Style::Upload             ? "upload"
                                                      : "progress";
        out << QStringLiteral("%1|%2|%3|%4%5")
                   .arg(style, item.title, item.symbol, item.enabled ? "on" : "off",
                       item.busy ? "|busy" : "");
    }
    return out;
}

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

TEST(TransportRow, OffersExactlyTheControlsOfEachState)
{
    const QStringList start { "gold|Start Recording|record.circle|on" };
    EXPECT_EQ(describe(transportRow(State::Idle, false).items), start);
    EXPECT_EQ(describe(transportRow(State::Failed, false).items), start);
    EXPECT_TRUE(transportRow(State::Failed, false).resetEnabled);
    EXPECT_TRUE(transportRow(State::Idle, false).resetEnabled);

    const auto recording = transportRow(State::Recording, false);
    EXPECT_EQ(describe(recording.items),
        (QStringList { "bordered|Pause|pause.fill|on", "gold|Finish|stop.fill|on" }));
    EXPECT_FALSE(recording.resetEnabled);

    const auto paused = transportRow(State::Paused, false);
    EXPECT_EQ(describe(paused.items),
        (QStringList { "gold|Continue|play.fill|on", "bordered|Finish||on" }));
    EXPECT_TRUE(paused.resetEnabled);

    const auto processing = transportRow(State::Processing, false);
    EXPECT_EQ(describe(processing.items), QStringList { "progress|Processing…||on" });
    EXPECT_FALSE(processing.resetEnabled);

    const auto ready = transportRow(State::Ready, false);
    EXPECT_EQ(describe(ready.items),
        (QStringList { "bordered|Record Again|record.circle|on",
            "upload|Upload to Orvella|arrow.up.circle.fill|on" }));
    EXPECT_TRUE(ready.resetEnabled);
}

TEST(TransportRow, AnUploadKeepsItsRecording)
{
    const auto ready = transportRow(State::Ready, true);
    EXPECT_EQ(describe(ready.items),
        (QStringList { "bordered|Record Again|record.circle|off",
            "upload|Upload to Orvella|arrow.up.circle.fill|off|busy" }));
    EXPECT_FALSE(ready.resetEnabled);
}

TEST(TransportRow, PillLabels)
{
    EXPECT_EQ(orvella::stateLabel(State::Failed), "CHECK SETUP");
    EXPECT_EQ(orvella::stateLabel(State::Idle), "READY");
    EXPECT_EQ(orvella::stateLabel(State::Recording), "RECORDING");
    EXPECT_EQ(orvella::stateLabel(State::Paused), "PAUSED");
    EXPECT_EQ(orvella::stateLabel(State::Processing), "PROCESSING");
    EXPECT_EQ(orvella::stateLabel(State::Ready), "READY TO SEND");
}

} // namespace
