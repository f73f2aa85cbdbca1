#include "ui/TextShadowItem.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QQuickWindow>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <vector>

namespace orvella {

namespace {

// A Gaussian of `radius` samples each side, with the deviation drop shadows use for it.
std::vector<float> gaussianWeights(int radius)
{
    const double deviation = (radius + 1) / 3.3333;
    std::vector<float> weights(size_t(2 * radius + 1));
    double sum = 0;
    for (int i = -radius; i <= radius; ++i) {
        const double weight = std::exp(-double(i * i) / (2 * deviation * deviation));
        weights[size_t(i + radius)] = float(weight);
        sum += weight;
    }
    for (float &weight : weights)
        weight = float(weight / sum);
    return weights;
}

// Blurs an 8-bit coverage picture along rows, then along columns.
QImage blurred(const QImage &coverage, int radius)
{
    if (radius <= 0)
        return coverage;
    const std::vector<float> weights = gaussianWeights(radius);
    const int width = coverage.width(), height = coverage.height();
    std::vector<float> rows(size_t(width) * size_t(height), 0.f);
    for (int y = 0; y < height; ++y) {
        const uchar *line = coverage.constScanLine(y);
        float *out = rows.data() + size_t(y) * size_t(width);
        for (int x = 0; x < width; ++x) {
            float sum = 0;
            for (int k = -radius; k <= radius; ++k) {
                const int source = x + k;
                if (source >= 0 && source < width)
                    sum += weights[size_t(k + radius)] * float(line[source]);
            }
            out[x] = sum;
        }
    }
    QImage result(width, height, QImage::Format_Alpha8);
    for (int y = 0; y < height; ++y) {
        uchar *line = result.scanLine(y);
        for (int x = 0; x < width; ++x) {
            float sum = 0;
            for (int k = -radius; k <= radius; ++k) {
                const int source = y + k;
                if (source >= 0 && source < height)
                    sum += weights[size_t(k + radius)]
                        * rows[size_t(source) * size_t(width) + size_t(x)];
            }
            line[x] = uchar(std::clamp(int(std::lround(sum)), 0, 255));
        }
    }
    return result;
}

} // namespace

TextShadowItem::TextShadowItem(QQuickItem *parent)
    : PictureItem(QSGTexture::Linear, parent)
{ }

void TextShadowItem::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    emit textChanged();
    changed();
}

void TextShadowItem::setFont(const QFont &font)
{
    if (font == m_font)
        return;
    m_font = font;
    emit fontChanged();
    changed();
}

void TextShadowItem::setColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    emit colorChanged();
    changed();
}

void TextShadowItem::setRadius(double radius)
{
    if (radius == m_radius)
        return;
    m_radius = radius;
    emit radiusChanged();
    changed();
}

void TextShadowItem::setHorizontalAlignment(int alignment)
{
    if (alignment == m_alignment)
        return;
    m_alignment = alignment;
    emit horizontalAlignmentChanged();
    changed();
}

void TextShadowItem::setMaximumLineCount(int count)
{
    if (count == m_maximumLineCount)
        return;
    m_maximumLineCount = count;
    emit maximumLineCountChanged();
    changed();
}

void TextShadowItem::geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry)
{
    PictureItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() != oldGeometry.size())
        changed();
}

void TextShadowItem::itemChange(ItemChange change, const ItemChangeData &value)
{
    PictureItem::itemChange(change, value);
    // The window tells the pixel ratio.
    if ((change == ItemSceneChange && value.window) || change == ItemDevicePixelRatioHasChanged)
        changed();
}

void TextShadowItem::changed()
{
    // Made once before the next frame however many properties change meanwhile.
    polish();
}

void TextShadowItem::updatePolish()
{
    setPicture(shadow(window() ? window()->effectiveDevicePixelRatio() : 1.0));
}

QImage TextShadowItem::coverage(double scale, int margin) const
{
    const QSize size = (boundingRect().size() * scale).toSize();
    QImage picture(size, QImage::Format_Alpha8);
    picture.fill(0);
    const double lineWidth = width() - 2 * m_radius;
    if (m_text.isEmpty() || lineWidth <= 0 || size.isEmpty())
        return picture;

    QTextOption option(Qt::Alignment(m_alignment) & Qt::AlignHorizontal_Mask);
    option.setWrapMode(QTextOption::WordWrap);
    QTextLayout layout(m_text, m_font);
    layout.setTextOption(option);
    layout.beginLayout();
    double y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(lineWidth);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();

    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    painter.setPen(Qt::black);
    const QPointF origin(margin / scale, margin / scale);
    const int lines = layout.lineCount();
    const bool cut = m_maximumLineCount > 0 && lines > m_maximumLineCount;
    const int shown = cut ? m_maximumLineCount : lines;
    for (int i = 0; i < shown - (cut ? 1 : 0); ++i)
        layout.lineAt(i).draw(&painter, origin);
    if (cut) {
        // The rest of the text on one line, elided on the right.
        const QTextLine last = layout.lineAt(shown - 1);
        const QString rest = m_text.mid(last.textStart()).replace(u'\n', u' ');
        QTextLayout tail(QFontMetricsF(m_font).elidedText(rest, Qt::ElideRight, lineWidth), m_font);
        tail.setTextOption(option);
        tail.beginLayout();
        QTextLine line = tail.createLine();
        line.setLineWidth(lineWidth);
        line.setPosition(last.position());
        tail.endLayout();
        line.draw(&painter, origin);
    }
    return picture;
}

QImage TextShadowItem::shadow(double scale) const
{
    const int margin = int(std::lround(m_radius * scale));
    const QImage alpha = blurred(coverage(scale, margin), margin);
    QImage picture(alpha.size(), QImage::Format_ARGB32_Premultiplied);
    const QRgb color = m_color.rgba();
    for (int y = 0; y < alpha.height(); ++y) {
        const uchar *in = alpha.constScanLine(y);
        auto *out = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < alpha.width(); ++x) {
            const int a = qAlpha(color) * in[x] / 255;
            out[x] = qPremultiply(qRgba(qRed(color), qGreen(color), qBlue(color), a));
        }
    }
    picture.setDevicePixelRatio(scale);
    return picture;
}

} // namespace orvella
