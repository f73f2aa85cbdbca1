#pragma once

// The longest time the GUI thread's event loop went without turning, within 1 ms: a timer
// ticks every millisecond, and the longest gap between two ticks is what some work held up.
//
//   orvella::test::GuiBlockMeter meter;
//   ... open the screen, wait for it ...
//   EXPECT_LT(meter.longestMs(), 200);

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <algorithm>

namespace orvella::test {

class GuiBlockMeter
{
public:
    GuiBlockMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
        m_clock.start();
        m_last = m_clock.nsecsElapsed();
        m_timer.start();
    }

    [[nodiscard]] double longestMs()
    {
        tick();
        return double(m_longest) / 1e6;
    }

private:
    void tick()
    {
        const qint64 now = m_clock.nsecsElapsed();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

} // namespace orvella::test
