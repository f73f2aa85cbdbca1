#pragma once

#include <QImage>
#include <QRectF>
#include <QSGTexture>

class QQuickWindow;
class QSGNode;

namespace orvella {

// A picture drawn inside a convex outline (a rounded rectangle), alike on every scene-graph
// back end and without a stencil clip: on the graphics back ends the outline is geometry
// textured with the picture (an opaque picture needs no blending), on the software back end
// QPainter draws the picture clipped to the outline. Either way the outline's edge is sharp.
namespace RoundedPictureNodes {

struct Picture
{
    QImage image;
    QRectF source; // the part of `image` shown, in its pixels
    QRectF bounds; // where the part is shown
    double cornerRadius = 0; // of the outline within `bounds`
    QSGTexture::Filtering filtering = QSGTexture::Linear;
    // A picture replaced many times a second (video, camera) keeps out of the shared atlas,
    // where each would be copied in and removed again.
    bool changesOften = false;
};

// `oldNode` (null, or what the last call for the same item gave) made to draw `picture`;
// `imageChanged` says whether its image differs from the last call's. The node owns what it
// uploads, so nothing outlives the item's scene graph.
[[nodiscard]] QSGNode *updateNode(
    QSGNode *oldNode, QQuickWindow &window, const Picture &picture, bool imageChanged);

} // namespace RoundedPictureNodes

} // namespace orvella
