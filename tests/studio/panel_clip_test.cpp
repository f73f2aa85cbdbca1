// The studio's controls panel scrolled so that whole rows of swatches lie just beyond its top
// and bottom edges: what the panel draws stays inside it, frame after frame, on the scene graph
// the test runs on (software offscreen; OpenGL in the "gl" build on a display).
#include "StudioTestRig.h"
#include "app/Application.h"
#include "support/TestAsync.h"
#include "support/WindowPicture.h"

#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <functional>
#include <gtest/gtest.h>

namespace {

using namespace orvella;
using namespace orvella::test;

QQuickItem *findItem(QQuickItem *item, const std::function<bool(QQuickItem *)> &wanted)
{
    if (wanted(item))
        return item;
    for (QQuickItem *child : item->childItems()) {
        if (QQuickItem *found = findItem(child, wanted))
            return found;
    }
    return nullptr;
}

bool isA(QObject *object, const char *qmlType)
{
    return QByteArray(object->metaObject()->className()).startsWith(qmlType);
}

int pixelsChangedOutside(const QImage &before, const QImage &after, const QRect &inside)
{
    int changed = 0;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            if (inside.contains(x, y))
                continue;
            const QColor a = before.pixelColor(x, y), b = after.pixelColor(x, y);
            changed += std::abs(a.red() - b.red()) + std::abs(a.green() - b.green())
                    + std::abs(a.blue() - b.blue())
                > 24;
        }
    }
    return changed;
}

TEST(StudioControlsPanel, ScrolledSwatchRowsStayInsideThePanel)
{
    StudioRig rig(cv::Mat(144, 256, CV_32F, cv::Scalar(0.0)), true, true);
    auto &capture = *rig.controller;
    QQuickView view;
    prepareEngine(*view.engine());
    view.setInitialProperties({ { "capture", QVariant::fromValue(&capture) } });
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.resize(1280, 800);
    view.setSource(QUrl("qrc:/Orvella/studio/TestimonyRecordingScreen.qml"));
    FrameCounter frames(view);
    view.show();
    ASSERT_NE(view.rootObject(), nullptr);
    ASSERT_TRUE(waitUntil([&] { return capture.isSessionRunning(); }));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(rig.pushFrameAndWait(testPicture()));

    QQuickItem *root = view.rootObject();
    QQuickItem *panel
        = findItem(root, [](QQuickItem *item) { return isA(item, "StudioControlsPanel"); });
    ASSERT_NE(panel, nullptr);
    auto *scroller = qobject_cast<QQuickItem *>(
        findItem(panel, [](QQuickItem *item) { return isA(item, "QQuickFlickable"); }));
    ASSERT_NE(scroller, nullptr);
    QList<QQuickItem *> swatches;
    std::function<void(QQuickItem *)> collect = [&](QQuickItem *item) {
        if (isA(item, "PresetSwatchView"))
            swatches << item;
        for (QQuickItem *child : item->childItems())
            collect(child);
    };
    collect(panel);
    ASSERT_GE(swatches.size(), 10);
    // Every swatch decoded and drawn before the reference picture is taken.
    spinFor(std::chrono::milliseconds(500));
    ASSERT_TRUE(frames.draw(2));

    // The panel's rectangle in the window, and the swatch rows in its scrolled content.
    const QRect panelRect = panel->mapRectToScene(panel->boundingRect()).toAlignedRect();
    auto *content = scroller->property("contentItem").value<QQuickItem *>();
    ASSERT_NE(content, nullptr);
    const qreal viewHeight = scroller->height();
    const auto rowTop
        = [&](QQuickItem *swatch) { return swatch->mapToItem(content, QPointF(0, 0)).y(); };
    const QImage before = shownPicture(view);

    // Twice: a row ending 2 above the view's top, then a row starting 2 below its bottom. At
    // each place the chosen background changes too, which draws the swatches' marks again.
    const QStringList presets { "sunrise", "jerusalem" };
    for (int turn = 0; turn < 2; ++turn) {
        QQuickItem *swatch = swatches[turn == 0 ? 2 : swatches.size() - 1];
        const qreal contentY
            = turn == 0 ? rowTop(swatch) + swatch->height() + 2 : rowTop(swatch) - 2 - viewHeight;
        ASSERT_GE(contentY, 0);
        scroller->setProperty("contentY", contentY);
        ASSERT_TRUE(frames.draw(3));
        capture.selectPreset(presets[turn]);
        ASSERT_TRUE(frames.draw(3));
    }
    const QImage after = shownPicture(view);
    EXPECT_EQ(pixelsChangedOutside(before, after, panelRect), 0)
        << "the panel drew outside " << panelRect.x() << "," << panelRect.y() << " "
        << panelRect.width() << "x" << panelRect.height();
    if (const QString folder = qEnvironmentVariable("ORVELLA_SCREENSHOT_DIR"); !folder.isEmpty())
        after.save(folder + QStringLiteral("/studio-panel-scrolled.png"));
}

} // namespace
