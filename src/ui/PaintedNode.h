#pragma once

#include <QRectF>
#include <QSGRenderNode>

class QPainter;
class QQuickWindow;

namespace orvella {

// A node the software scene graph draws by calling paint() with its own QPainter, set up for
// the node's place, clip and opacity. Only that back end has such a painter.
class PaintedNode : public QSGRenderNode
{
public:
    explicit PaintedNode(QQuickWindow *window)
        : m_window(window)
    { }

    void render(const RenderState *state) final;
    [[nodiscard]] StateFlags changedStates() const final { return {}; }
    [[nodiscard]] RenderingFlags flags() const final { return BoundedRectRendering; }
    [[nodiscard]] QRectF rect() const final { return m_bounds; }

    // Paints into `painter` within the region `state` hands over. The software renderer calls
    // a node even where its clip leaves nothing of it (scrolled out of a clipped parent) and
    // then hands it an empty region: that draws nothing.
    void renderWith(QPainter &painter, const RenderState &state);

protected:
    // Sets what paint() covers and has it painted again.
    void repaint(const QRectF &bounds);
    virtual void paint(QPainter &painter) = 0;

private:
    QQuickWindow *m_window;
    QRectF m_bounds;
};

} // namespace orvella
