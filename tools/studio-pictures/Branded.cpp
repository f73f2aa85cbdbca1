// The service's own pictures: its emblem and logo, and the three branded studio backdrops, in
// the client's navy, sky blue and gold.

#include "Pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRadialGradient>
#include <functional>
#include <numbers>

namespace paint {

namespace {

constexpr float W = pictureWidth;
constexpr float H = pictureHeight;

const QColor navy = QColor::fromRgbF(0.039f, 0.086f, 0.157f);
const QColor navyDeep = QColor::fromRgbF(0.051f, 0.122f, 0.235f);
const QColor canvasBlue = QColor::fromRgbF(0.024f, 0.051f, 0.094f);
const QColor gold = QColor::fromRgbF(0.831f, 0.659f, 0.325f);
const QColor goldLight = QColor::fromRgbF(0.941f, 0.843f, 0.549f);
const QColor goldDeep = QColor::fromRgbF(0.62f, 0.45f, 0.18f);
const QColor sky = QColor::fromRgbF(0.176f, 0.49f, 0.824f);

QColor withAlpha(QColor colour, float alpha)
{
    colour.setAlphaF(alpha);
    return colour;
}

// Gold that catches the light at the top left of the box.
QLinearGradient goldFill(QRectF box)
{
    QLinearGradient gradient(box.topLeft(), box.bottomRight());
    gradient.setStops({ { 0, goldLight }, { 0.45, gold }, { 1, goldDeep } });
    return gradient;
}

// The emblem, side long: a ring holding a cross from whose arms the waves of a broadcast go out.
QPainterPath emblemPath(float side)
{
    const float c = side / 2;
    QPainterPath path;
    path.addEllipse(QPointF(c, c), side * 0.47f, side * 0.47f);
    QPainterPath inner;
    inner.addEllipse(QPointF(c, c), side * 0.405f, side * 0.405f);
    path = path.subtracted(inner);
    // The cross, its ends slightly flared.
    const float bar = side * 0.085f;
    const float flare = side * 0.016f;
    const float crossY = side * 0.4f;
    QPainterPath upright;
    upright.addPolygon(QPolygonF(
        { QPointF(c - bar / 2 - flare, side * 0.16f), QPointF(c + bar / 2 + flare, side * 0.16f),
            QPointF(c + bar / 2, side * 0.3f), QPointF(c + bar / 2, side * 0.72f),
            QPointF(c + bar / 2 + flare, side * 0.84f), QPointF(c - bar / 2 - flare, side * 0.84f),
            QPointF(c - bar / 2, side * 0.72f), QPointF(c - bar / 2, side * 0.3f) }));
    upright.closeSubpath();
    const float arm = side * 0.15f;
    QPainterPath beam;
    beam.addPolygon(QPolygonF({ QPointF(c - arm - flare * 0.6f, crossY - bar / 2 - flare),
        QPointF(c - arm + side * 0.06f, crossY - bar / 2),
        QPointF(c + arm - side * 0.06f, crossY - bar / 2),
        QPointF(c + arm + flare * 0.6f, crossY - bar / 2 - flare),
        QPointF(c + arm + flare * 0.6f, crossY + bar / 2 + flare),
        QPointF(c + arm - side * 0.06f, crossY + bar / 2),
        QPointF(c - arm + side * 0.06f, crossY + bar / 2),
        QPointF(c - arm - flare * 0.6f, crossY + bar / 2 + flare) }));
    beam.closeSubpath();
    path = path.united(upright).united(beam);
    // Two waves on each side of the crossing.
    QPainterPathStroker stroker;
    stroker.setWidth(side * 0.034f);
    stroker.setCapStyle(Qt::RoundCap);
    for (float radius : { side * 0.22f, side * 0.3f }) {
        for (int sideSign = -1; sideSign <= 1; sideSign += 2) {
            QPainterPath wave;
            const float start = sideSign < 0 ? 180.0f - 32.0f : -32.0f;
            const QRectF box(c - radius, crossY - radius, radius * 2, radius * 2);
            wave.arcMoveTo(box, start);
            wave.arcTo(box, start, 64);
            path = path.united(stroker.createStroke(wave));
        }
    }
    return path.simplified();
}

void drawEmblem(QPainter &painter, QPointF topLeft, float side, float opacity = 1)
{
    painter.save();
    painter.translate(topLeft);
    painter.setOpacity(opacity);
    const QPainterPath path = emblemPath(side);
    painter.fillPath(path, goldFill(QRectF(0, 0, side, side)));
    painter.restore();
}

// The emblem and the name beside it; returns the width it takes at this height.
float drawLockup(QPainter &painter, QPointF topLeft, float height, bool draw = true)
{
    QFont serif(QStringLiteral("Noto Serif Display"));
    serif.setPixelSize(int(height * 0.5f));
    serif.setLetterSpacing(QFont::PercentageSpacing, 114);
    QFont sans(QStringLiteral("Noto Sans"));
    sans.setPixelSize(int(height * 0.3f));
    sans.setWeight(QFont::DemiBold);
    sans.setLetterSpacing(QFont::PercentageSpacing, 130);
    QPainterPath name;
    const float nameX = height * 1.24f;
    const float baseline = height * 0.68f;
    name.addText(QPointF(nameX, baseline), serif, QStringLiteral("ORVELLA"));
    const float nameEnd = float(name.boundingRect().right());
    QPainterPath tv;
    tv.addText(QPointF(nameEnd + height * 0.16f, baseline), sans, QStringLiteral("TV"));
    const float width = float(tv.boundingRect().right()) + height * 0.04f;
    if (draw) {
        drawEmblem(painter, topLeft, height);
        painter.save();
        painter.translate(topLeft);
        const QRectF box(0, 0, width, height);
        painter.fillPath(name, goldFill(box));
        painter.fillPath(tv, goldFill(box));
        painter.restore();
    }
    return width;
}

QImage transparentImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void beginPainting(QPainter &painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setPen(Qt::NoPen);
}

void radialGlow(QPainter &painter, QPointF centre, float radius, QColor colour)
{
    QRadialGradient gradient(centre, radius);
    gradient.setStops({ { 0, colour }, { 1, withAlpha(colour, 0) } });
    painter.setBrush(gradient);
    painter.drawEllipse(centre, radius, radius);
}

// Soft out-of-focus discs of light.
void bokeh(QPainter &painter, int count, QRectF area, std::uint32_t seed)
{
    for (int i = 0; i < count; ++i) {
        const auto n = std::uint32_t(i);
        const QPointF centre(area.left() + area.width() * hash01(n, seed),
            area.top() + area.height() * hash01(n, seed + 1));
        const float radius = 14 + 50 * hash01(n, seed + 2);
        const QColor colour = hash01(n, seed + 3) < 0.4f ? goldLight : sky;
        radialGlow(painter, centre, radius, withAlpha(colour, 0.08f + 0.14f * hash01(n, seed + 4)));
    }
}

// The navy of the studios: deep at the top, lifting towards the middle.
void studioGround(QPainter &painter)
{
    QLinearGradient base(QPointF(0, 0), QPointF(0, H));
    base.setStops({ { 0, canvasBlue }, { 0.55, navyDeep }, { 1, navy } });
    painter.fillRect(QRectF(0, 0, W, H), base);
    QLinearGradient wash(QPointF(0, 0), QPointF(W, H));
    wash.setStops({ { 0, withAlpha(sky, 0.08f) }, { 0.5, withAlpha(gold, 0.04f) },
        { 1, withAlpha(QColor::fromRgbF(0.07f, 0.04f, 0.11f), 0.25f) } });
    painter.fillRect(QRectF(0, 0, W, H), wash);
}

// A little grain so that wide gradients do not band.
QImage dithered(const QImage &image, std::uint32_t seed)
{
    Canvas canvas = Canvas::fromImage(image);
    apply(canvas, [seed](int x, int y, Rgb old) {
        const float n = (hash01(std::uint32_t(y) * 1920U + std::uint32_t(x), seed) - 0.5f) / 255.0f;
        return old + Rgb { n, n, n } * 1.5f;
    });
    return canvas.toImage();
}

QImage emblemPicture()
{
    QImage image = transparentImage(512, 512);
    QPainter painter(&image);
    beginPainting(painter);
    drawEmblem(painter, QPointF(0, 0), 512);
    return image;
}

QImage logoCrop()
{
    const float height = 144;
    QImage probe = transparentImage(1, 1);
    QPainter measure(&probe);
    const float width = drawLockup(measure, QPointF(0, 0), height, false);
    measure.end();
    QImage image = transparentImage(int(std::ceil(width)) + 2, int(height) + 2);
    QPainter painter(&image);
    beginPainting(painter);
    drawLockup(painter, QPointF(1, 1), height);
    return image;
}

// A branded backdrop: the studio navy, then what draw paints over it (it may read the picture
// so far), finished with a grain against banding.
QImage studioBackdrop(
    std::uint32_t seed, const std::function<void(QPainter &, const QImage &)> &draw)
{
    QImage image(pictureWidth, pictureHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    beginPainting(painter);
    studioGround(painter);
    draw(painter, image);
    painter.end();
    return dithered(image, seed);
}

QImage orvellaStudio()
{
    return studioBackdrop(502, [](QPainter &painter, const QImage &image) {
        const float floorY = H * 0.76f;
        // The back wall: tall panels with lit seams.
        for (int i = 0; i < 9; ++i) {
            const float x = float(i) * 240 - 60;
            QLinearGradient panel(QPointF(x, 0), QPointF(x + 220, 0));
            panel.setStops({ { 0, withAlpha(navyDeep, 0.9f) }, { 0.5, withAlpha(navy, 0.4f) },
                { 1, withAlpha(canvasBlue, 0.8f) } });
            painter.fillRect(QRectF(x, 0, 220, floorY), panel);
            QLinearGradient seam(QPointF(0, 0), QPointF(0, floorY));
            seam.setStops({ { 0, withAlpha(sky, 0.0f) }, { 0.4, withAlpha(sky, 0.55f) },
                { 1, withAlpha(sky, 0.1f) } });
            painter.fillRect(QRectF(x + 228, 0, 5, floorY), seam);
            radialGlow(painter, QPointF(x + 230, floorY * 0.45f), 90, withAlpha(sky, 0.12f));
        }
        // Beams of light falling from the rig.
        for (int i = 0; i < 4; ++i) {
            const float x = 300 + float(i) * 440;
            const QColor colour = i % 2 == 0 ? goldLight : sky;
            QLinearGradient beam(QPointF(0, 0), QPointF(0, floorY));
            beam.setStops({ { 0, withAlpha(colour, 0.22f) }, { 1, withAlpha(colour, 0.0f) } });
            painter.setBrush(beam);
            painter.drawPolygon(QPolygonF({ QPointF(x - 30, 0), QPointF(x + 30, 0),
                QPointF(x + 220, floorY), QPointF(x - 220, floorY) }));
        }
        // The gold band of light along the wall, and the service's emblem high up.
        QLinearGradient band(QPointF(0, 0), QPointF(W, 0));
        band.setStops({ { 0, withAlpha(gold, 0.1f) }, { 0.5, withAlpha(goldLight, 0.85f) },
            { 1, withAlpha(gold, 0.1f) } });
        painter.fillRect(QRectF(0, floorY * 0.66f, W, 6), band);
        radialGlow(painter, QPointF(W / 2, floorY * 0.66f), 700, withAlpha(gold, 0.12f));
        drawEmblem(painter, QPointF(W * 0.8f - 90, H * 0.16f), 180, 0.5f);
        bokeh(painter, 26, QRectF(0, 0, W, floorY * 0.6f), 501);
        // A glossy floor mirroring the wall.
        QLinearGradient floor(QPointF(0, floorY), QPointF(0, H));
        floor.setStops({ { 0, navyDeep }, { 1, canvasBlue } });
        painter.fillRect(QRectF(0, floorY, W, H - floorY), floor);
        QImage mirror = image.copy(0, int(floorY - (H - floorY)), pictureWidth, int(H - floorY))
                            .mirrored(false, true);
        painter.setOpacity(0.22f);
        painter.drawImage(QPointF(0, floorY), mirror);
        painter.setOpacity(1);
        painter.fillRect(QRectF(0, floorY, W, 3), withAlpha(goldLight, 0.35f));
        radialGlow(painter, QPointF(W / 2, H * 1.1f), 900, withAlpha(QColor(0, 0, 0), 0.35f));
    });
}

QImage orvellaBrandBackdrop()
{
    return studioBackdrop(512, [](QPainter &painter, const QImage &) {
        // Gold light rising from the top centre.
        painter.save();
        painter.translate(W / 2, -80);
        for (int i = 0; i < 14; ++i) {
            painter.rotate(180.0 / 14);
            QLinearGradient ray(QPointF(0, 0), QPointF(0, H * 1.2f));
            ray.setStops({ { 0, withAlpha(goldLight, 0.16f) }, { 1, withAlpha(gold, 0.0f) } });
            painter.setBrush(ray);
            painter.drawPolygon(
                QPolygonF({ QPointF(0, 0), QPointF(-70, H * 1.3f), QPointF(70, H * 1.3f) }));
        }
        painter.restore();
        radialGlow(painter, QPointF(W / 2, H * 0.3f), 900, withAlpha(gold, 0.14f));
        // Waves of the broadcast going out from the logo.
        const QPointF source(W * 0.23f, H * 0.2f);
        QPainterPathStroker stroker;
        stroker.setWidth(3);
        for (int i = 1; i <= 9; ++i) {
            QPainterPath ring;
            ring.addEllipse(source, 160.0 * i, 160.0 * i);
            painter.fillPath(stroker.createStroke(ring), withAlpha(gold, 0.1f - 0.009f * float(i)));
        }
        // A large faint emblem on the right, cut by the edge.
        drawEmblem(painter, QPointF(W * 0.66f, H * 0.18f), 900, 0.07f);
        // The logo at the upper left.
        const float lockupHeight = 150;
        drawLockup(painter, QPointF(source.x() - lockupHeight / 2, source.y() - lockupHeight / 2),
            lockupHeight);
        bokeh(painter, 20, QRectF(0, H * 0.45f, W, H * 0.55f), 511);
        radialGlow(painter, QPointF(W / 2, H * 1.15f), 1000, withAlpha(QColor(0, 0, 0), 0.45f));
    });
}

QImage orvellaLogoTiles()
{
    return studioBackdrop(521, [](QPainter &painter, const QImage &) {
        // The emblem repeated in offset rows, brighter towards the middle.
        const float cell = 216;
        const float side = 128;
        for (int row = -1; row <= 5; ++row) {
            for (int col = -1; col <= 9; ++col) {
                const float x = float(col) * cell + (row % 2 == 0 ? 0 : cell / 2) + 24;
                const float y = float(row) * cell * 0.86f + 60;
                const float d = std::hypot((x + side / 2 - W / 2) / W, (y + side / 2 - H / 2) / H);
                const float opacity = 0.22f + 0.38f * (1 - smoothstep(0.0f, 0.6f, d));
                drawEmblem(painter, QPointF(x, y), side, opacity);
            }
        }
        radialGlow(painter, QPointF(W / 2, H / 2), 700, withAlpha(gold, 0.1f));
        radialGlow(painter, QPointF(W / 2, H * 0.5f), 1400, withAlpha(QColor(0, 0, 0), 0.0f));
        // Darker towards the corners.
        QRadialGradient vignette(QPointF(W / 2, H / 2), W * 0.62f);
        vignette.setStops(
            { { 0.5, withAlpha(QColor(0, 0, 0), 0.0f) }, { 1, withAlpha(QColor(0, 0, 0), 0.5f) } });
        painter.fillRect(QRectF(0, 0, W, H), vignette);
    });
}

} // namespace

std::vector<Picture> brandedPictures()
{
    return {
        { QStringLiteral("Orvella-logo-crop"), logoCrop, "png", QStringLiteral("ui") },
        { QStringLiteral("OrvellaEmblem"), emblemPicture, "png" },
        { QStringLiteral("OrvellaStudio"), orvellaStudio },
        { QStringLiteral("OrvellaBrandBG"), orvellaBrandBackdrop },
        { QStringLiteral("OrvellaLogoTiles"), orvellaLogoTiles },
    };
}

} // namespace paint
