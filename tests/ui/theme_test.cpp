#include "platform/Clock.h"
#include "support/TestAsync.h"
#include "ui/AnimationTimeline.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <gtest/gtest.h>
#include <memory>

namespace {

std::unique_ptr<QObject> create(QQmlEngine &engine, const QByteArray &qml)
{
    engine.addImportPath(QStringLiteral("qrc:/"));
    QQmlComponent component(&engine);
    component.setData(qml, QUrl(QStringLiteral("qrc:/test/Probe.qml")));
    std::unique_ptr<QObject> object(component.create());
    EXPECT_TRUE(object) << component.errorString().toStdString();
    return object;
}

TEST(OrvellaTheme, HoldsThePaletteAndTheFixedTextSizes)
{
    QQmlEngine engine;
    auto probe = create(engine, R"(
        import QtQuick
        import Orvella
        QtObject {
            property color canvas: OrvellaTheme.canvas
            property color gold: OrvellaTheme.gold
            property color textMuted: OrvellaTheme.textMuted
            property real largeTitle: OrvellaTheme.largeTitleSize
            property font display: OrvellaTheme.displayFont
        })");
    ASSERT_TRUE(probe);
    const QColor canvas = probe->property("canvas").value<QColor>();
    EXPECT_NEAR(canvas.redF(), 0.024, 0.003);
    EXPECT_NEAR(canvas.greenF(), 0.051, 0.003);
    EXPECT_NEAR(canvas.blueF(), 0.094, 0.003);
    const QColor gold = probe->property("gold").value<QColor>();
    EXPECT_NEAR(gold.redF(), 0.831, 0.003);
    EXPECT_NEAR(probe->property("textMuted").value<QColor>().alphaF(), 0.45, 0.003);
    const QFont display = probe->property("display").value<QFont>();
    EXPECT_EQ(display.family(), QStringLiteral("Noto Serif"));
    EXPECT_EQ(display.pixelSize(), 26);
    EXPECT_EQ(display.weight(), QFont::DemiBold);
}

TEST(GoldButtonStyle, IsDimmedWhilePressedAndWhenDisabled)
{
    QQmlEngine engine;
    auto button = create(engine, R"(
        import QtQuick
        import Orvella
        GoldButtonStyle { text: "Retry" })");
    ASSERT_TRUE(button);
    EXPECT_DOUBLE_EQ(button->property("opacity").toDouble(), 1.0);
    button->setProperty("down", true);
    EXPECT_DOUBLE_EQ(button->property("opacity").toDouble(), 0.85);
    button->setProperty("down", false);
    EXPECT_DOUBLE_EQ(button->property("opacity").toDouble(), 1.0);
    button->setProperty("enabled", false);
    EXPECT_DOUBLE_EQ(button->property("opacity").toDouble(), 0.45);
    // Padding 16 left and right, 10 top and bottom, around a 14-pixel label.
    EXPECT_GT(button->property("implicitWidth").toDouble(), 32);
    EXPECT_GT(button->property("implicitHeight").toDouble(), 20 + 14);
}

TEST(GlassCard, PadsItsContentBySixteen)
{
    QQmlEngine engine;
    auto card = create(engine, R"(
        import QtQuick
        import Orvella
        GlassCard { Rectangle { width: 100; height: 40 } })");
    ASSERT_TRUE(card);
    EXPECT_DOUBLE_EQ(card->property("implicitWidth").toDouble(), 132);
    EXPECT_DOUBLE_EQ(card->property("implicitHeight").toDouble(), 72);
}

TEST(Pulse, WelcomeDotsStartAtTheirPhaseOffsets)
{
    EXPECT_NEAR(orvella::Pulse::dotScale(0, 0), 0.6, 1e-9);
    EXPECT_NEAR(orvella::Pulse::dotScale(0, 1), 0.809, 1e-3);
    EXPECT_NEAR(orvella::Pulse::dotScale(0, 2), 0.956, 1e-3);
    for (double t = 0; t < 3; t += 0.07) {
        for (int i = 0; i < 3; ++i) {
            EXPECT_GE(orvella::Pulse::dotScale(t, i), 0.6);
            EXPECT_LE(orvella::Pulse::dotScale(t, i), 1.0);
        }
        EXPECT_GE(orvella::Pulse::shimmerPhase(t), 0.0);
        EXPECT_LE(orvella::Pulse::shimmerPhase(t), 1.0);
    }
}

TEST(AnimationTimeline, TicksOnlyWhileRunningAndShown)
{
    QQmlEngine engine;
    auto timeline = create(engine, R"(
        import QtQuick
        import Orvella
        AnimationTimeline { interval: 0.15 })");
    ASSERT_TRUE(timeline);
    auto *item = qobject_cast<orvella::AnimationTimeline *>(timeline.get());
    ASSERT_TRUE(item);
    // Outside a window nothing runs.
    EXPECT_FALSE(item->ticking());
    // Seconds since 2001 on a clock that moves only when set.
    orvella::ManualClock clock;
    const auto setNow = [&clock](double seconds) {
        clock.setSinceEpoch(std::chrono::milliseconds(qint64((978307200.0 + seconds) * 1000)));
    };
    setNow(100);
    item->setClock(clock);
    EXPECT_DOUBLE_EQ(item->time(), 100);
    EXPECT_GT(orvella::AnimationTimeline::referenceSeconds(), 700'000'000.0); // after 2023

    // In a shown window it ticks; hidden, or faded out to nothing, it stands still.
    QQuickWindow window;
    item->setParentItem(window.contentItem());
    EXPECT_TRUE(item->ticking());
    setNow(101);
    ASSERT_TRUE(orvella::test::waitUntil([&] { return item->time() == 101; }));
    window.contentItem()->setOpacity(0);
    setNow(102);
    orvella::test::spinFor(std::chrono::milliseconds(400));
    EXPECT_DOUBLE_EQ(item->time(), 101);
    window.contentItem()->setOpacity(1);
    item->setVisible(false);
    EXPECT_FALSE(item->ticking());
    item->setVisible(true);
    EXPECT_TRUE(item->ticking());
    EXPECT_DOUBLE_EQ(item->time(), 102);
    item->setRunning(false);
    EXPECT_FALSE(item->ticking());
    item->setParentItem(nullptr);
}

TEST(SharedControls, EveryControlBuildsWithItsTextAndReachesTabFocus)
{
    for (const char *type :
        { "BorderedButton", "ThemedCheckBox", "ThemedToggle", "LinkButton", "ThemedTextField" }) {
        QQmlEngine engine;
        const QByteArray text = QByteArray(type) == "ThemedTextField" ? "placeholderText" : "text";
        auto control = create(engine,
            "import QtQuick\nimport Orvella\n" + QByteArray(type) + " { " + text + ": \"Label\" }");
        ASSERT_TRUE(control) << type;
        EXPECT_EQ(control->property(text.constData()).toString(), QStringLiteral("Label")) << type;
        const QVariant policy = control->property("focusPolicy");
        EXPECT_TRUE(policy.isValid() ? (policy.toInt() & Qt::TabFocus) != 0
                                     : control->property("activeFocusOnTab").toBool())
            << type;
        EXPECT_GT(control->property("implicitHeight").toDouble(), 0) << type;
    }
}

TEST(SegmentedControl, ReportsPicksInsideItsSegmentsOnly)
{
    QQmlEngine engine;
    auto control = create(engine, R"(
        import QtQuick
        import Orvella
        SegmentedControl {
            property var got: []
            segments: ["All", "Events", "Reminders"]
            current: "Events"
            onPicked: value => got = got.concat([value])
        })");
    ASSERT_TRUE(control);
    EXPECT_EQ(control->property("currentIndex").toInt(), 1);
    // Wide enough for three labels, each with its padding.
    EXPECT_GT(control->property("implicitWidth").toDouble(), 3 * 28 + 3 * 30);
    for (const int index : { 0, 2, 3, -1 })
        QMetaObject::invokeMethod(control.get(), "pick", Q_ARG(QVariant, index));
    EXPECT_EQ(control->property("got").toStringList(), QStringList({ "All", "Reminders" }));
}

} // namespace
