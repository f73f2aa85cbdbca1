#include "ui/AnimationTimeline.h"

#include "platform/Clock.h"

#include <cmath>

namespace orvella {

namespace {
// 2001-01-01T00:00:00Z in seconds since 1970.
constexpr double referenceEpoch = 978307200.0;

double secondsSinceReference(const Clock &clock)
{
    return double(clock.sinceEpoch().count()) / 1000.0 - referenceEpoch;
}
} // namespace

AnimationTimeline::AnimationTimeline(QQuickItem *parent)
    : QQuickItem(parent)
    , m_clock(&Clock::system())
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &AnimationTimeline::tick);
    m_time = secondsSinceReference(*m_clock);
}

double AnimationTimeline::referenceSeconds()
{
    return secondsSinceReference(Clock::system());
}

void AnimationTimeline::setClock(const Clock &clock)
{
    m_clock = &clock;
    tick();
}

void AnimationTimeline::setInterval(double seconds)
{
    if (m_interval == seconds)
        return;
    m_interval = seconds;
    emit intervalChanged();
    reconsider();
}

void AnimationTimeline::setRunning(bool running)
{
    if (m_running == running)
        return;
    m_running = running;
    emit runningChanged();
    reconsider();
}

void AnimationTimeline::itemChange(ItemChange change, const ItemChangeData &value)
{
    QQuickItem::itemChange(change, value);
    if (change == ItemVisibleHasChanged || change == ItemSceneChange)
        reconsider();
}

void AnimationTimeline::reconsider()
{
    const bool wanted = m_running && isVisible() && window() != nullptr;
    const int ms = std::max(1, int(std::lround(m_interval * 1000)));
    const bool was = m_timer.isActive();
    if (wanted) {
        if (!was || m_timer.interval() != ms)
            m_timer.start(ms);
        tick();
    } else {
        m_timer.stop();
    }
    if (was != m_timer.isActive())
        emit tickingChanged();
}

bool AnimationTimeline::fadedOut() const
{
    for (const QQuickItem *item = this; item; item = item->parentItem()) {
        if (item->opacity() <= 0)
            return true;
    }
    return false;
}

void AnimationTimeline::tick()
{
    if (fadedOut())
        return;
    const double now = secondsSinceReference(*m_clock);
    if (now != m_time) {
        m_time = now;
        emit timeChanged();
    }
}

Pulse::Pulse(QObject *parent)
    : QObject(parent)
{ }

double Pulse::dotScale(double t, int index)
{
    return std::abs(std::sin(t * M_PI + index * 0.55)) * 0.4 + 0.6;
}

double Pulse::shimmerPhase(double t)
{
    return (std::sin(2.6 * t) + 1) * 0.5;
}

} // namespace orvella
