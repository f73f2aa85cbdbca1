#include "studio/StudioPreviewItem.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace orvella;

TEST(ProcessedCameraPreview, FillsTheViewKeepingTheAspectRatio)
{
    // A 1280x720 frame in a square view fills its height and overflows left and right.
    const QRectF square = StudioPreviewItem::fillRect(QSizeF(1280, 720), QSizeF(400, 400));
    EXPECT_DOUBLE_EQ(square.height(), 400.0);
    EXPECT_NEAR(square.width(), 711.11, 0.01);
    EXPECT_NEAR(square.left(), -155.56, 0.01);
    EXPECT_DOUBLE_EQ(square.top(), 0.0);
    // A wide view fills its width and overflows above and below.
    const QRectF wide = StudioPreviewItem::fillRect(QSizeF(1280, 720), QSizeF(1600, 600));
    EXPECT_DOUBLE_EQ(wide.width(), 1600.0);
    EXPECT_DOUBLE_EQ(wide.height(), 900.0);
    EXPECT_DOUBLE_EQ(wide.top(), -150.0);
    EXPECT_TRUE(StudioPreviewItem::fillRect(QSizeF(), QSizeF(10, 10)).isEmpty());
}

TEST(ProcessedCameraPreview, CutsItsCornersIntoThePicture)
{
    StudioPreviewItem item;
    item.setSize(QSizeF(160, 90));
    QImage frame(320, 180, QImage::Format_RGB32);
    frame.fill(Qt::red);
    item.setImage(frame);
    item.setCornerRadius(18);

    QImage painted(160, 90, QImage::Format_ARGB32_Premultiplied);
    painted.fill(Qt::transparent);
    QPainter painter(&painted);
    item.paint(&painter);
    painter.end();

    // Outside the arcs nothing is left; inside and along the straight edges the picture is whole.
    for (const QPoint corner :
        { QPoint(0, 0), QPoint(159, 0), QPoint(0, 89), QPoint(159, 89), QPoint(3, 3) })
        EXPECT_EQ(qAlpha(painted.pixel(corner)), 0) << corner.x() << "," << corner.y();
    for (const QPoint inside : { QPoint(80, 0), QPoint(0, 45), QPoint(18, 18), QPoint(80, 45) })
        EXPECT_EQ(painted.pixel(inside), qRgb(255, 0, 0)) << inside.x() << "," << inside.y();
    // The arc is smoothed: partly covered where it crosses a pixel (18·(1 - 1/√2) ≈ 5.3).
    const int edge = qAlpha(painted.pixel(5, 5));
    EXPECT_GT(edge, 0);
    EXPECT_LT(edge, 255);
}
