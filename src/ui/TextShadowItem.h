#pragma once

#include "ui/PictureItem.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QtQml/qqmlregistration.h>

namespace orvella {

// The soft shadow of a text, blurred like a Gaussian drop shadow of `radius` with no offset,
// painted without a shader so every scene-graph back end draws it alike. It is laid out as a
// word-wrapped Text with the same font, alignment and line limit (the last line elided on the
// right) and is as wide as that Text plus `radius` on each side; put it under the Text with
// margins of -radius. The picture is made when the item is polished, before the frame is drawn.
class TextShadowItem : public PictureItem
{
    Q_OBJECT
    QML_NAMED_ELEMENT(TextShadow)
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
    Q_PROPERTY(QFont font READ font WRITE setFont NOTIFY fontChanged)
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)
    Q_PROPERTY(double radius READ radius WRITE setRadius NOTIFY radiusChanged)
    Q_PROPERTY(int horizontalAlignment READ horizontalAlignment WRITE setHorizontalAlignment NOTIFY
            horizontalAlignmentChanged)
    Q_PROPERTY(int maximumLineCount READ maximumLineCount WRITE setMaximumLineCount NOTIFY
            maximumLineCountChanged)

public:
    explicit TextShadowItem(QQuickItem *parent = nullptr);

    [[nodiscard]] QString text() const { return m_text; }
    void setText(const QString &text);
    [[nodiscard]] QFont font() const { return m_font; }
    void setFont(const QFont &font);
    [[nodiscard]] QColor color() const { return m_color; }
    void setColor(const QColor &color);
    [[nodiscard]] double radius() const { return m_radius; }
    void setRadius(double radius);
    [[nodiscard]] int horizontalAlignment() const { return m_alignment; }
    void setHorizontalAlignment(int alignment);
    // 0: no limit.
    [[nodiscard]] int maximumLineCount() const { return m_maximumLineCount; }
    void setMaximumLineCount(int count);

    // The shadow's picture at `scale` device pixels per unit (tests look at it).
    [[nodiscard]] QImage shadow(double scale) const;

signals:
    void textChanged();
    void fontChanged();
    void colorChanged();
    void radiusChanged();
    void horizontalAlignmentChanged();
    void maximumLineCountChanged();

protected:
    void geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry) override;
    void itemChange(ItemChange change, const ItemChangeData &value) override;
    void updatePolish() override;

private:
    // The text's coverage, drawn as the Text draws it, in a picture `margin` larger all round.
    [[nodiscard]] QImage coverage(double scale, int margin) const;
    void changed();

    QString m_text;
    QFont m_font;
    QColor m_color = Qt::black;
    double m_radius = 8;
    int m_alignment = Qt::AlignLeft;
    int m_maximumLineCount = 0;
};

} // namespace orvella
