#include "ui/FirstFrameWatch.h"

#include <QPointer>
#include <QQuickWindow>

namespace orvella {

FirstFrameWatch::FirstFrameWatch(QQuickItem *parent)
    : QQuickItem(parent)
{
    // Only an item with contents is synchronized with the render thread.
    setFlag(ItemHasContents, true);
}

void FirstFrameWatch::itemChange(ItemChange change, const ItemChangeData &value)
{
    QQuickItem::itemChange(change, value);
    if (change == ItemSceneChange)
        watch(value.window);
}

void FirstFrameWatch::watch(QQuickWindow *window)
{
    disconnect(m_swap);
    if (!window || m_shown)
        return;
    m_stage = std::make_shared<std::atomic_int>(Waiting);
    // The swap is signalled on the render thread, which may run while the item goes away on
    // this one: the handler holds only the shared stage and a guarded pointer, which it reads
    // back on this thread.
    m_swap = connect(
        window, &QQuickWindow::frameSwapped, this,
        [stage = m_stage, self = QPointer(this), window] {
            int synchronized = Synchronized;
            if (stage->compare_exchange_strong(synchronized, Swapped)) {
                QMetaObject::invokeMethod(
                    window,
                    [self] {
                        if (self)
                            self->reportShown();
                    },
                    Qt::QueuedConnection);
            }
        },
        Qt::DirectConnection);
    update();
}

QSGNode *FirstFrameWatch::updatePaintNode(QSGNode *node, UpdatePaintNodeData *)
{
    // Called while the frame that includes the item is synchronized; that frame's swap is the
    // next one.
    if (m_stage) {
        int waiting = Waiting;
        m_stage->compare_exchange_strong(waiting, Synchronized);
    }
    delete node;
    return nullptr;
}

void FirstFrameWatch::reportShown()
{
    if (m_shown)
        return;
    m_shown = true;
    disconnect(m_swap);
    emit shown();
}

} // namespace orvella
