#include "app/Application.h"
#include "platform/Clock.h"
#include "support/TestAsync.h"
#include "ui/AnimationTimeline.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {

using namespace std::chrono_literals;

// How much of each pixel of an 8 × 8 place the gold dot covers, drawn over black.
using Coverage = std::array<std::array<double, 8>, 8>;

Coverage coverageAt(const QImage &picture, QPoint topLeft)
{
    // The gold's green channel, 0.659 of full.
    constexpr double goldGreen = 0.659 * 255;
    Coverage coverage {};
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x)
            coverage[y][x] = qGreen(picture.pixel(topLeft + QPoint(x, y))) / goldGreen;
    }
    return coverage;
}

// The welcome's pulsing dots stay round at every size on the software scene graph (the test
// processes' back end), where a scaled rounded rectangle turned square.
TEST(WelcomeDots, StayRoundAtEverySize)
{
    QQmlEngine engine;
    orvella::prepareEngine(engine);
    QQmlComponent component(
        &engine, QUrl(QStringLiteral("qrc:/Orvella/app/StartupWelcomeDots.qml")));
    std::unique_ptr<QQuickItem> dots(qobject_cast<QQuickItem *>(component.create()));
    ASSERT_TRUE(dots) << component.errorString().toStdString();
    auto *timeline = dots->findChild<orvella::AnimationTimeline *>();
    ASSERT_TRUE(timeline);
    // At a whole second the first dot is at its smallest, 60 %, and the third at 95.6 %.
    orvella::ManualClock clock;
    clock.setSinceEpoch(std::chrono::milliseconds(qint64((978307200.0 + 100) * 1000)));
    timeline->setClock(clock);

    QQuickWindow window;
    window.setColor(Qt::black);
    window.resize(64, 16);
    dots->setParentItem(window.contentItem());
    dots->setPosition({ 4, 4 });
    window.show();
    QImage picture;
    ASSERT_TRUE(orvella::test::waitUntil([&] {
        picture = window.grabWindow();
        return !picture.isNull() && qGreen(picture.pixel(8, 8)) > 100;
    }));

    // Places are 8 wide, 8 apart.
    for (const auto &[place, scale] : { std::pair { 0, 0.6 }, std::pair { 2, 0.956 } }) {
        SCOPED_TRACE(place);
        const Coverage coverage = coverageAt(picture, QPoint(4 + 16 * place, 4));
        const double radius = 4 * scale;
        double area = 0;
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                area += coverage[y][x];
                // Centred and as round one way as the other.
                EXPECT_NEAR(coverage[y][x], coverage[y][7 - x], 0.1) << x << "," << y;
                EXPECT_NEAR(coverage[y][x], coverage[7 - y][x], 0.1) << x << "," << y;
                EXPECT_NEAR(coverage[y][x], coverage[x][y], 0.1) << x << "," << y;
            }
        }
        // A circle's area, not a square's.
        EXPECT_NEAR(area, M_PI * radius * radius, 0.05 * M_PI * radius * radius);
    }
    dots->setParentItem(nullptr);
}

} // namespace
