#include "support/ServiceDouble.h"
#include "support/TestAsync.h"
#include "ui/ImageCache.h"
#include "ui/ImageNetwork.h"
#include "ui/ImagePrefetcher.h"
#include "ui/RemoteImageItem.h"

#include <QDir>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <memory>

namespace {

using namespace orvella;
using namespace std::chrono_literals;
using test::ScriptedAnswer;

class RemoteImageNetwork : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(service.start());
        ImageCache::shared().clear();
        engine.addImportPath(QStringLiteral("qrc:/"));
    }
    void TearDown() override { ImageCache::shared().clear(); }

    std::unique_ptr<QQuickItem> image(const QUrl &url, int size)
    {
        QQmlComponent component(&engine);
        component.setData(QStringLiteral("import QtQuick\nimport Orvella\nRemoteImage { width: "
                                         "160; height: 90; cornerRadius: 10; url: \"%1\"; "
                                         "targetPixelSize: %2 }")
                              .arg(url.toString())
                              .arg(size)
                              .toUtf8(),
            QUrl(QStringLiteral("qrc:/test/Probe.qml")));
        std::unique_ptr<QQuickItem> item(qobject_cast<QQuickItem *>(component.create()));
        EXPECT_TRUE(item) << component.errorString().toStdString();
        return item;
    }

    test::ServiceDouble service;
    QQmlEngine engine;
};

TEST_F(RemoteImageNetwork, FetchesDecodesAtTheTargetSizeAndCaches)
{
    const QUrl url = service.mediaUrl(QStringLiteral("images/poster.jpg"));
    auto item = image(url, 300);
    ASSERT_TRUE(item);
    auto *picture = item->findChild<RemoteImageItem *>();
    ASSERT_TRUE(picture);
    ASSERT_TRUE(test::waitUntil([&] { return picture->hasImage(); }));
    EXPECT_EQ(picture->imageSize(), QSize(300, 168));
    EXPECT_FALSE(item->findChild<QQuickItem *>(QStringLiteral("shimmer"))->isVisible());
    const auto cached = ImageCache::shared().find(ImageCache::key(url.toString(), 300));
    ASSERT_TRUE(cached);
    EXPECT_EQ(cached->size(), QSize(300, 168));

    // A second view of the same picture needs no request.
    service.clearRequests();
    auto again = image(url, 300);
    EXPECT_TRUE(again->property("hasImage").toBool());
    test::spinFor(50ms);
    EXPECT_EQ(service.requestCount(), 0);
}

TEST_F(RemoteImageNetwork, AnErrorPageLeavesTheShimmer)
{
    service.on("GET", QStringLiteral("/media/missing.jpg"),
        ScriptedAnswer::raw("<html><body>Not Found</body></html>", "text/html", 404));
    auto item = image(service.mediaUrl(QStringLiteral("missing.jpg")), 300);
    ASSERT_TRUE(item);
    ASSERT_TRUE(service.waitForRequests("GET", QStringLiteral("/media/missing.jpg"), 1));
    test::spinFor(100ms);
    EXPECT_FALSE(item->property("hasImage").toBool());
    EXPECT_TRUE(item->findChild<QQuickItem *>(QStringLiteral("shimmer"))->isVisible());
}

TEST_F(RemoteImageNetwork, ADroppedConnectionLeavesNoPictureAndNoCrash)
{
    service.on("GET", QStringLiteral("/media/dropped.jpg"), ScriptedAnswer::dropped());
    auto item = image(service.mediaUrl(QStringLiteral("dropped.jpg")), 300);
    ASSERT_TRUE(service.waitForRequests("GET", QStringLiteral("/media/dropped.jpg"), 1));
    test::spinFor(100ms);
    EXPECT_FALSE(item->property("hasImage").toBool());
    // A body cut short after its status line is no picture either (a JPEG decoder would draw
    // what arrived over grey).
    service.on("GET", QStringLiteral("/media/images/poster.jpg"),
        ScriptedAnswer::file().truncatedAfter(4000));
    auto cut = image(service.mediaUrl(QStringLiteral("images/poster.jpg")), 300);
    ASSERT_TRUE(service.waitForRequests("GET", QStringLiteral("/media/images/poster.jpg"), 1));
    test::spinFor(200ms);
    EXPECT_FALSE(cut->property("hasImage").toBool());
    // Destroying the view with a fetch in flight is safe.
    service.on("GET", QStringLiteral("/media/slow.jpg"), ScriptedAnswer::file().withDelay(300ms));
    auto slow = image(service.mediaUrl(QStringLiteral("slow.jpg")), 300);
    slow.reset();
    test::spinFor(50ms);
}

TEST_F(RemoteImageNetwork, PrefetchWarmsTheCacheOncePerPicture)
{
    const QString card = service.mediaUrl(QStringLiteral("images/card-1.jpg")).toString();
    const QString square = service.mediaUrl(QStringLiteral("images/square.png")).toString();
    const std::vector<std::optional<QString>> urls { card, std::nullopt, card, QString(), square };
    EXPECT_EQ(ImagePrefetcher::prefetch(urls, 120), 2);
    ASSERT_TRUE(test::waitUntil([&] {
        return ImageCache::shared().contains(ImageCache::key(card, 120))
            && ImageCache::shared().contains(ImageCache::key(square, 120));
    }));
    EXPECT_EQ(ImageCache::shared().find(ImageCache::key(square, 120))->size(), QSize(120, 120));
    EXPECT_EQ(service.requests("GET", QStringLiteral("/media/images/card-1.jpg")).size(), 1);
    // Everything cached: nothing more starts.
    EXPECT_EQ(ImagePrefetcher::prefetch(urls, 120), 0);
}

TEST(ImageNetworkSetup, UsesItsOwnDiskCacheFolderAndTimeouts)
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    EXPECT_EQ(ImageNetwork::shared().cacheDirectory(), QDir(base).filePath("images"));
    EXPECT_EQ(ImageNetwork::diskCacheBytes, 128 * 1024 * 1024);
    const QNetworkRequest request = ImageNetwork::request(QUrl("http://127.0.0.1/x.jpg"));
    EXPECT_EQ(request.transferTimeout(), 5000);
    EXPECT_EQ(request.attribute(QNetworkRequest::CacheLoadControlAttribute).toInt(),
        int(QNetworkRequest::PreferCache));
    EXPECT_EQ(ImageNetwork::resourceTimeoutMs, 12000);
}

} // namespace
