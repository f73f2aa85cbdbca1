// Rounded pictures and placeholders as a window draws them. Built twice: into ui_tests, which
// run offscreen on the software scene graph, and into ui_gl_tests, which run on a display
// through OpenGL; both must cut the same corners and keep to the same clips. With
// ORVELLA_SCREENSHOT_DIR set, the drawn window is kept there for a person to compare the two.
#include "platform/Clock.h"
#include "support/TestAsync.h"
#include "support/WindowPicture.h"
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

// A window over the background colour holding `qml` (an Item with `import QtQuick` and
// `import Orvella`).
struct ProbeWindow
{
    QQuickWindow window;
    QQmlEngine engine;
    std::unique_ptr<QQuickItem> root;

    ProbeWindow(const QByteArray &qml, QSize size)
    {
        window.setColor(background);
        window.resize(size);
        engine.addImportPath(QStringLiteral("qrc:/"));
        QQmlComponent component(&engine);
        component.setData(
            "import QtQuick\nimport Orvella\n" + qml, QUrl(QStringLiteral("qrc:/test/Probe.qml")));
        root.reset(qobject_cast<QQuickItem *>(component.create()));
        EXPECT_TRUE(root) << component.errorString().toStdString();
        if (root)
            root->setParentItem(window.contentItem());
    }
};

// Saved only when ORVELLA_SCREENSHOT_DIR names a folder, for a person to compare the two.
void keepForLooking(const QImage &image, const QString &name, QSGRendererInterface::GraphicsApi api)
{
    const QString folder = qEnvironmentVariable("ORVELLA_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    const bool software = api == QSGRendererInterface::Software;
    image.save(folder + u'/' + name
        + (software ? QStringLiteral("-software.png") : QStringLiteral("-opengl.png")));
}

// The window drawing `qml`, 600 × 130; `prepare` is given the created root before the window
// shows.
Drawn drawWindow(const QByteArray &qml, const QString &name,
    const std::function<void(QQuickItem &)> &prepare = {})
{
    ProbeWindow probe(qml, QSize(600, 130));
    if (!probe.root)
        return {};
    if (prepare)
        prepare(*probe.root);
    orvella::test::FrameCounter frames(probe.window);
    probe.window.show();
    // A second frame, asked for even where nothing moves, shows what the first one set up.
    EXPECT_TRUE(orvella::test::waitUntil([&] { return frames.frames() >= 1; }, 10s));
    EXPECT_TRUE(frames.draw(1));
    const Drawn drawn { probe.window.grabWindow().convertToFormat(QImage::Format_RGB32),
        probe.window.rendererInterface()->graphicsApi() };
    keepForLooking(drawn.image, name, drawn.api);
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

// Pictures, fills and text shadows in a clipped parent whose content is scrolled so that whole
// rows lie just outside it, redrawn over several frames: nothing of them reaches the window
// outside the parent. The window is read as the display shows it, not drawn again for a grab,
// which would paint over what a frame left behind.
TEST(ORVELLA_RENDER_SUITE, ScrolledOutRowsDrawNothingOutsideTheirClip)
{
    const QString url = QStringLiteral("http://127.0.0.1:9/clipped.jpg");
    QImage cached(300, 169, QImage::Format_RGB32);
    cached.fill(red);
    ImageCache::shared().insert(cached, ImageCache::key(url, 300));

    ProbeWindow probe(
        "Rectangle {\n"
        "  property color fill: \"#e61414\"\n"
        "  x: 150; y: 120; width: 300; height: 106; color: \"#000080\"; clip: true\n"
        "  Column { objectName: \"rows\"; width: parent.width; spacing: 10\n"
        "    RoundedFill { width: 280; height: 40; radius: 8; fromColor: parent.parent.fill;"
        " toColor: parent.parent.fill }\n"
        "    RemoteImage { width: 280; height: 40; cornerRadius: 8; targetPixelSize: 300;"
        " url: \""
            + url.toUtf8()
            + "\" }\n"
              "    TextShadow { width: 280; height: 40; radius: 2; color: parent.parent.fill;"
              " text: \"MMMMMMMMMMMMMMMM\"; font.pixelSize: 30 }\n"
              "    RoundedFill { width: 280; height: 40; radius: 8; fromColor: parent.parent.fill;"
              " toColor: parent.parent.fill }\n"
              "  }\n"
              "}",
        QSize(600, 400));
    ASSERT_TRUE(probe.root);
    QQuickWindow &window = probe.window;
    QQuickItem *root = probe.root.get();
    auto *rows = root->findChild<QQuickItem *>(QStringLiteral("rows"));
    ASSERT_TRUE(rows);

    orvella::test::FrameCounter frames(window);
    window.show();
    ASSERT_TRUE(orvella::test::waitUntil([&] { return frames.frames() >= 1; }, 10s));
    ASSERT_TRUE(frames.draw(1));
    if (window.rendererInterface()->graphicsApi() != QSGRendererInterface::ORVELLA_RENDER_BACKEND) {
        ImageCache::shared().clear();
        GTEST_SKIP() << "drawn by another scene graph: the OpenGL one needs a display (xvfb-run)";
    }

    // Rows 50 apart: the first ends 2 above the parent, the last begins 2 below it, the two
    // between are clipped across their middle; then once more the other way.
    for (const qreal y : { -42.0, -52.0 }) {
        rows->setY(y);
        ASSERT_TRUE(frames.draw(2));
        root->setProperty("fill", QColor(220, 30, 30)); // a new colour: drawn again in place
        ASSERT_TRUE(frames.draw(2));
        root->setProperty("fill", red);
        ASSERT_TRUE(frames.draw(2));
    }

    const QImage shown = orvella::test::shownPicture(window);
    ImageCache::shared().clear();
    ASSERT_EQ(shown.size(), QSize(600, 400) * window.devicePixelRatio());
    const QRect parent(150, 120, 300, 106);
    int outside = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if (!parent.contains(x, y) && !near(shown.pixelColor(x, y), background, 40))
                ++outside;
        }
    }
    EXPECT_EQ(outside, 0) << "pixels drawn outside the clipped parent";
    // Inside, the rows do show.
    EXPECT_TRUE(near(shown.pixelColor(parent.left() + 140, parent.top() + 10), red, 30));
    keepForLooking(
        shown, QStringLiteral("clipped-rows"), window.rendererInterface()->graphicsApi());
}

} // namespace
