#include "platform/WindowLossWatch.h"

#include "platform/PlatformLog.h"

#include <QCoreApplication>
#include <QPlatformSurfaceEvent>
#include <xcb/xcb.h>

namespace orvella {

WindowLossWatch::WindowLossWatch(QObject *parent)
    : QObject(parent)
{
    if (QCoreApplication *application = QCoreApplication::instance())
        application->installNativeEventFilter(this);
}

WindowLossWatch::~WindowLossWatch()
{
    if (QCoreApplication *application = QCoreApplication::instance())
        application->removeNativeEventFilter(this);
    for (const Watched &watched : std::as_const(m_windows)) {
        if (watched.window)
            watched.window->removeEventFilter(this);
    }
}

void WindowLossWatch::watch(QWindow *window)
{
    if (!window)
        return;
    window->installEventFilter(this);
    // winId() would make the native window; only one that exists is watched now.
    m_windows.append({ window, window->handle() ? window->winId() : 0 });
}

bool WindowLossWatch::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::PlatformSurface) {
        const auto type = static_cast<QPlatformSurfaceEvent *>(event)->surfaceEventType();
        for (Watched &entry : m_windows) {
            if (entry.window != watched)
                continue;
            // Qt's own destruction of the native window is no loss.
            entry.id = type == QPlatformSurfaceEvent::SurfaceCreated ? entry.window->winId() : 0;
        }
    }
    return QObject::eventFilter(watched, event);
}

bool WindowLossWatch::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const int type = event->response_type & ~0x80;
    if (type == 0) {
        // Qt keeps addressing the lost window (unmapping it, destroying it) until the run ends:
        // the X server's refusals are expected, not worth a warning each.
        const auto *error = static_cast<const xcb_generic_error_t *>(message);
        return m_lost.contains(WId(error->resource_id));
    }
    if (type != XCB_DESTROY_NOTIFY)
        return false;
    const auto *destroyed = static_cast<const xcb_destroy_notify_event_t *>(message);
    for (Watched &entry : m_windows) {
        if (!entry.window || entry.id == 0 || entry.id != WId(destroyed->window))
            continue;
        qCWarning(lcPlatform) << "The window was destroyed by another program of the display";
        m_lost.append(entry.id);
        entry.id = 0;
        emit windowLost(entry.window);
    }
    return false;
}

} // namespace orvella
