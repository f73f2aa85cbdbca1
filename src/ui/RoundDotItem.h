#pragma once

#include <QColor>
#include <QQuickItem>
#include <QtQml/qqmlregistration.h>

namespace orvella {

// A filled circle of any diameter, fractions of a pixel included, centred in the item, drawn as
// a filled shape (see FilledShapes) so every scene-graph back end draws it alike; a rounded
// Rectangle that is scaled or sized to fractions turns square or lopsided on the software one.
class RoundDotItem : public QQuickItem
{
    Q_OBJECT
    QML_NAMED_ELEMENT(RoundDot)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(double diameter READ diameter WRITE setDiameter NOTIFY diameterChanged)

public:
    explicit RoundDotItem(QQuickItem *parent = nullptr);

    [[nodiscard]] QColor color() const { return m_color; }
    void setColor(const QColor &color);
    // At most the item's smaller side.
    [[nodiscard]] double diameter() const { return m_diameter; }
    void setDiameter(double diameter);

signals:
    void colorChanged();
    void diameterChanged();

protected:
    QSGNode *updatePaintNode(QSGNode *oldNode, UpdatePaintNodeData *) override;
    void geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry) override;

private:
    QColor m_color = Qt::white;
    double m_diameter = 0;
};

} // namespace orvella
