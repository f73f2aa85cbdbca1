#include "player/VideoSurface.h"

#include "platform/StartupTrace.h"

#include <QQuickFramebufferObject>
#include <QQuickWindow>
#include <QSGImageNode>
#include <algorithm>

namespace orvella {

// The OpenGL path: a framebuffer item whose renderer the player provides.
class OpenGlVideoFramebuffer : public QQuickFramebufferObject
{
public:
    OpenGlVideoFramebuffer(MediaPlayer *player, QQuickItem *parent)
        : QQuickFramebufferObject(parent)
        , m_player(player)
    { }
    [[nodiscard]] Renderer *createRenderer() const override
    {
        return m_player ? m_player->createOpenGlRenderer() : nullptr;
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
    emit playerChanged();
    emit framesShownChanged();
}

void VideoSurface::followOutput()
{
    const bool openGl = m_player && !m_player->rendersInSoftware();
    if (openGl && !m_framebuffer) {
        m_framebuffer = new OpenGlVideoFramebuffer(m_player.get(), this);
        m_framebuffer->setSize(size());
    } else if (!openGl) {
        delete m_framebuffer;
    }
    pushSize();
    m_frameDirty = true;
    update();
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
    if (m_framebuffer || !m_player || width() <= 0 || height() <= 0) {
        delete node;
        return nullptr;
    }
    const QImage frame = m_player->softwareFrame();
    if (frame.isNull()) {
        delete node;
        return nullptr;
    }
    auto *image = static_cast<QSGImageNode *>(node);
    if (!image) {
        image = window()->createImageNode();
        image->setOwnsTexture(true);
        image->setFiltering(QSGTexture::Linear);
        m_frameDirty = true;
    }
    if (m_frameDirty) {
        // An opaque frame lets the renderer skip blending and whatever lies under the picture.
        image->setTexture(window()->createTextureFromImage(frame));
        m_frameDirty = false;
        // Drawn in the frame being prepared now (render thread; the mark is thread-safe).
        markStartup(StartupMilestone::FirstVideoFrameDrawn);
    }
    // mpv already letterboxes or crops to the size asked for; a frame of an older size is
    // stretched for the moment until the next one arrives.
    image->setRect(boundingRect());
    return image;
}

} // namespace orvella
