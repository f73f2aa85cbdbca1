#include "platform/Clock.h"
#include "support/TestAsync.h"
#include "ui/AnimationTimeline.h"
#include "ui/TextShadowItem.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

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

namespace {

// The rows of a picture where anything is drawn.
std::pair<int, int> drawnRows(const QImage &picture)
{
    int first = -1, last = -1;
    for (int y = 0; y < picture.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        if (std::any_of(
                line, line + picture.width(), [](QRgb pixel) { return qAlpha(pixel) > 2; })) {
            if (first < 0)
                first = y;
            last = y;
        }
    }
    return { first, last };
}

TEST(TextShadow, FollowsTheLinesOfItsTextAndBlursAroundThem)
{
    QQmlEngine engine;
    auto root = create(engine, R"(
        import QtQuick
        import Orvella
        Item {
            property alias label: label
            property alias shadow: shadow
            Text {
                id: label
                width: 300
                font: OrvellaTheme.font(18, Font.DemiBold)
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.WordWrap
                maximumLineCount: 4
                elide: Text.ElideRight
                TextShadow {
                    id: shadow
                    z: -1
                    anchors.fill: parent
                    anchors.margins: -radius
                    radius: 8
                    text: label.text
                    font: label.font
                    horizontalAlignment: label.horizontalAlignment
                    maximumLineCount: label.maximumLineCount
                }
            }
        })");
    ASSERT_TRUE(root);
    auto *label = root->property("label").value<QQuickItem *>();
    auto *shadow
        = qobject_cast<orvella::TextShadowItem *>(root->property("shadow").value<QObject *>());
    ASSERT_TRUE(label && shadow);

    // The shadow's height over its first line's grows by a line for each line of the text.
    std::optional<int> oneLine;
    for (const QString &text : { QStringLiteral("Healing, gladly"),
             QStringLiteral("Share what happened, what you could not do before, and how your life "
                            "changed after receiving healing."),
             QStringLiteral("A long testimony line that keeps going. ").repeated(20) }) {
        label->setProperty("text", text);
        const int lines = label->property("lineCount").toInt();
        SCOPED_TRACE(lines);
        const QImage picture = shadow->shadow(1.0);
        ASSERT_EQ(picture.size(), QSize(316, int(label->height()) + 16));
        const auto [first, last] = drawnRows(picture);
        ASSERT_GE(first, 0);
        if (!oneLine)
            oneLine = last - first;
        EXPECT_NEAR(last - first, *oneLine + (lines - 1) * label->height() / lines, 2);
        // Dark right around the letters, in the shadow's colour.
        const QRgb darkest = [&] {
            QRgb found = 0;
            for (int y = 0; y < picture.height(); ++y) {
                for (int x = 0; x < picture.width(); ++x)
                    found
                        = qAlpha(picture.pixel(x, y)) > qAlpha(found) ? picture.pixel(x, y) : found;
            }
            return found;
        }();
        EXPECT_GT(qAlpha(darkest), 100);
        EXPECT_EQ(qRed(darkest), 0);
    }
}

} // namespace

namespace {

// The logo's item in a view built from a QML file of the module.
QQuickItem *findNamed(QObject *root, const char *name)
{
    return root ? root->findChild<QQuickItem *>(QString::fromLatin1(name)) : nullptr;
}

} // namespace

TEST(OrvellaLogo, IsTheGoldLogoOnAClearGroundAt72High)
{
    const QImage picture(QStringLiteral(":/Orvella/ui/Orvella-logo-crop.png"));
    ASSERT_FALSE(picture.isNull());
    EXPECT_TRUE(picture.hasAlphaChannel());
    EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(picture.pixel(picture.width() - 1, picture.height() - 1)), 0);
    // Every clearly drawn pixel is gold: more red than green, more green than blue.
    int gold = 0;
    for (int y = 0; y < picture.height(); y += 3)
        for (int x = 0; x < picture.width(); x += 3) {
            const QColor c = picture.pixelColor(x, y);
            if (c.alpha() < 250)
                continue;
            ++gold;
            EXPECT_GT(c.red(), c.green());
            EXPECT_GT(c.green(), c.blue());
        }
    EXPECT_GT(gold, 200);

    QQmlEngine engine;
    auto logo = create(engine, "import QtQuick\nimport Orvella\nOrvellaLogo {}");
    ASSERT_TRUE(logo);
    EXPECT_DOUBLE_EQ(logo->property("height").toDouble(), 72);
    EXPECT_NEAR(
        logo->property("width").toDouble(), 72.0 * picture.width() / picture.height(), 0.01);
    EXPECT_TRUE(logo->property("visible").toBool());
}

TEST(OrvellaLogo, WithoutItsPictureTakesNoRoom)
{
    QQmlEngine engine;
    auto column = create(engine,
        "import QtQuick\nimport Orvella\nColumn { spacing: 15\n"
        "OrvellaLogo { objectName: \"logo\"; source: \"qrc:/Orvella/ui/no-such-logo.png\" }\n"
        "Rectangle { width: 10; height: 10 } }");
    ASSERT_TRUE(column);
    QQuickItem *logo = findNamed(column.get(), "logo");
    ASSERT_TRUE(logo);
    EXPECT_FALSE(logo->isVisible());
    EXPECT_EQ(logo->width(), 0);
    EXPECT_EQ(column->property("height").toDouble(), 10); // no spacing for it either
}

TEST(OrvellaLogo, LeadsTheSplashAndTheLiveWelcome)
{
    for (const auto &[file, name] : { std::pair { "app/SplashView.qml", "logo" },
             std::pair { "screens/live/LiveWelcomeOverlay.qml", "liveWelcomeLogo" } }) {
        QQmlEngine engine;
        engine.addImportPath(QStringLiteral("qrc:/"));
        QQmlComponent component(
            &engine, QUrl(QStringLiteral("qrc:/Orvella/") + QLatin1String(file)));
        std::unique_ptr<QObject> view(component.create());
        ASSERT_TRUE(view) << component.errorString().toStdString();
        QQuickItem *logo = findNamed(view.get(), name);
        ASSERT_TRUE(logo) << file;
        EXPECT_TRUE(logo->isVisible()) << file;
        EXPECT_EQ(logo->height(), 72) << file;
        // First in its column, above the tagline.
        const QList<QQuickItem *> stack = logo->parentItem()->childItems();
        ASSERT_FALSE(stack.isEmpty());
        EXPECT_EQ(stack.first(), logo) << file;
    }
}
