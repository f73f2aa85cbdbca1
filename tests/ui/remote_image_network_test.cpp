#include "DeclaredPictures.h"
#include "support/RawHttpServer.h"
#include "support/ServiceDouble.h"
#include "support/TestAsync.h"
#include "ui/DecodeBounds.h"
#include "ui/ImageCache.h"
#include "ui/ImageDecoder.h"
#include "ui/ImageNetwork.h"
#include "ui/ImagePrefetcher.h"
#include "ui/RemoteImageItem.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

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

TEST_F(RemoteImageNetwork, APictureOfTooManyPixelsIsRefusedQuicklyAndKeepsTheShimmer)
{
    const std::pair<QString, ScriptedAnswer> refused[] = {
        { u"huge.png"_qs, ScriptedAnswer::raw(test::blackPng({ 30000, 30000 }), "image/png") },
        { u"huge.jpg"_qs,
            ScriptedAnswer::raw(test::jpegDeclaring({ 30000, 30000 }), "image/jpeg") },
        // Within their declared sizes, but not their work.
        { u"scans.jpg"_qs, ScriptedAnswer::raw(test::progressiveJpeg(3000), "image/jpeg") },
        { u"frame.gif"_qs,
            ScriptedAnswer::raw(
                test::gifOfFrames({ 16, 16 }, { { .area = { 0, 0, 30000, 30000 }, .coded = 64 } }),
                "image/gif") },
    };
    for (const auto &[name, answer] : refused) {
        service.on("GET", "/media/" + name, answer);
        const QUrl url = service.mediaUrl(name);
        const QString key = ImageCache::key(url.toString(), 300);
        QElapsedTimer clock;
        clock.start();
        auto item = image(url, 300);
        ASSERT_TRUE(item);
        ASSERT_TRUE(test::waitUntil([&] { return !ImageNetwork::shared().isLoading(key); }))
            << name.toStdString();
        // Decoded, the PNG would keep one of the decoders busy for about ten seconds.
        EXPECT_LT(clock.elapsed(), 3000) << name.toStdString();
        EXPECT_EQ(service.requests("GET", "/media/" + name).size(), 1);
        EXPECT_FALSE(item->property("hasImage").toBool());
        EXPECT_TRUE(item->findChild<QQuickItem *>(QStringLiteral("shimmer"))->isVisible());
        EXPECT_FALSE(ImageCache::shared().contains(key));
    }
}

// A picture is refused before it is decoded where its bytes promise more work than its declared
// size says: a JPEG's scans, each a pass over the whole picture, and a GIF's frames, each of its
// own size whatever the screen the header declares. What is ordinary shows as it would anyway.

// Whether the red JPEG of progressiveJpeg shows.
bool shown(const QByteArray &jpeg)
{
    const QImage image = ImageDecoder::downsample(jpeg, 32);
    return !image.isNull() && image.size() == QSize(32, 32) && qRed(image.pixel(16, 16)) > 200
        && qGreen(image.pixel(16, 16)) < 60;
}

TEST(PictureStructure, AJpegShowsUpToItsScansAndIsRefusedPastThem)
{
    EXPECT_TRUE(shown(test::progressiveJpeg(test::writtenProgressiveScans)));
    EXPECT_TRUE(shown(test::progressiveJpeg(ImageDecoder::maxJpegScans)));
    EXPECT_FALSE(shown(test::progressiveJpeg(ImageDecoder::maxJpegScans + 1)));
    EXPECT_FALSE(shown(test::progressiveJpeg(3000)));
    // The larger the picture, the fewer: at 49 megapixels some 30, though far below the 100.
    const QSize large(7000, 7000);
    const qsizetype allowed = ImageDecoder::jpegScansAllowed(large);
    EXPECT_GE(allowed, 2 * test::writtenProgressiveScans) << "an ordinary picture of that size";
    EXPECT_LT(allowed, ImageDecoder::maxJpegScans / 2);
    EXPECT_TRUE(
        ImageDecoder::downsample(test::progressiveJpeg(int(allowed) + 1, large), 32).isNull());
    EXPECT_TRUE(shown(test::progressiveJpeg(int(allowed) + 1)));
}

// Only the scans the decoder reads count: none in metadata, nor in a picture after the end.
TEST(PictureStructure, AJpegCountsTheScansItsDecoderReadsAndNoneOfItsMetadata)
{
    const int written = test::writtenProgressiveScans;
    const qsizetype most = ImageDecoder::maxJpegScans;
    const auto scans = [&](const QByteArray &jpeg) { return DecodeBounds::jpegScans(jpeg, most); };
    const QByteArray tooMany = test::progressiveJpeg(int(most) + 1);
    // A binary ICC profile of 2 MiB full of FF DA, a thumbnail and a picture appended after the
    // end (as a second picture of the file is), each with scans enough to be refused themselves.
    QByteArray profile;
    profile.fill('\xda', 2 << 20);
    for (qsizetype i = 0; i < profile.size(); i += 2)
        profile[i] = '\xff';
    const QByteArray metadata = test::iccSegments(profile) + test::exifWithThumbnail(tooMany);
    ASSERT_EQ(scans(tooMany), most + 1);
    ASSERT_LT(tooMany.size(), 60000) << "a thumbnail within one segment";
    for (const QSize declared : { QSize(), QSize(7000, 7000) }) {
        const QByteArray jpeg
            = test::withAfterStart(test::progressiveJpeg(written, declared), metadata) + tooMany;
        EXPECT_EQ(DecodeBounds::jpegScans(jpeg, ImageDecoder::jpegScansAllowed(declared)), written);
        if (!declared.isValid()) {
            EXPECT_TRUE(shown(jpeg));
        }
    }
    EXPECT_EQ(
        scans(test::withAfterStart(test::jpegDeclaring({ 7000, 7000 }), metadata) + tooMany), 1);

    // What the decoder reads past stays counted: scans after a long segment, or behind a
    // restart marker, stray bytes, a stuffed FF and fill bytes, or after a segment whose length
    // is too short to be one (libjpeg goes on just past it).
    const QByteArray longSegment = test::jpegSegment(0xE1, QByteArray(65533, '\xda'));
    const auto hidden = [](QByteArray jpeg) {
        return jpeg.replace("\xff\xda", QByteArray("\xff\xd3\x12\xff\x00\xff\xff\xda", 8));
    };
    for (const QByteArray &before : { longSegment, QByteArray("\xff\xe5\x00\x01", 4) }) {
        EXPECT_TRUE(shown(test::withAfterStart(test::progressiveJpeg(written), before)));
        EXPECT_EQ(scans(test::withAfterStart(tooMany, before)), most + 1);
    }
    EXPECT_TRUE(shown(hidden(test::progressiveJpeg(written))));
    EXPECT_EQ(scans(hidden(tooMany)), most + 1);
    EXPECT_FALSE(shown(hidden(tooMany)));
    // A segment running past the end leaves the decoder nothing more to read.
    EXPECT_EQ(scans(test::withAfterStart(tooMany, "\xff\xe1\xff\xff")), 0);
}

TEST(PictureStructure, AGifFrameIsBoundByItselfWhateverItsScreen)
{
    using test::GifFrame;
    const auto colourShown = [](const QByteArray &gif, QSize screen) -> std::optional<QRgb> {
        const QImage image = ImageDecoder::downsample(gif, 0);
        if (image.isNull())
            return std::nullopt;
        EXPECT_EQ(image.size(), screen);
        return image.pixel(screen.width() / 2, screen.height() / 2) | 0xff000000;
    };
    const QSize screen(8, 8);
    const QRect whole({}, screen);
    const GifFrame huge { .area = { 0, 0, 30000, 30000 }, .colour = 1, .coded = 64 };

    // First or later, a frame past the bound is refused, its data cut short or not.
    EXPECT_FALSE(colourShown(test::gifOfFrames(screen, { huge }), screen));
    EXPECT_FALSE(colourShown(test::gifOfFrames(screen, { { whole }, huge }), screen));

    // An animation shows its first frame; one overhanging the screen a little shows clipped; two
    // large frames of the same file, together past the bound, show as well.
    EXPECT_EQ(colourShown(
                  test::gifOfFrames(screen, { { whole, 0 }, { whole, 1 }, { whole, 2 } }), screen),
        test::gifColours[0]);
    EXPECT_EQ(colourShown(test::gifOfFrames(screen, { { { 0, 0, 11, 10 }, 2 } }), screen),
        test::gifColours[2]);
    const GifFrame large { .area = { 0, 0, 6000, 6000 }, .colour = 3, .coded = 64 };
    EXPECT_EQ(colourShown(test::gifOfFrames(screen, { { whole, 1 }, large, large }), screen),
        test::gifColours[1]);

    // Cut in the middle of a huge frame's descriptor: nothing proves it huge, and the frame before
    // it shows, as it would anyway.
    const QByteArray first = test::gifOfFrames(screen, { { whole, 1 } });
    QByteArray cut = test::gifOfFrames(screen, { { whole, 1 }, huge });
    // Past the first frame (the trailer aside), the huge one's control extension, ',' and 5 bytes.
    cut.truncate(first.size() - 1 + 8 + 6);
    EXPECT_EQ(colourShown(cut, screen), test::gifColours[1]);
}

// A picture's answer is read up to its bound and no further, and the disk cache keeps to its
// size whatever the pictures weigh.
class PictureBounds : public ::testing::Test
{
protected:
    static constexpr qint64 bound = 1024 * 1024;

    void SetUp() override
    {
        ASSERT_TRUE(server.start());
        network
            = std::make_unique<ImageNetwork>(cache.path(), ImageNetworkLimits { bound, 4 * bound });
    }

    // A cacheable picture's head, with its length or ended by the connection's close.
    static QByteArray head(std::optional<qint64> length)
    {
        return "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nCache-Control: max-age=3600\r\n"
            + (length ? "Content-Length: " + QByteArray::number(*length) + "\r\n"
                      : QByteArray("Connection: close\r\n"))
            + "\r\n";
    }

    std::optional<QByteArray> fetch(const QString &path)
    {
        QUrl url = server.origin();
        url.setPath(path);
        bool done = false;
        std::optional<QByteArray> body;
        network->fetch(url, [&](std::optional<QByteArray> got) {
            QMetaObject::invokeMethod(
                qApp, [&, got] { body = got, done = true; }, Qt::QueuedConnection);
        });
        EXPECT_TRUE(test::waitUntil([&] { return done; }, 10s));
        return body;
    }

    // The files in the cache folder and their bytes.
    [[nodiscard]] std::pair<int, qint64> cacheFiles() const
    {
        std::pair<int, qint64> files;
        QDirIterator it(cache.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            ++files.first;
            files.second += it.nextFileInfo().size();
        }
        return files;
    }

    // Files the process holds open in the cache folder: Qt writes an entry into a file without a
    // name until it is whole, which no listing of the folder shows.
    [[nodiscard]] int openCacheFiles() const
    {
        int open = 0;
        for (const QFileInfo &handle : QDir(u"/proc/self/fd"_qs).entryInfoList(QDir::System)) {
            if (handle.symLinkTarget().startsWith(cache.path()))
                ++open;
        }
        return open;
    }

    test::RawHttpServer server;
    QTemporaryDir cache;
    std::unique_ptr<ImageNetwork> network;
};

TEST_F(PictureBounds, PastTheBoundThePictureFailsAndNothingOfItIsCached)
{
    const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    QElapsedTimer clock;
    // Announced past the bound: refused at once, without waiting for the body.
    clock.start();
    server.setBehaviour({ .head = head(2 * bound), .body = signature, .stall = true });
    EXPECT_FALSE(fetch(u"/announced.png"_qs));
    EXPECT_LT(clock.elapsed(), 3000) << "not by the idle limit";

    // No length: counted as it arrives and ended at the bound, long before the service is done.
    constexpr qint64 endless = 512LL * 1024 * 1024;
    server.setBehaviour({ .head = head(std::nullopt), .body = signature, .streamBytes = endless });
    clock.start();
    EXPECT_FALSE(fetch(u"/endless.png"_qs));
    EXPECT_LT(clock.elapsed(), 3000) << "not by the idle limit";
    ASSERT_TRUE(test::waitUntil([&] { return server.closedCount() == 2; }));
    EXPECT_LT(server.streamedBytes(), 64 * bound);
    EXPECT_EQ(cacheFiles().first, 0);
    EXPECT_EQ(openCacheFiles(), 0);

    // The same answer within the bound is taken and kept: the cache would have held the others.
    server.setBehaviour(
        { .head = head(std::nullopt), .body = signature, .streamBytes = bound - 8 });
    const auto whole = fetch(u"/whole.png"_qs);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->size(), bound);
    EXPECT_GT(cacheFiles().second, bound);
}

TEST_F(PictureBounds, AnAnswerCutShortIsNoPictureAndLeavesNothingBehind)
{
    // Qt ends some of these without an error; each counts as cut all the same.
    for (int i = 0; i < 20; ++i) {
        server.setBehaviour({ .head = head(bound / 2), .body = "x", .streamBytes = bound / 4 });
        EXPECT_FALSE(fetch(u"/cut%1.png"_qs.arg(i))) << "answer " << i;
    }
    EXPECT_EQ(cacheFiles().first, 0);
    EXPECT_EQ(openCacheFiles(), 0);
}

TEST_F(PictureBounds, TheDiskCacheKeepsToItsSize)
{
    const qint64 picture = bound * 9 / 10;
    server.setBehaviour({ .head = head(picture), .streamBytes = picture });
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(fetch(u"/p%1.png"_qs.arg(i)));
        EXPECT_LE(cacheFiles().second, 4 * bound) << "after picture " << i;
    }
    EXPECT_GE(cacheFiles().first, 3);
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
    EXPECT_GE(ImageNetwork::maxBodyBytes, 16 * 1024 * 1024);
}

} // namespace
