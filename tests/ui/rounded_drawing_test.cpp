#include "ui/FilledShapes.h"
#include "ui/RoundedCorners.h"
#include "ui/ShimmerBand.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

using orvella::ShimmerBand;
using orvella::RoundedCorners::cropToFill;
using orvella::RoundedCorners::outline;
using Vertex = QSGGeometry::ColoredPoint2D;

double polygonArea(const QList<QPointF> &points)
{
    double twice = 0;
    for (qsizetype i = 0; i < points.size(); ++i) {
        const QPointF a = points[i], b = points[(i + 1) % points.size()];
        twice += a.x() * b.y() - b.x() * a.y();
    }
    return twice / 2;
}

TEST(RoundedCorners, OutlineRunsClockwiseRoundTheRoundedRectangle)
{
    const QRectF rect(10, 20, 240, 135);
    EXPECT_NEAR(polygonArea(outline(rect, 0)), 240 * 135, 1e-6);
    // Each corner gives up the square of the radius less a quarter circle; the arcs stay
    // within a tenth of a unit of the circle.
    const QList<QPointF> rounded = outline(rect, 12);
    EXPECT_NEAR(polygonArea(rounded), 240 * 135 - (4 - M_PI) * 144, 4 * 12 * 0.1 * M_PI / 2);
    EXPECT_GT(polygonArea(rounded), 0) << "clockwise on screen (y down)";
    for (const QPointF &p : rounded)
        EXPECT_TRUE(rect.adjusted(-1e-6, -1e-6, 1e-6, 1e-6).contains(p));
    // A radius beyond half the short side makes a capsule, not a bow tie.
    EXPECT_NEAR(
        polygonArea(outline(rect, 500)), 240 * 135 - (4 - M_PI) * 67.5 * 67.5, 4 * 67.5 * 0.16);
}

TEST(RoundedCorners, CropToFillKeepsTheAspectAndCentres)
{
    EXPECT_EQ(cropToFill(QSizeF(640, 360), QSizeF(90, 90)), QRectF(140, 0, 360, 360));
    EXPECT_EQ(cropToFill(QSizeF(200, 200), QSizeF(160, 90)), QRectF(0, 43.75, 200, 112.5));
    EXPECT_EQ(cropToFill(QSizeF(200, 113), QSizeF(0, 0)), QRectF(0, 0, 200, 113));
}

TEST(FilledShapes, OverLaysOneColourOnAnother)
{
    const QColor navy(13, 31, 60);
    // Over an opaque colour the result is opaque, mixed by the upper colour's opacity.
    const QColor light = orvella::FilledShapes::over(QColor(255, 255, 255, 51), navy);
    EXPECT_EQ(light.alpha(), 255);
    EXPECT_NEAR(light.red(), 13 + (255 - 13) * 0.2, 1);
    EXPECT_NEAR(light.blue(), 60 + (255 - 60) * 0.2, 1);
    EXPECT_EQ(orvella::FilledShapes::over(navy, Qt::white), navy);
    // Two half-transparent colours give three quarters.
    const QColor both = orvella::FilledShapes::over(QColor(255, 0, 0, 128), QColor(0, 0, 255, 128));
    EXPECT_NEAR(both.alphaF(), 0.75, 0.01);
    EXPECT_GT(both.red(), both.blue());
    EXPECT_EQ(orvella::FilledShapes::over(Qt::transparent, Qt::transparent).alpha(), 0);
}

TEST(ShimmerBand, GradientSweepsWithThePhase)
{
    const QColor base(13, 31, 60), band(10, 22, 40);
    const orvella::ShapeFill fill = ShimmerBand::fill(QRectF(0, 0, 200, 100), 0.5, base, band);
    EXPECT_EQ(fill.start, QPointF(60, 0));
    EXPECT_EQ(fill.end, QPointF(220, 100));
    ASSERT_EQ(fill.stops.size(), 4);
    EXPECT_EQ(fill.stops[0].second, base);
    EXPECT_NEAR(fill.stops[1].first, 1.0 / 3, 1e-9);
    EXPECT_NEAR(fill.stops[1].second.alphaF(), 0.13, 1e-3);
    EXPECT_EQ(fill.stops[1].second.red(), 255);
    EXPECT_NEAR(fill.stops[2].second.alphaF(), 0.9, 1e-3);
    EXPECT_EQ(fill.stops[3].second, base);
    // Before the start and after the end the base colour holds.
    const Vertex before = orvella::FilledShapes::colourAt(fill, QPointF(0, 0));
    EXPECT_EQ(before.r, 13);
    EXPECT_EQ(before.a, 255);
    EXPECT_EQ(orvella::FilledShapes::colourAt(fill, QPointF(240, 100)).b, 60);
}

TEST(ShimmerBand, DrawsTheBandThenEightFadingDotsTurningOnceEveryNineTenths)
{
    ShimmerBand band;
    band.setCornerRadius(10);
    band.setSpinnerColor(QColor(212, 168, 83, 217));
    const QRectF rect(0, 0, 160, 90);
    const std::vector<orvella::FilledShape> still = band.shapes(rect, 0);
    ASSERT_EQ(still.size(), 9u);
    EXPECT_EQ(still[0].outline.boundingRect(), rect);
    EXPECT_EQ(still[0].fill.stops.size(), 4);
    // The first dot, the brightest, starts at the top; each one after it is 11 % fainter.
    EXPECT_NEAR(still[1].outline.boundingRect().center().x(), 80, 1e-6);
    EXPECT_NEAR(still[1].outline.boundingRect().center().y(), 45 - 5.6, 1e-6);
    EXPECT_NEAR(still[1].outline.boundingRect().width(), 2.8, 1e-6);
    for (size_t i = 1; i < still.size(); ++i)
        EXPECT_NEAR(still[i].fill.stops.front().second.alphaF(), 0.85 * (1 - (i - 1) * 0.11), 0.01);
    // A quarter of 0.9 s later it has turned a quarter, clockwise: the first dot is on the right.
    const std::vector<orvella::FilledShape> turned = band.shapes(rect, 0.225);
    EXPECT_NEAR(turned[1].outline.boundingRect().center().x(), 80 + 5.6, 1e-6);
    EXPECT_NEAR(turned[1].outline.boundingRect().center().y(), 45, 1e-6);
    // Without a spinner colour only the band is drawn.
    band.setSpinnerColor(Qt::transparent);
    EXPECT_EQ(band.shapes(rect, 0).size(), 1u);
}

TEST(ShimmerBand, OverAnOpaqueBackgroundDrawsOnlyOpaqueTrianglesWithinItsOutline)
{
    ShimmerBand band;
    band.setCornerRadius(10);
    band.setBaseColor(QColor(13, 31, 60));
    band.setBandColor(QColor(10, 22, 40));
    band.setSpinnerColor(QColor(212, 168, 83, 217));
    const QRectF rect(0, 0, 160, 90);
    const auto allTriangles = [&] {
        QList<Vertex> vertices;
        for (const orvella::FilledShape &shape : band.shapes(rect, 1.3))
            vertices.append(orvella::FilledShapes::triangles(shape, 1));
        return vertices;
    };
    // Over whatever the page shows, the band is translucent and its edge fades out.
    const QList<Vertex> loose = allTriangles();
    EXPECT_TRUE(std::ranges::any_of(loose, [](const Vertex &v) { return v.a < 255; }));
    EXPECT_TRUE(
        std::ranges::any_of(loose, [&](const Vertex &v) { return !rect.contains(v.x, v.y); }));
    // Over navy everything is opaque, so nothing needs blending: the band's edge is sharp (no
    // vertex outside it) and the dots fade into the band's colour under them.
    band.setBackgroundColor(QColor(13, 31, 60));
    const QList<Vertex> opaque = allTriangles();
    EXPECT_TRUE(std::ranges::all_of(opaque, [](const Vertex &v) { return v.a == 255; }));
    EXPECT_TRUE(std::ranges::all_of(opaque, [&](const Vertex &v) {
        return rect.adjusted(-1e-3, -1e-3, 1e-3, 1e-3).contains(v.x, v.y);
    }));
    const std::vector<orvella::FilledShape> shapes = band.shapes(rect, 1.3);
    EXPECT_EQ(shapes.front().edge, orvella::FilledShape::Edge::Sharp);
    const QPointF dotCentre = shapes[1].outline.boundingRect().center();
    EXPECT_EQ(shapes[1].beyond, orvella::FilledShapes::colourOf(shapes.front().fill, dotCentre));
}

// Blends a triangle's vertex colours at `p` as the graphics back ends do; nullopt outside.
std::optional<std::array<double, 4>> blend(const Vertex *t, QPointF p)
{
    const double x0 = t[0].x, y0 = t[0].y;
    const double det = (t[1].y - y0) * (t[2].x - x0) - (t[1].x - x0) * (t[2].y - y0);
    if (std::abs(det) < 1e-9)
        return std::nullopt;
    const double b1 = ((p.y() - y0) * (t[2].x - x0) - (p.x() - x0) * (t[2].y - y0)) / det;
    const double b2 = ((p.x() - x0) * (t[1].y - y0) - (p.y() - y0) * (t[1].x - x0)) / det;
    const double b0 = 1 - b1 - b2;
    if (b0 < -1e-9 || b1 < -1e-9 || b2 < -1e-9)
        return std::nullopt;
    return std::array { b0 * t[0].r + b1 * t[1].r + b2 * t[2].r,
        b0 * t[0].g + b1 * t[1].g + b2 * t[2].g, b0 * t[0].b + b1 * t[1].b + b2 * t[2].b,
        b0 * t[0].a + b1 * t[1].a + b2 * t[2].a };
}

TEST(ShimmerBand, TrianglesDrawTheGradientExactlyInsideTheRoundedOutline)
{
    const QRectF rect(0, 0, 240, 135);
    for (const double phase : { 0.0, 0.37, 1.0 }) {
        const orvella::ShapeFill fill
            = ShimmerBand::fill(rect, phase, QColor(13, 31, 60), QColor(10, 22, 40));
        const QList<Vertex> vertices = orvella::FilledShapes::triangles(
            { QPolygonF(outline(rect, 12)), fill, orvella::FilledShape::Edge::Smooth, {} }, 1);
        ASSERT_EQ(vertices.size() % 3, 0);
        ASSERT_GT(vertices.size(), 0);
        // Wherever a triangle covers a point inside the shape, its blend is the gradient's
        // colour there: no triangle spans a stop. The corners' outermost points are clear.
        for (double y = 0.5; y < 135; y += 7.3) {
            for (double x = 0.5; x < 240; x += 6.1) {
                // Points a unit or more inside the outline, away from the edge's fade.
                const double fromLeft = std::min(x, 240 - x), fromTop = std::min(y, 135 - y);
                const bool inside = fromLeft >= 1 && fromTop >= 1
                    && (fromLeft >= 12 || fromTop >= 12
                        || std::hypot(12 - fromLeft, 12 - fromTop) <= 11);
                if (!inside)
                    continue;
                const QPointF p(x, y);
                const Vertex exact = orvella::FilledShapes::colourAt(fill, p);
                int covering = 0;
                for (qsizetype i = 0; i < vertices.size(); i += 3) {
                    const auto colour = blend(vertices.constData() + i, p);
                    if (!colour)
                        continue;
                    ++covering;
                    // Vertex colours are whole bytes: within one of the exact colour.
                    EXPECT_NEAR((*colour)[0], exact.r, 1.0) << x << "," << y;
                    EXPECT_NEAR((*colour)[2], exact.b, 1.0) << x << "," << y;
                    EXPECT_NEAR((*colour)[3], exact.a, 1.0) << x << "," << y;
                }
                EXPECT_GE(covering, 1) << "a hole at " << x << "," << y;
            }
        }
        // Outside the arcs nothing is drawn.
        for (const QPointF corner : { QPointF(1.5, 1.5), QPointF(238.5, 133.5) }) {
            for (qsizetype i = 0; i < vertices.size(); i += 3) {
                const auto colour = blend(vertices.constData() + i, corner);
                EXPECT_TRUE(!colour || (*colour)[3] < 0.5) << "the corner is not cut";
            }
        }
    }
}

} // namespace
