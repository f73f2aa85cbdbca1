#pragma once

#include <QObject>
#include <QQuickItem>
#include <QTimer>
#include <QtQml/qqmlregistration.h>

namespace orvella {

class Clock;

// A frame clock for drawings that are functions of time (shimmer, pulsing dots). `time` is
// seconds since the start of 2001 (UTC) and advances every `interval` seconds while the item
// is running, visible and in a window, and not faded out to nothing; otherwise the clock
// stands still and costs nothing.
class AnimationTimeline : public QQuickItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(double interval READ interval WRITE setInterval NOTIFY intervalChanged)
    Q_PROPERTY(bool running READ running WRITE setRunning NOTIFY runningChanged)
    Q_PROPERTY(double time READ time NOTIFY timeChanged)
    Q_PROPERTY(bool ticking READ ticking NOTIFY tickingChanged)

public:
    explicit AnimationTimeline(QQuickItem *parent = nullptr);

    [[nodiscard]] double interval() const { return m_interval; }
    void setInterval(double seconds);
    [[nodiscard]] bool running() const { return m_running; }
    void setRunning(bool running);
    [[nodiscard]] double time() const { return m_time; }
    [[nodiscard]] bool ticking() const { return m_timer.isActive(); }

    // Seconds since 2001-01-01 00:00 UTC, from the system clock.
    [[nodiscard]] static double referenceSeconds();
    // Tests replace the clock.
    void setClock(const Clock &clock);

signals:
    void intervalChanged();
    void runningChanged();
    void timeChanged();
    void tickingChanged();

protected:
    void itemChange(ItemChange change, const ItemChangeData &value) override;

private:
    void reconsider();
    void tick();
    [[nodiscard]] bool fadedOut() const;

    double m_interval = 1.0 / 30;
    bool m_running = true;
    double m_time = 0;
    QTimer m_timer;
    const Clock *m_clock;
};

// The time-driven shapes shared by the start-up, welcome and placeholder drawings.
class Pulse : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    explicit Pulse(QObject *parent = nullptr);

    // Scale of welcome dot `index` at time `t`: |sin(t·π + index·0.55)|·0.4 + 0.6.
    [[nodiscard]] Q_INVOKABLE static double dotScale(double t, int index);
    // Shimmer phase at time `t`, between 0 and 1: (sin(2.6·t) + 1)·0.5.
    [[nodiscard]] Q_INVOKABLE static double shimmerPhase(double t);
};

} // namespace orvella
