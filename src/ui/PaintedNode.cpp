#include "ui/PaintedNode.h"

#include <QPainter>
#include <QQuickWindow>
#include <QSGRendererInterface>

namespace orvella {

void PaintedNode::repaint(const QRectF &bounds)
{
    m_bounds = bounds;
    markDirty(QSGNode::DirtyMaterial);
}

void PaintedNode::render(const RenderState *state)
{
    auto *painter = static_cast<QPainter *>(m_window->rendererInterface()->getResource(
        m_window, QSGRendererInterface::PainterResource));
    if (!painter)
        return;
    painter->save();
    if (const QRegion *clip = state->clipRegion(); clip && !clip->isEmpty())
        painter->setClipRegion(*clip, Qt::ReplaceClip); // before the transform is set
    painter->setTransform(matrix()->toTransform());
    painter->setOpacity(inheritedOpacity());
    paint(*painter);
    painter->restore();
}

} // namespace orvella
