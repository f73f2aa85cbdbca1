#pragma once

#include <QAbstractNativeEventFilter>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QWindow>

namespace orvella {

// Tells when a window of the client is destroyed by someone else: another X client destroying
// it, or a window manager that does. Qt sees only the window unmapped, as if minimised, and the
// client would go on without a window; the X server's DestroyNotify says it is gone. Windows
// that Qt itself destroys are not reported. Elsewhere than on X11 (Wayland, offscreen) nothing
// is reported: there a window goes only through its close request.
class WindowLossWatch : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    explicit WindowLossWatch(QObject *parent = nullptr);
    ~WindowLossWatch() override;
    WindowLossWatch(const WindowLossWatch &) = delete;
    WindowLossWatch &operator=(const WindowLossWatch &) = delete;

    void watch(QWindow *window);

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

signals:
    // Once per window; the window object stays, without its native window.
    void windowLost(QWindow *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Watched
    {
        QPointer<QWindow> window;
        // The native window while it exists (0 once Qt destroys it or it is lost).
        WId id = 0;
    };
    QList<Watched> m_windows;
    // Native windows lost: the errors of Qt's later requests on them are expected.
    QList<WId> m_lost;
};

} // namespace orvella
