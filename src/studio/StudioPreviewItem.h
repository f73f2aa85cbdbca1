#pragma once

#include <QImage>
#include <QQuickPaintedItem>
#include <QtQml/qqmlregistration.h>

namespace orvella {

// Paints a processed studio frame scaled to fill the item, keeping its aspect ratio (the overflow
// is cut off), inside corners of `cornerRadius` cut into the painting: every scene-graph back end
// draws them alike, which a rounded clip could not give.
class StudioPreviewItem : public QQuickPaintedItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QImage image READ image WRITE setImage NOTIFY imageChanged)
    Q_PROPERTY(
        double cornerRadius READ cornerRadius WRITE setCornerRadius NOTIFY cornerRadiusChanged)

public:
    explicit StudioPreviewItem(QQuickItem *parent = nullptr);

    [[nodiscard]] QImage image() const { return m_image; }
    void setImage(const QImage &image);
    [[nodiscard]] double cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(double radius);
    void paint(QPainter *painter) override;

    // Where the image lands in an item of this size.
    [[nodiscard]] static QRectF fillRect(QSizeF imageSize, QSizeF itemSize);

signals:
    void imageChanged();
    void cornerRadiusChanged();

private:
    QImage m_image;
    double m_cornerRadius = 0;
};

} // namespace orvella
