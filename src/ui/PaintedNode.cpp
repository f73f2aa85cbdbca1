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
    if (painter && state)
        renderWith(*painter, *state);
}

void PaintedNode::renderWith(QPainter &painter, const RenderState &state)
{
    const QRegion *clip = state.clipRegion();
    if (clip && clip->isEmpty())
        return;
    painter.save();
    if (clip)
        painter.setClipRegion(*clip, Qt::ReplaceClip); // before the transform is set
    if (const QMatrix4x4 *place = matrix())
        painter.setTransform(place->toTransform());
    painter.setOpacity(inheritedOpacity());
    paint(painter);
    painter.restore();
}

} // namespace orvella
