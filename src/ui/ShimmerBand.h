#pragma once

#include <QBrush>
#include <QColor>
#include <QQuickItem>
#include <QSGGeometry>
#include <QtQml/qqmlregistration.h>

namespace orvella {

// The moving light of the picture placeholder: a rounded rectangle of `cornerRadius` filled with
// a linear gradient from the unit point (phase − 0.2, 0) to (phase + 0.6, 1) through
// `baseColor`, white at opacity 0.08 + 0.1 × phase, `bandColor` at opacity 0.9 and `baseColor`
// again. One node draws it in one pass: triangles with vertex colours on the graphics back
// ends, QPainter on the software one, with the same outline, stops and smooth edge.
class ShimmerBand : public QQuickItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(double phase READ phase WRITE setPhase NOTIFY phaseChanged)
    Q_PROPERTY(
        double cornerRadius READ cornerRadius WRITE setCornerRadius NOTIFY cornerRadiusChanged)
    Q_PROPERTY(QColor baseColor READ baseColor WRITE setBaseColor NOTIFY baseColorChanged)
    Q_PROPERTY(QColor bandColor READ bandColor WRITE setBandColor NOTIFY bandColorChanged)

public:
    struct Fill
    {
        QPointF start;
        QPointF end;
        QGradientStops stops;
    };

    explicit ShimmerBand(QQuickItem *parent = nullptr);

    [[nodiscard]] double phase() const { return m_phase; }
    void setPhase(double phase);
    [[nodiscard]] double cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(double radius);
    [[nodiscard]] QColor baseColor() const { return m_baseColor; }
    void setBaseColor(const QColor &color);
    [[nodiscard]] QColor bandColor() const { return m_bandColor; }
    void setBandColor(const QColor &color);

    [[nodiscard]] static Fill fill(
        const QRectF &rect, double phase, const QColor &base, const QColor &band);
    // The gradient's colour at `point`, premultiplied.
    [[nodiscard]] static QSGGeometry::ColoredPoint2D colourAt(const Fill &fill, QPointF point);
    // `rect` rounded by `radius` and filled with `fill`, as triangles (three vertices each)
    // with premultiplied colours; the outline fades to transparent over `edge` units across it.
    [[nodiscard]] static QList<QSGGeometry::ColoredPoint2D> triangles(
        const QRectF &rect, double radius, const Fill &fill, double edge);

signals:
    void phaseChanged();
    void cornerRadiusChanged();
    void baseColorChanged();
    void bandColorChanged();

protected:
    QSGNode *updatePaintNode(QSGNode *oldNode, UpdatePaintNodeData *) override;
    void geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry) override;

private:
    double m_phase = 0;
    double m_cornerRadius = 0;
    QColor m_baseColor = Qt::black;
    QColor m_bandColor = Qt::black;
};

} // namespace orvella
