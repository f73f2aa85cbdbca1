#pragma once

#include "core/ObjectLink.h"
#include "platform/MediaPlayer.h"
#include "ui/PictureItem.h"

#include <QPointer>
#include <QQuickItem>
#include <QtQml/qqmlregistration.h>

namespace orvella {

class OpenGlVideoFramebuffer;

// Shows a media player's picture, clipped to the item: through OpenGL into a framebuffer on a
// display, from the player's software frames offscreen. The picture fits the item (letterboxed)
// or fills it (cropped). Software frames can be drawn inside rounded corners, alike on every
// scene-graph back end; a framebuffer's corners stay square (drawsThroughFramebuffer).
class VideoSurface : public QQuickItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(orvella::MediaPlayer *player READ player WRITE setPlayer NOTIFY playerChanged)
    Q_PROPERTY(FillMode fillMode READ fillMode WRITE setFillMode NOTIFY fillModeChanged)
    Q_PROPERTY(int framesShown READ framesShown NOTIFY framesShownChanged)
    Q_PROPERTY(
        qreal captionInset READ captionInset WRITE setCaptionInset NOTIFY captionInsetChanged)
    Q_PROPERTY(
        qreal cornerRadius READ cornerRadius WRITE setCornerRadius NOTIFY cornerRadiusChanged)
    Q_PROPERTY(bool drawsThroughFramebuffer READ drawsThroughFramebuffer NOTIFY
            drawsThroughFramebufferChanged)

public:
    enum FillMode { AspectFit, AspectFill };
    Q_ENUM(FillMode)

    explicit VideoSurface(QQuickItem *parent = nullptr);
    ~VideoSurface() override;

    [[nodiscard]] MediaPlayer *player() const { return m_player.get(); }
    void setPlayer(MediaPlayer *player);
    [[nodiscard]] FillMode fillMode() const { return m_fillMode; }
    void setFillMode(FillMode mode);
    // Height at the item's bottom that controls cover: captions are drawn above it.
    [[nodiscard]] qreal captionInset() const { return m_captionInset; }
    void setCaptionInset(qreal inset);
    [[nodiscard]] qreal cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(qreal radius);
    [[nodiscard]] bool drawsThroughFramebuffer() const { return !m_framebuffer.isNull(); }
    // Pictures that reached the screen since the player was set (tests and the benchmark).
    [[nodiscard]] int framesShown() const { return m_framesShown; }

signals:
    void playerChanged();
    void fillModeChanged();
    void captionInsetChanged();
    void cornerRadiusChanged();
    void drawsThroughFramebufferChanged();
    void framesShownChanged();

protected:
    QSGNode *updatePaintNode(QSGNode *node, UpdatePaintNodeData *data) override;
    void geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry) override;
    void itemChange(ItemChange change, const ItemChangeData &value) override;

private:
    void frameArrived();
    // Hosts the player's OpenGL renderer, or draws its software frames.
    void followOutput();
    void pushSize();
    void applyFill();
    void applyCaptionInset();

    ObjectLink<MediaPlayer> m_player;
    QPointer<OpenGlVideoFramebuffer> m_framebuffer;
    FillMode m_fillMode = AspectFit;
    qreal m_captionInset = 0;
    qreal m_cornerRadius = 0;
    int m_framesShown = 0;
    bool m_frameDirty = false;
    PictureNode m_node;
};

} // namespace orvella
