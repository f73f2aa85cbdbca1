#include "support/TestAsync.h"
#include "ui/ImageCache.h"
#include "ui/RemoteImageItem.h"
#include "ui/ShimmerBand.h"

#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <gtest/gtest.h>
#include <memory>

namespace {

using orvella::ImageCache;

std::unique_ptr<QQuickItem> createImage(QQmlEngine &engine, const QByteArray &properties)
{
    engine.addImportPath(QStringLiteral("qrc:/"));
    QQmlComponent component(&engine);
    component.setData("import QtQuick\nimport Orvella\nRemoteImage { width: 160; height: 90; "
            + properties + " }",
        QUrl(QStringLiteral("qrc:/test/Probe.qml")));
    std::unique_ptr<QQuickItem> item(qobject_cast<QQuickItem *>(component.create()));
    EXPECT_TRUE(item) << component.errorString().toStdString();
    return item;
}

template<typename T>
T *findChild(QQuickItem *root, const char *className)
{
    for (QObject *child : root->findChildren<QObject *>()) {
        if (child->inherits(className))
            return qobject_cast<T *>(child);
    }
    return nullptr;
}

TEST(RemoteImage, ShowsACachedPictureOnTheFirstFrameWithoutShimmer)
{
    const QString url = QStringLiteral("http://127.0.0.1:9/cached.jpg");
    QImage cached(300, 169, QImage::Format_RGB32);
    cached.fill(Qt::red);
    ImageCache::shared().insert(cached, ImageCache::key(url, 300));

    QQmlEngine engine;
    // No event loop turn between creation and the check: the hit is applied synchronously.
    auto item = createImage(engine, "url: \"" + url.toUtf8() + "\"; targetPixelSize: 300.7");
    ASSERT_TRUE(item);
    EXPECT_TRUE(item->property("hasImage").toBool());
    auto *picture = findChild<orvella::RemoteImageItem>(item.get(), "orvella::RemoteImageItem");
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->imageSize(), QSize(300, 169));
    auto *shimmer = item->findChild<QQuickItem *>(QStringLiteral("shimmer"));
    ASSERT_TRUE(shimmer);
    EXPECT_FALSE(shimmer->isVisible());
    ImageCache::shared().clear();
}

// The navy plate under the picture, drawn only where it shows.
QQuickItem *navyPlate(QQuickItem *image)
{
    for (QQuickItem *child : image->childItems()) {
        if (QByteArray(child->metaObject()->className()).startsWith("QQuickRectangle"))
            return child;
    }
    return nullptr;
}

TEST(RemoteImage, DrawsTheNavyPlateOnlyWhereNeitherShimmerNorPictureCoversIt)
{
    const QString opaqueUrl = QStringLiteral("http://127.0.0.1:9/opaque.jpg");
    const QString clearUrl = QStringLiteral("http://127.0.0.1:9/clear.png");
    QImage opaque(300, 169, QImage::Format_RGB32);
    opaque.fill(Qt::red);
    QImage clear(300, 169, QImage::Format_ARGB32_Premultiplied);
    clear.fill(Qt::transparent);
    ImageCache::shared().insert(opaque, ImageCache::key(opaqueUrl, 300));
    ImageCache::shared().insert(clear, ImageCache::key(clearUrl, 300));

    QQmlEngine engine;
    // No address: the plate alone.
    auto empty = createImage(engine, "cornerRadius: 12");
    ASSERT_TRUE(navyPlate(empty.get()));
    EXPECT_TRUE(navyPlate(empty.get())->isVisible());
    // On its way: the shimmer, which takes the navy into its own colours.
    auto loading = createImage(engine, "url: \"http://127.0.0.1:9/slow.jpg\"; cornerRadius: 12");
    EXPECT_FALSE(navyPlate(loading.get())->isVisible());
    auto *shimmer = loading->findChild<orvella::ShimmerBand *>(QStringLiteral("shimmer"));
    ASSERT_TRUE(shimmer);
    EXPECT_TRUE(shimmer->isVisible());
    EXPECT_EQ(shimmer->backgroundColor(), shimmer->baseColor());
    // A picture without transparent pixels covers it; one with them shows it through.
    auto covered = createImage(engine, "url: \"" + opaqueUrl.toUtf8() + "\"; targetPixelSize: 300");
    EXPECT_FALSE(navyPlate(covered.get())->isVisible());
    auto seeThrough
        = createImage(engine, "url: \"" + clearUrl.toUtf8() + "\"; targetPixelSize: 300");
    EXPECT_TRUE(seeThrough->property("hasImage").toBool());
    EXPECT_TRUE(navyPlate(seeThrough.get())->isVisible());
    ImageCache::shared().clear();
    // The refused load ends before the test does, so none is in flight at exit.
    orvella::test::spinFor(std::chrono::milliseconds(200));
}

TEST(RemoteImage, WithoutAnAddressDrawsOnlyThePlaceholder)
{
    QQmlEngine engine;
    auto item = createImage(engine, "cornerRadius: 12");
    ASSERT_TRUE(item);
    EXPECT_FALSE(item->property("hasImage").toBool());
    auto *shimmer = item->findChild<QQuickItem *>(QStringLiteral("shimmer"));
    ASSERT_TRUE(shimmer);
    EXPECT_FALSE(shimmer->isVisible());
    auto *picture = findChild<orvella::RemoteImageItem>(item.get(), "orvella::RemoteImageItem");
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->cacheKey(), QStringLiteral("#300"));
}

TEST(RemoteImage, ChangingTheSizeChangesTheKeyOnlyAcrossWholePixels)
{
    QQmlEngine engine;
    auto item = createImage(engine, "url: \"http://127.0.0.1:9/a.jpg\"; targetPixelSize: 300");
    ASSERT_TRUE(item);
    auto *picture = findChild<orvella::RemoteImageItem>(item.get(), "orvella::RemoteImageItem");
    ASSERT_TRUE(picture);
    int changes = 0;
    QObject::connect(picture, &orvella::RemoteImageItem::cacheKeyChanged, [&] { ++changes; });
    item->setProperty("targetPixelSize", 300.9);
    EXPECT_EQ(changes, 0);
    item->setProperty("targetPixelSize", 600);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(picture->cacheKey(), QStringLiteral("http://127.0.0.1:9/a.jpg#600"));
    // The refused loads end before the test does, so none is in flight at exit.
    orvella::test::spinFor(std::chrono::milliseconds(200));
}

} // namespace
