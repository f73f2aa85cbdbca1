#pragma once

#include <QCoro/QCoroTask>
#include <QObject>
#include <QPointF>
#include <chrono>
#include <functional>
#include <optional>
#include <stop_token>

namespace orvella {

class Clock;

// The controls over a playing picture: shown on the viewer's activity and hidden a spell after
// the last, unless something holds them on screen when the spell ends. One wait is pending at a
// time: a new reveal, or a wait with an action of its own, replaces it.
//
// Pointer reports come through pointerAt(). The window repeats the hover of a pointer resting
// over it on every frame it draws (and the controls appearing or hiding is such a frame), so a
// report counts as activity only when the pointer stands somewhere else than at the last one.
class ChromeAutoHide : public QObject
{
    Q_OBJECT
public:
    static constexpr std::chrono::seconds hideAfter { 4 };

    // `holdsShown` is asked when the spell ends: true keeps the controls until the next reveal.
    explicit ChromeAutoHide(std::function<bool()> holdsShown, QObject *parent = nullptr);
    ~ChromeAutoHide() override;

    void setClock(Clock *clock);
    [[nodiscard]] bool shown() const { return m_shown; }

    // Shows the controls and starts the spell again.
    void reveal();
    // Replaces the pending wait: `action` runs after `span` (the controls stay as they are).
    void waitThen(std::chrono::milliseconds span, std::function<void()> action);
    // Ends the pending wait.
    void stop();
    // The pointer is at `scenePosition`: true when it moved since the last report.
    [[nodiscard]] bool pointerAt(QPointF scenePosition);

signals:
    void shownChanged();

private:
    void setShown(bool shown);
    QCoro::Task<> wait(
        std::chrono::milliseconds span, std::function<void()> action, std::stop_token stop);

    std::function<bool()> m_holdsShown;
    Clock *m_clock;
    bool m_shown = true;
    std::optional<QPointF> m_pointer;
    std::stop_source m_wait;
};

} // namespace orvella
