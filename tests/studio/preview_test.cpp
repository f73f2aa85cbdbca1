#include "studio/StudioPreviewItem.h"

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
