#pragma once

#include <QCoro/QCoroTask>
#include <QObject>
#include <QPointer>
#include <chrono>
#include <optional>
#include <stop_token>

class QWindow;

namespace orvella {

class Clock;

// Whether the client is in front, for the notices only a client in the background posts. A
// client whose window has the focus is in front, and so is one that has just started or whose
// window has just been shown, until the window system has had the time to give it the focus:
// the configuration arrives before the window gets it, and a launch must not post at once. A
// window that loses the focus, or is hidden, is in the background from then on.
//
// The launch's grace is the one that begins with the run, extended while the window is first
// shown; it ends when its time is up, the window loses the focus or is hidden. A grace that
// begins after it (the window shown again) is a later one.
class ApplicationForeground : public QObject
{
    Q_OBJECT

public:
    // How long a window just shown waits for the focus while it counts as in front.
    static constexpr std::chrono::seconds focusGrace { 5 };

    // Counts as just started from now.
    explicit ApplicationForeground(Clock &clock, QObject *parent = nullptr);
    ~ApplicationForeground() override;

    // Follows the window's exposure (the client's one window) and the application's focus from
    // now on.
    void watch(QWindow *window);

    // What the window system reports; watch() feeds them.
    void setExposed(bool exposed);
    void setActive(bool active);

    [[nodiscard]] bool isInFront() const;
    [[nodiscard]] bool launchGraceRunning() const;

    // Waits for the launch's grace to end: true when it ends, false when it had ended before the
    // call, `stop` was requested or this object went meanwhile.
    QCoro::Task<bool> launchGraceEnd(std::stop_token stop);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void followApplicationState(Qt::ApplicationState state);
    [[nodiscard]] bool graceRunning() const;
    void startGrace();
    void endGrace();

    Clock &m_clock;
    QPointer<QWindow> m_window;
    bool m_exposed = false;
    bool m_active = false;
    // Until when the client counts as in front without the focus (monotonic time).
    std::optional<std::chrono::milliseconds> m_graceEnds;
    bool m_launchGraceOver = false;
    // Stopped whenever the grace starts or ends, and when this object goes: wakes launchGraceEnd.
    std::stop_source m_graceChanged;
};

} // namespace orvella
