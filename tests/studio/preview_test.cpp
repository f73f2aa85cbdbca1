#include "studio/StudioPreviewItem.h"
#include "support/TestAsync.h"

#include <QQuickWindow>
#include <gtest/gtest.h>

using namespace orvella;

// On the scene graph the tests draw with (the software one), as on OpenGL: the frame fills the
// item cropped, not stretched, and its corners are cut.
TEST(ProcessedCameraPreview, FillsTheViewCroppedInsideRoundedCorners)
{
    QQuickWindow window;
    window.setColor(Qt::green);
    window.resize(200, 130);
    StudioPreviewItem item(window.contentItem());
    item.setPosition({ 20, 20 });
    item.setSize({ 160, 90 });
    // Blue bands left and right of a red middle that alone has the item's shape.
    QImage frame(400, 90, QImage::Format_RGB32);
    frame.fill(Qt::blue);
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 120; x < 280; ++x)
            frame.setPixelColor(x, y, Qt::red);
    }
    item.setImage(frame);
    item.setCornerRadius(18);
    window.show();
    QImage drawn;
    ASSERT_TRUE(orvella::test::waitUntil([&] {
        drawn = window.grabWindow();
        return !drawn.isNull() && drawn.pixelColor(100, 65) == QColor(Qt::red);
    }));
    const QPoint origin(20, 20);
    for (const QPoint inside : { QPoint(2, 45), QPoint(157, 45), QPoint(80, 1), QPoint(18, 18) })
        EXPECT_EQ(drawn.pixelColor(origin + inside), QColor(Qt::red))
            << inside.x() << "," << inside.y();
    for (const QPoint corner :
        { QPoint(0, 0), QPoint(159, 0), QPoint(0, 89), QPoint(159, 89), QPoint(3, 3) })
        EXPECT_EQ(drawn.pixelColor(origin + corner), QColor(Qt::green))
            << corner.x() << "," << corner.y();
}
