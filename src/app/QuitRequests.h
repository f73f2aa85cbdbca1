#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QSocketNotifier;
class QWindow;

namespace orvella {

class AppModel;
class QuitSignals;
class WindowLossWatch;

// The ways to end the client besides its Quit command: the close button of its window, its
// window destroyed by another program of the display (WindowLossWatch), and SIGTERM, SIGINT or
// SIGHUP from the session (QuitSignals, caught before the run starts anything). Each asks the app
// model to quit from the event loop, so the run ends as it does on Quit. While the run ends, the
// windows are hidden.
class QuitRequests : public QObject
{
    Q_OBJECT
public:
    QuitRequests(AppModel &app, const QuitSignals &quitSignals, QObject *parent = nullptr);
    ~QuitRequests() override;
    QuitRequests(const QuitRequests &) = delete;
    QuitRequests &operator=(const QuitRequests &) = delete;

    // The window's close button quits the client instead of closing the window alone, and so
    // does the window's loss.
    void watch(QWindow *window);
    // Whether the quit signals reach the event loop.
    [[nodiscard]] bool handlesSignals() const { return m_notifier != nullptr; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void signalArrived();
    void hideWindows();

    AppModel &m_app;
    const QuitSignals &m_signals;
    QList<QPointer<QWindow>> m_windows;
    WindowLossWatch *m_windowLoss;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace orvella
