#pragma once

#include "ui/AnimationTimeline.h"
#include "ui/FilledShapes.h"

#include <QColor>
#include <QtQml/qqmlregistration.h>

namespace orvella {

// The placeholder of a picture on its way, drawn by one item on its own clock: a rounded
// rectangle of `cornerRadius` filled with a linear gradient from the unit point (phase − 0.2, 0)
// to (phase + 0.6, 1) through `baseColor`, white at opacity 0.08 + 0.1 × phase, `bandColor` at
// opacity 0.9 and `baseColor` again (phase from Pulse::shimmerPhase), over `backgroundColor`,
// and centred on it a
// spinner of eight `spinnerColor` dots turning once every 0.9 s, all drawn by one node
// (FilledShapes) that looks the same on every scene-graph back end.
class ShimmerBand : public AnimationTimeline
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(
        double cornerRadius READ cornerRadius WRITE setCornerRadius NOTIFY cornerRadiusChanged)
    Q_PROPERTY(QColor baseColor READ baseColor WRITE setBaseColor NOTIFY baseColorChanged)
    Q_PROPERTY(QColor bandColor READ bandColor WRITE setBandColor NOTIFY bandColorChanged)
    Q_PROPERTY(
        QColor spinnerColor READ spinnerColor WRITE setSpinnerColor NOTIFY spinnerColorChanged)
    Q_PROPERTY(QColor backgroundColor READ backgroundColor WRITE setBackgroundColor NOTIFY
            backgroundColorChanged)

public:
    explicit ShimmerBand(QQuickItem *parent = nullptr);

    [[nodiscard]] double cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(double radius);
    [[nodiscard]] QColor baseColor() const { return m_baseColor; }
    void setBaseColor(const QColor &color);
    [[nodiscard]] QColor bandColor() const { return m_bandColor; }
    void setBandColor(const QColor &color);
    [[nodiscard]] QColor spinnerColor() const { return m_spinnerColor; }
    void setSpinnerColor(const QColor &color);
    // What the band lies on, if it is known (transparent otherwise): the band then takes it
    // into its colours, so nothing needs drawing under it.
    [[nodiscard]] QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor &color);

    // The band's gradient over `rect` at `phase`.
    [[nodiscard]] static ShapeFill fill(
        const QRectF &rect, double phase, const QColor &base, const QColor &band);
    // The band and the spinner's dots over `rect` at `time` (seconds), back to front.
    [[nodiscard]] std::vector<FilledShape> shapes(const QRectF &rect, double time) const;

signals:
    void cornerRadiusChanged();
    void baseColorChanged();
    void bandColorChanged();
    void spinnerColorChanged();
    void backgroundColorChanged();

protected:
    QSGNode *updatePaintNode(QSGNode *oldNode, UpdatePaintNodeData *) override;
    void geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry) override;

private:
    double m_cornerRadius = 0;
    QColor m_baseColor = Qt::black;
    QColor m_bandColor = Qt::black;
    QColor m_spinnerColor = Qt::transparent;
    QColor m_backgroundColor = Qt::transparent;
};

} // namespace orvella
