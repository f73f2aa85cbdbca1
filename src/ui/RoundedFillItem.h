#pragma once

#include <QColor>
#include <QQuickItem>
#include <QtQml/qqmlregistration.h>

namespace orvella {

// A rectangle with corners of `radius`, filled from `fromColor` at its top-left corner to
// `toColor` at its bottom-left (or, `diagonal`, bottom-right) one; a circle when the radius is
// half its side. Drawn as a filled shape (see FilledShapes): its edge is smooth and it looks the
// same on every scene-graph back end, at any size, fractions of a pixel included. (The software
// back end draws a rounded Rectangle with a gradient without smoothing its corners, and one
// scaled or sized to fractions square or lopsided.)
class RoundedFillItem : public QQuickItem
{
    Q_OBJECT
    QML_NAMED_ELEMENT(RoundedFill)
    Q_PROPERTY(double radius READ radius WRITE setRadius NOTIFY fillChanged)
    Q_PROPERTY(QColor fromColor READ fromColor WRITE setFromColor NOTIFY fillChanged)
    Q_PROPERTY(QColor toColor READ toColor WRITE setToColor NOTIFY fillChanged)
    Q_PROPERTY(bool diagonal READ diagonal WRITE setDiagonal NOTIFY fillChanged)

public:
    explicit RoundedFillItem(QQuickItem *parent = nullptr);

    [[nodiscard]] double radius() const { return m_radius; }
    void setRadius(double radius);
    [[nodiscard]] QColor fromColor() const { return m_fromColor; }
    void setFromColor(const QColor &color);
    [[nodiscard]] QColor toColor() const { return m_toColor; }
    void setToColor(const QColor &color);
    [[nodiscard]] bool diagonal() const { return m_diagonal; }
    void setDiagonal(bool diagonal);

signals:
    void fillChanged();

protected:
    QSGNode *updatePaintNode(QSGNode *oldNode, UpdatePaintNodeData *) override;
    void geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry) override;

private:
    template<typename Value>
    void change(Value &member, const Value &value);

    double m_radius = 0;
    QColor m_fromColor = Qt::white;
    QColor m_toColor = Qt::white;
    bool m_diagonal = false;
};

} // namespace orvella
