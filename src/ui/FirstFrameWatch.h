#pragma once

#include <QQuickItem>
#include <QtQml/qqmlregistration.h>
#include <atomic>
#include <memory>

namespace orvella {

// Tells when the item is first on screen: `shown` is emitted once, after the first frame that
// drew the item has been handed to the display. A window that is not yet exposed draws
// nothing, so a start that takes a while to map its window is not counted.
class FirstFrameWatch : public QQuickItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(bool hasBeenShown READ hasBeenShown NOTIFY shown)

public:
    explicit FirstFrameWatch(QQuickItem *parent = nullptr);

    [[nodiscard]] bool hasBeenShown() const { return m_shown; }

signals:
    void shown();

protected:
    QSGNode *updatePaintNode(QSGNode *node, UpdatePaintNodeData *data) override;
    void itemChange(ItemChange change, const ItemChangeData &value) override;

private:
    enum Stage { Waiting, Synchronized, Swapped };
    void watch(QQuickWindow *window);
    void reportShown();

    // Shared with the render thread's swap handler, which may outlive the item.
    std::shared_ptr<std::atomic_int> m_stage;
    QMetaObject::Connection m_swap;
    bool m_shown = false;
};

} // namespace orvella
