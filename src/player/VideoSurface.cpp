#include "player/VideoSurface.h"

#include "platform/StartupTrace.h"

#include <QQuickFramebufferObject>
#include <QQuickWindow>
#include <algorithm>
#include <utility>

namespace orvella {

// The OpenGL path: a framebuffer item whose renderer the player provides.
class OpenGlVideoFramebuffer : public QQuickFramebufferObject
{
    class BlankRenderer : public Renderer
    {
        void render() override { }
    };

public:
    OpenGlVideoFramebuffer(MediaPlayer *player, QQuickItem *parent)
        : QQuickFramebufferObject(parent)
        , m_player(player)
    { }
    [[nodiscard]] Renderer *createRenderer() const override
    {
        if (Renderer *renderer = m_player ? m_player->createOpenGlRenderer() : nullptr)
            return renderer;
        // Qt's framebuffer item needs a renderer; a player without one (no libmpv) shows black.
        return new BlankRenderer;
    }

private:
    QPointer<MediaPlayer> m_player;
};

VideoSurface::VideoSurface(QQuickItem *parent)
    : QQuickItem(parent)
{
    setFlag(ItemHasContents, true);
    setClip(true);
}

VideoSurface::~VideoSurface() = default;

void VideoSurface::setPlayer(MediaPlayer *player)
{
    if (!m_player.repoint(player))
        return;
    const bool framebuffer = drawsThroughFramebuffer();
    delete m_framebuffer;
    m_framesShown = 0;
    m_player.forward(&MediaPlayer::frameRendered, this, &VideoSurface::frameArrived);
    m_player.forward(&QObject::destroyed, this, [this] { setPlayer(nullptr); });
    m_player.forward(&MediaPlayer::outputChanged, this, &VideoSurface::followOutput);
    followOutput();
    if (m_player) {
        applyFill();
        applyCaptionInset();
    }
    if (drawsThroughFramebuffer() != framebuffer)
        emit drawsThroughFramebufferChanged();
    emit playerChanged();
    emit framesShownChanged();
}

void VideoSurface::followOutput()
{
    const bool framebuffer = drawsThroughFramebuffer();
    const bool openGl = m_player && !m_player->rendersInSoftware();
    if (openGl && !m_framebuffer) {
        m_framebuffer = new OpenGlVideoFramebuffer(m_player.get(), this);
        m_framebuffer->setSize(size());
    } else if (!openGl) {
        delete m_framebuffer;
    }
    if (drawsThroughFramebuffer() != framebuffer)
        emit drawsThroughFramebufferChanged();
    pushSize();
    m_frameDirty = true;
    update();
}

void VideoSurface::setCornerRadius(qreal radius)
{
    if (m_cornerRadius == radius)
        return;
    m_cornerRadius = radius;
    update();
    emit cornerRadiusChanged();
}

void VideoSurface::setFillMode(FillMode mode)
{
    if (m_fillMode == mode)
        return;
    m_fillMode = mode;
    applyFill();
    emit fillModeChanged();
}

void VideoSurface::applyFill()
{
    if (m_player)
        m_player->setVideoFill(m_fillMode == AspectFill);
}

void VideoSurface::setCaptionInset(qreal inset)
{
    if (qFuzzyCompare(m_captionInset + 1, inset + 1))
        return;
    m_captionInset = inset;
    applyCaptionInset();
    emit captionInsetChanged();
}

void VideoSurface::applyCaptionInset()
{
    if (m_player && height() > 0)
        m_player->setCaptionInset(std::clamp(m_captionInset / height(), 0.0, 1.0));
}

void VideoSurface::frameArrived()
{
    ++m_framesShown;
    emit framesShownChanged();
    if (m_framebuffer) {
        m_framebuffer->update();
        return;
    }
    m_frameDirty = true;
    update();
}

void VideoSurface::pushSize()
{
    if (!m_player || !m_player->rendersInSoftware())
        return;
    const qreal ratio = window() ? window()->effectiveDevicePixelRatio() : 1.0;
    const QSize pixels = (size() * ratio).toSize();
    if (!pixels.isEmpty())
        m_player->setSoftwareFrameSize(pixels);
}

void VideoSurface::geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry)
{
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    if (m_framebuffer)
        m_framebuffer->setSize(newGeometry.size());
    pushSize();
    if (newGeometry.height() != oldGeometry.height())
        applyCaptionInset();
    update();
}

void VideoSurface::itemChange(ItemChange change, const ItemChangeData &value)
{
    QQuickItem::itemChange(change, value);
    if (change == ItemSceneChange || change == ItemDevicePixelRatioHasChanged)
        pushSize();
}

QSGNode *VideoSurface::updatePaintNode(QSGNode *node, UpdatePaintNodeData *)
{
    const QImage frame = m_framebuffer || !m_player ? QImage() : m_player->softwareFrame();
    const bool frameChanged = !frame.isNull() && std::exchange(m_frameDirty, false);
    // Drawn in the frame being prepared now (render thread; the mark is thread-safe).
    if (frameChanged)
        markStartup(StartupMilestone::FirstVideoFrameDrawn);
    // mpv already letterboxes or crops to the size asked for; a frame of an older size is
    // stretched for the moment until the next one arrives.
    return m_node.update(node, window(),
        { frame, QRectF(QPointF(0, 0), frame.size()), boundingRect(), m_cornerRadius,
            QSGTexture::Linear, true },
        frameChanged);
}

} // namespace orvella
