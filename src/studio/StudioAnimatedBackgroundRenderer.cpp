#include "studio/StudioAnimatedBackgroundRenderer.h"

#include "platform/Clock.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

namespace orvella {

namespace {

constexpr double w = StudioAnimatedBackgroundRenderer::width;
constexpr double h = StudioAnimatedBackgroundRenderer::height;

QColor rgba(double r, double g, double b, double a = 1.0)
{
    return QColor::fromRgbF(
        static_cast<float>(r), static_cast<float>(g), static_cast<float>(b), static_cast<float>(a));
}

const QColor clear = rgba(0, 0, 0, 0);

// A radial gradient between two circles of one centre, drawn only within the outer circle (no
// extension beyond its ends).
void fillRadial(QPainter &painter, QPointF centre, double innerRadius, double outerRadius,
    const QGradientStops &stops)
{
    if (outerRadius <= 0)
        return;
    QRadialGradient gradient(centre, outerRadius, centre);
    QGradientStops scaled;
    const double start = innerRadius / outerRadius;
    for (const auto &[position, colour] : stops)
        scaled.append({ start + position * (1.0 - start), colour });
    if (start > 0)
        scaled.prepend({ 0.0, clear });
    gradient.setStops(scaled);
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawEllipse(centre, outerRadius, outerRadius);
}

// Text whose line box has its lower-left corner at the point (y up).
void drawText(QPainter &painter, const QString &text, const QFont &font, const QColor &colour,
    QPointF lowerLeft)
{
    painter.save();
    painter.translate(lowerLeft);
    painter.scale(1, -1);
    painter.setFont(font);
    painter.setPen(colour);
    const QFontMetricsF metrics(font);
    painter.drawText(QPointF(0, -metrics.descent()), text);
    painter.restore();
}

QFont systemFont(double size, QFont::Weight weight)
{
    QFont font;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(size))));
    font.setWeight(weight);
    return font;
}

// The logo resampled once to about the size it is drawn at, so that the frames (up to 260
// tiles each, 30 times a second) only draw it nearly one to one.
QImage scaledLogo(const QImage &logo, double side)
{
    if (logo.isNull())
        return {};
    const int pixels = static_cast<int>(std::ceil(side));
    return logo.scaled(pixels, pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

constexpr double tileSide = 53.856;
// The hero disc pulses up to 216 x 1.035.
constexpr double heroSide = 224;

// Draws a picture into the square centred on the origin (y up, so the picture is flipped back).
void drawPictureCentred(QPainter &painter, const QImage &picture, double side)
{
    painter.save();
    painter.scale(1, -1);
    painter.drawImage(QRectF(-side / 2, -side / 2, side, side), picture);
    painter.restore();
}

} // namespace

StudioAnimatedBackgroundRenderer::StudioAnimatedBackgroundRenderer(
    QImage tileLogo, QImage brandLogo, QObject *parent)
    : QObject(parent)
    , m_timer(this)
    , m_clock(&Clock::system())
    , m_logo(scaledLogo(tileLogo.isNull() ? brandLogo : tileLogo, tileSide))
    , m_heroLogo(scaledLogo(brandLogo.isNull() ? tileLogo : brandLogo, heroSide))
    , m_heroLogoSmall(scaledLogo(brandLogo.isNull() ? tileLogo : brandLogo, 0.07 * h))
{
    if (!m_logo.isNull()) {
        // The logo turned by every angle the wall's wobble takes, in steps too small to see,
        // the drawing space's upward y turned into the picture's downward one.
        const int side = static_cast<int>(std::ceil(tileSide * 1.1)) + 2;
        const double step = 2 * maxTileTurn / (tileTurns - 1);
        m_tiles.reserve(tileTurns);
        for (int i = 0; i < tileTurns; ++i) {
            QImage tile(side, side, QImage::Format_ARGB32_Premultiplied);
            tile.fill(Qt::transparent);
            QPainter painter(&tile);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.translate(side / 2.0, side / 2.0);
            painter.rotate(-(-maxTileTurn + step * i) * 180.0 / std::numbers::pi);
            painter.drawImage(QRectF(-tileSide / 2, -tileSide / 2, tileSide, tileSide), m_logo);
            painter.end();
            m_tiles.push_back(std::move(tile));
        }
    }
    m_timer.setInterval(1000 / 30);
    connect(&m_timer, &QTimer::timeout, this, &StudioAnimatedBackgroundRenderer::renderAndDeliver);
}

void StudioAnimatedBackgroundRenderer::start(
    StudioAnimatedBackgroundKind kind, FrameCallback onFrame)
{
    stop();
    m_kind = kind;
    m_onFrame = std::move(onFrame);
    m_timer.start();
    renderAndDeliver();
}

void StudioAnimatedBackgroundRenderer::stop()
{
    m_timer.stop();
    m_onFrame = nullptr;
}

void StudioAnimatedBackgroundRenderer::renderAndDeliver()
{
    if (!m_onFrame)
        return;
    const QImage frame = render(m_kind, static_cast<double>(m_clock->sinceEpoch().count()));
    if (!frame.isNull() && m_onFrame)
        m_onFrame(frame);
}

QImage StudioAnimatedBackgroundRenderer::render(StudioAnimatedBackgroundKind kind, double t) const
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return {};
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // Drawing space: origin at the lower-left corner, y growing upwards.
    painter.translate(0, h);
    painter.scale(1, -1);

    drawStudioBase(painter);
    switch (kind) {
    case StudioAnimatedBackgroundKind::studioLights:
        drawParticles(painter, 18, t);
        for (int j = 0; j < 5; ++j) {
            const double b = t * 0.0015 + 1.2 * j;
            const QPointF centre(
                (0.17 * j + 0.15) * w + 40 * std::sin(b), 86.4 + 20 * std::cos(0.8 * b));
            const double radius = 120 + 30 * std::sin(1.3 * b);
            fillRadial(
                painter, centre, 0, radius, { { 0, rgba(0.83, 0.66, 0.33, 0.35) }, { 1, clear } });
        }
        break;
    case StudioAnimatedBackgroundKind::goldenRays: {
        painter.save();
        painter.translate(640, 144);
        painter.rotate(t * 0.0003 * 180.0 / std::numbers::pi);
        QPainterPath ray;
        ray.moveTo(0, 0);
        ray.lineTo(-60, 720);
        ray.lineTo(60, 720);
        ray.closeSubpath();
        ray.setFillRule(Qt::WindingFill);
        for (int i = 0; i < 12; ++i) {
            painter.rotate(30.0);
            painter.fillPath(ray, rgba(1.0, 0.86, 0.55, 0.18));
        }
        painter.restore();
        drawParticles(painter, 12, t);
        break;
    }
    case StudioAnimatedBackgroundKind::softBokeh:
        drawParticles(painter, 32, t);
        break;
    case StudioAnimatedBackgroundKind::orvellaTileWall:
        drawTileWall(painter, t);
        drawParticles(painter, 22, t);
        fillRadial(painter, QPointF(640, 324), 0, 537.6,
            { { 0, rgba(0.83, 0.66, 0.33, 0.16) }, { 1, clear } });
        break;
    case StudioAnimatedBackgroundKind::orvellaHeroStudio:
        drawParticles(painter, 26, t);
        drawOrvellaHeroStudio(painter, t);
        break;
    case StudioAnimatedBackgroundKind::orvellaBroadcastSet:
        drawTileWall(painter, t + 500);
        drawParticles(painter, 30, t);
        drawOrvellaBroadcastSet(painter, t);
        break;
    }
    painter.end();
    return image;
}

void StudioAnimatedBackgroundRenderer::drawStudioBase(QPainter &painter) const
{
    QRadialGradient base(QPointF(w / 2, h / 2), 0.85 * w, QPointF(w / 2, 0.35 * h), 0);
    base.setStops({ { 0, rgba(0.05, 0.13, 0.28) }, { 0.55, rgba(0.03, 0.08, 0.16) },
        { 1, rgba(0.07, 0.04, 0.11) } });
    painter.fillRect(QRectF(0, 0, w, h), base);
    QLinearGradient wash(QPointF(0, 0), QPointF(w, h));
    wash.setStops({ { 0, rgba(0.18, 0.49, 0.82, 0.08) }, { 0.5, rgba(0.83, 0.66, 0.33, 0.05) },
        { 1, rgba(0.07, 0.04, 0.11, 0.2) } });
    painter.fillRect(QRectF(0, 0, w, h), wash);
}

void StudioAnimatedBackgroundRenderer::drawParticles(QPainter &painter, int count, double t) const
{
    for (int i = 0; i < count; ++i) {
        const double p = i * 1.618;
        const double a = t * 0.00055 + p;
        const double x = (std::sin(p + 0.9 * a) * 0.5 + 0.5) * 1280;
        const double y = std::fmod(t * 0.035 + 90 * p, 840) - 60;
        const double r = 14 + 10 * (i % 7) + 6 * std::sin(a);
        const QColor colour
            = i % 3 == 0 ? rgba(0.94, 0.84, 0.55, 0.35) : rgba(0.47, 0.73, 1.0, 0.28);
        fillRadial(painter, QPointF(x, y), 0, r, { { 0, colour }, { 1, clear } });
    }
}

void StudioAnimatedBackgroundRenderer::drawTileWall(QPainter &painter, double tau) const
{
    if (m_tiles.empty())
        return;
    const double ax = 12 * std::sin(tau * 0.0004);
    const double ay = 8 * std::cos(tau * 0.00035);
    // Tiles are blitted upright on the device from their turned copies: the transform of the
    // drawing space only places their centres.
    const QTransform toDevice = painter.transform();
    painter.save();
    painter.resetTransform();
    for (int r = -1; r <= 11; ++r) {
        for (int c = -1; c <= 18; ++c) {
            const double wobble = std::sin(tau * 0.001 + 0.7 * r + c / 2.0);
            const int q = (r + c) % 4; // sign of the dividend, as C++ gives it
            painter.setOpacity(0.06 + 0.025 * q);
            const int s = r % 2;
            const QPointF centre
                = toDevice.map(QPointF(ax + s * 39.6 + 79.2 * c + 39.6, ay + 79.2 * r + 39.6));
            const QImage &tile = turnedTile(0.04 * wobble);
            painter.drawImage(QPointF(std::round(centre.x() - tile.width() / 2.0),
                                  std::round(centre.y() - tile.height() / 2.0)),
                tile);
        }
    }
    painter.restore();
}

const QImage &StudioAnimatedBackgroundRenderer::turnedTile(double angle) const
{
    const double step = 2 * maxTileTurn / (tileTurns - 1);
    const auto index = static_cast<std::size_t>(
        std::clamp(std::lround((angle + maxTileTurn) / step), 0L, long(tileTurns - 1)));
    return m_tiles[index];
}

void StudioAnimatedBackgroundRenderer::drawOrvellaHeroStudio(QPainter &painter, double t) const
{
    if (m_heroLogo.isNull())
        return;
    const double d = std::min(w, h) * 0.3 * (1 + 0.035 * std::sin(t * 0.002));
    const QPointF centre(w / 2, 0.44 * h);
    fillRadial(painter, centre, 0, 1.8 * d,
        { { 0, rgba(1.0, 0.9, 0.63, 0.5) }, { 0.35, rgba(0.83, 0.66, 0.33, 0.2) },
            { 0.7, rgba(0.18, 0.49, 0.82, 0.08) }, { 1, clear } });
    painter.save();
    painter.setOpacity(0.98);
    painter.translate(centre);
    drawPictureCentred(painter, m_heroLogo, d);
    painter.restore();

    const QFont titleFont = systemFont(std::max(0.03 * w, 20.0), QFont::DemiBold);
    const QString title = QStringLiteral("Orvella");
    const double titleWidth = QFontMetricsF(titleFont).horizontalAdvance(title);
    drawText(painter, title, titleFont, rgba(1, 1, 1, 0.9),
        QPointF((w - titleWidth) / 2, centre.y() + 0.58 * d));
    drawText(painter, QStringLiteral("SHARE YOUR STORY OF FAITH"),
        systemFont(std::max(0.014 * w, 11.0), QFont::Medium), rgba(0.83, 0.66, 0.33, 0.85),
        QPointF((w - 200) / 2, centre.y() + 0.58 * d + 26));
}

void StudioAnimatedBackgroundRenderer::drawOrvellaBroadcastSet(QPainter &painter, double t) const
{
    QRadialGradient vignette(QPointF(w / 2, h / 2), 0.85 * h);
    const double start = 0.2 / 0.85;
    vignette.setStops({ { 0, clear }, { start, clear }, { 1, rgba(0, 0, 0, 0.45) } });
    painter.setPen(Qt::NoPen);
    painter.setBrush(vignette);
    painter.drawEllipse(QPointF(w / 2, h / 2), 0.85 * h, 0.85 * h);

    if (!m_heroLogo.isNull()) {
        const double m = std::min(w, h);
        painter.save();
        painter.setOpacity(0.14);
        painter.translate(w / 2, h / 2);
        drawPictureCentred(painter, m_heroLogo, 0.22 * m);
        painter.restore();
        painter.save();
        painter.setOpacity(0.85);
        painter.translate(0.08 * w, 0.1 * h);
        drawPictureCentred(painter, m_heroLogoSmall, 0.07 * m);
        painter.restore();
    }
    drawText(painter, QStringLiteral("Orvella Studio"),
        systemFont(std::max(0.024 * w, 16.0), QFont::Bold), rgba(1, 1, 1, 0.92),
        QPointF(0.12 * w, 0.11 * h));
    drawText(painter, QStringLiteral("LIVE TESTIMONY BROADCAST"),
        systemFont(std::max(0.012 * w, 10.0), QFont::Medium), rgba(0.83, 0.66, 0.33, 0.8),
        QPointF(0.12 * w, 0.11 * h + 22));
    const double x = std::fmod(t * 0.06, 1.5 * w);
    painter.fillRect(QRectF(x - 0.25 * w, 0, 0.2 * w, h), rgba(1, 1, 1, 0.07));
}

} // namespace orvella
