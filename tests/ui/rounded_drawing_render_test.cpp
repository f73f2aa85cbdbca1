// Rounded pictures and placeholders as a window draws them. Built twice: into ui_tests, which
// run offscreen on the software scene graph, and into ui_gl_tests, which run on a display
// through OpenGL; both must cut the same corners. With ORVELLA_SCREENSHOT_DIR set, the drawn
// window is kept there for a person to compare the two.
#include "platform/Clock.h"
#include "support/TestAsync.h"
#include "ui/ImageCache.h"
#include "ui/ShimmerBand.h"

#include <QDir>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

using namespace std::chrono_literals;
using orvella::ImageCache;

const QColor background(0, 200, 0);
const QColor red(230, 20, 20);

struct Drawn
{
    QImage image;
    QSGRendererInterface::GraphicsApi api = QSGRendererInterface::Unknown;
};

// The window drawing `qml` (an Item with `import QtQuick` and `import Orvella`), 600 × 130 over
// the background colour; `prepare` is given the created root before the window shows.
Drawn drawWindow(const QByteArray &qml, const QString &name,
    const std::function<void(QQuickItem &)> &prepare = {})
{
    QQuickWindow window;
    window.setColor(background);
    window.resize(600, 130);
    QQmlEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/"));
    QQmlComponent component(&engine);
    component.setData(
        "import QtQuick\nimport Orvella\n" + qml, QUrl(QStringLiteral("qrc:/test/Probe.qml")));
    std::unique_ptr<QQuickItem> root(qobject_cast<QQuickItem *>(component.create()));
    EXPECT_TRUE(root) << component.errorString().toStdString();
    if (!root)
        return {};
    root->setParentItem(window.contentItem());
    if (prepare)
        prepare(*root);
    int frames = 0;
    QObject::connect(&window, &QQuickWindow::frameSwapped, [&] { ++frames; });
    window.show();
    // A second frame, asked for even where nothing moves, shows what the first one set up.
    EXPECT_TRUE(orvella::test::waitUntil([&] { return frames >= 1; }, 10s));
    window.update();
    EXPECT_TRUE(orvella::test::waitUntil([&] { return frames >= 2; }, 10s));
    const Drawn drawn { window.grabWindow().convertToFormat(QImage::Format_RGB32),
        window.rendererInterface()->graphicsApi() };
    if (const QString folder = qEnvironmentVariable("ORVELLA_SCREENSHOT_DIR"); !folder.isEmpty()) {
        QDir().mkpath(folder);
        const bool software = drawn.api == QSGRendererInterface::Software;
        drawn.image.save(folder + u'/' + name
            + (software ? QStringLiteral("-software.png") : QStringLiteral("-opengl.png")));
    }
    return drawn;
}

// A cached red picture, the placeholder of one that never comes and a placeholder held still,
// side by side, each 160 × 90 with corners of 16.
Drawn drawPictureAndPlaceholder(const QString &name)
{
    const QString url = QStringLiteral("http://127.0.0.1:9/rounded.jpg");
    QImage cached(300, 169, QImage::Format_RGB32);
    cached.fill(red);
    ImageCache::shared().insert(cached, ImageCache::key(url, 300));
    // The third stands still at phase 0.5, so both scene graphs draw it alike.
    orvella::ManualClock clock;
    clock.setSinceEpoch(std::chrono::seconds(978307200));
    const Drawn drawn = drawWindow("Item {\n"
                                   "  RemoteImage { x: 20; y: 20; width: 160; height: 90; "
                                   "cornerRadius: 16;\n"
                                   "    targetPixelSize: 300; url: \""
            + url.toUtf8()
            + "\" }\n"
              "  RemoteImage { x: 220; y: 20; width: 160; height: 90; cornerRadius: 16;\n"
              "    url: \"http://127.0.0.1:9/never.jpg\" }\n"
              "  ThumbnailShimmer { objectName: \"still\"; x: 420; y: 20; width: 160; height: 90;\n"
              "    cornerRadius: 16 }\n"
              "}",
        name, [&](QQuickItem &root) {
            auto *still = root.findChild<orvella::ShimmerBand *>(QStringLiteral("still"));
            EXPECT_TRUE(still);
            if (still) {
                still->setClock(clock);
                still->setRunning(false);
            }
        });
    ImageCache::shared().clear();
    return drawn;
}

bool near(const QColor &a, const QColor &b, int tolerance = 12)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance;
}

void expectRoundCorners(const QImage &drawn, QRect frame, const QString &what)
{
    // The outermost pixel of each corner lies outside the arc: the window shows through.
    const QPoint corners[]
        = { frame.topLeft(), frame.topRight(), frame.bottomLeft(), frame.bottomRight() };
    for (const QPoint &corner : corners) {
        EXPECT_TRUE(near(drawn.pixelColor(corner), background))
            << what.toStdString() << " corner " << corner.x() << "," << corner.y() << " is "
            << drawn.pixelColor(corner).name().toStdString();
    }
    // Where the straight edges begin, the shape is drawn to the frame's edge.
    EXPECT_FALSE(near(drawn.pixelColor(frame.left() + 20, frame.top()), background));
    EXPECT_FALSE(near(drawn.pixelColor(frame.left(), frame.top() + 20), background));
}

TEST(ORVELLA_RENDER_SUITE, PicturesAndPlaceholdersKeepRoundCorners)
{
    const auto [drawn, api] = drawPictureAndPlaceholder(QStringLiteral("rounded"));
    if (api != QSGRendererInterface::ORVELLA_RENDER_BACKEND)
        GTEST_SKIP() << "drawn by another scene graph: the OpenGL one needs a display (xvfb-run)";
    ASSERT_FALSE(drawn.isNull());

    const QRect picture(20, 20, 160, 90);
    expectRoundCorners(drawn, picture, QStringLiteral("picture"));
    EXPECT_TRUE(near(drawn.pixelColor(picture.center()), red));
    // Half-way along the arc (a little inside it) the picture is whole.
    EXPECT_TRUE(near(drawn.pixelColor(picture.left() + 6, picture.top() + 6), red));

    const QRect placeholder(220, 20, 160, 90);
    expectRoundCorners(drawn, placeholder, QStringLiteral("placeholder"));
    // Navy with a little light sweeping over it, nowhere the window's green.
    for (const int x : { 30, 80, 130 }) {
        const QColor inside = drawn.pixelColor(placeholder.left() + x, placeholder.top() + 20);
        EXPECT_LT(inside.green(), 100) << inside.name().toStdString();
        EXPECT_GT(inside.blue(), inside.red()) << inside.name().toStdString();
    }
    // The spinner shows over the band: some pixel around the middle is gold rather than navy.
    bool gold = false;
    for (int y = -7; y <= 7; ++y) {
        for (int x = -7; x <= 7; ++x) {
            const QColor c = drawn.pixelColor(placeholder.center() + QPoint(x, y));
            gold = gold || (c.red() > c.blue() + 20);
        }
    }
    EXPECT_TRUE(gold) << "no spinner";
    expectRoundCorners(drawn, QRect(420, 20, 160, 90), QStringLiteral("band"));
}

// The gold buttons' fill and the welcome's dots: a gradient inside rounded corners whose arcs
// are smoothed (the software scene graph leaves a rounded Rectangle's gradient jagged), and a
// circle a few pixels across.
TEST(ORVELLA_RENDER_SUITE, RoundedFillsAreSmoothAtTheirCorners)
{
    const auto [drawn, api] = drawWindow("Item {\n"
                                         "  RoundedFill { x: 20; y: 20; width: 160; height: 90;"
                                         " radius: 16; fromColor: \"#e61414\";"
                                         " toColor: \"#1414e6\" }\n"
                                         "  RoundedFill { x: 220; y: 20; width: 6; height: 6;"
                                         " radius: 3; fromColor: \"#e61414\";"
                                         " toColor: \"#e61414\" }\n"
                                         "}",
        QStringLiteral("fills"));
    if (api != QSGRendererInterface::ORVELLA_RENDER_BACKEND)
        GTEST_SKIP() << "drawn by another scene graph: the OpenGL one needs a display (xvfb-run)";
    ASSERT_FALSE(drawn.isNull());

    const QRect fill(20, 20, 160, 90);
    expectRoundCorners(drawn, fill, QStringLiteral("fill"));
    // Red at the top, blue at the bottom, an even mix half-way.
    EXPECT_TRUE(near(drawn.pixelColor(fill.center().x(), fill.top()), red, 16));
    EXPECT_TRUE(near(drawn.pixelColor(fill.center().x(), fill.bottom()), QColor(20, 20, 230), 16));
    const QColor middle = drawn.pixelColor(fill.center());
    EXPECT_NEAR(middle.red(), middle.blue(), 20) << middle.name().toStdString();
    // Along the top-left arc many pixels are partly covered: neither the window nor the fill.
    int smoothed = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const int green = drawn.pixelColor(fill.left() + x, fill.top() + y).green();
            smoothed += green > 45 && green < background.green() - 25 ? 1 : 0;
        }
    }
    EXPECT_GE(smoothed, 10);

    // The dot: filled at its middle, the window at its corners, as round one way as the other.
    const QRect dot(220, 20, 6, 6);
    EXPECT_TRUE(near(drawn.pixelColor(dot.center()), red, 40));
    EXPECT_TRUE(near(drawn.pixelColor(dot.topLeft()), background, 60));
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x)
            EXPECT_NEAR(drawn.pixelColor(dot.left() + x, dot.top() + y).green(),
                drawn.pixelColor(dot.left() + y, dot.top() + x).green(), 24)
                << x << "," << y;
    }
}

} // namespace
