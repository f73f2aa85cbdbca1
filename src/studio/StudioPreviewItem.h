#pragma once

#include <QImage>
#include <QQuickPaintedItem>
#include <QtQml/qqmlregistration.h>

namespace orvella {

// Paints a processed studio frame scaled to fill the item, keeping its aspect ratio; the
// overflow is left to the parent's clipping.
class StudioPreviewItem : public QQuickPaintedItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QImage image READ image WRITE setImage NOTIFY imageChanged)

public:
    explicit StudioPreviewItem(QQuickItem *parent = nullptr);

    [[nodiscard]] QImage image() const { return m_image; }
    void setImage(const QImage &image);
    void paint(QPainter *painter) override;

    // Where the image lands in an item of this size.
    [[nodiscard]] static QRectF fillRect(QSizeF imageSize, QSizeF itemSize);

signals:
    void imageChanged();

private:
    QImage m_image;
};

} // namespace orvella
