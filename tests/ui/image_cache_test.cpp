#include "DeclaredPictures.h"
#include "ui/ImageCache.h"
#include "ui/ImageDecoder.h"
#include "ui/ImageNetwork.h"
#include "ui/ImagePrefetcher.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <chrono>
#include <ctime>
#include <gtest/gtest.h>
#include <limits>

namespace {

using orvella::ImageCache;
using orvella::ImageDecoder::downsample;
using namespace std::chrono_literals;

QByteArray encode(const QImage &image, const char *format,
    QImageIOHandler::Transformations transform = QImageIOHandler::TransformationNone)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setTransformation(transform);
    EXPECT_TRUE(writer.write(image)) << writer.errorString().toStdString();
    return bytes;
}

QImage picture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkBlue);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height / 2, Qt::yellow);
    return image;
}

TEST(ImageCacheKey, IsTheAddressAndTheWholePixelSize)
{
    const QString url = QStringLiteral("http://127.0.0.1/media/a.jpg");
    EXPECT_EQ(ImageCache::key(url, 300), url + "#300");
    EXPECT_EQ(ImageCache::key(url, 300.7), ImageCache::key(url, 300));
    EXPECT_NE(ImageCache::key(url, 600), ImageCache::key(url, 300));
    EXPECT_EQ(ImageCache::key(QString(), 120), QStringLiteral("#120"));
    // Sizes that are not finite must not crash or produce odd keys.
    EXPECT_EQ(ImageCache::key(url, std::numeric_limits<double>::quiet_NaN()), url + "#0");
    EXPECT_EQ(ImageCache::key(url, std::numeric_limits<double>::infinity()), url + "#0");
    EXPECT_EQ(ImageCache::key(url, -0.5), url + "#0");
}

TEST(ImageCacheLimits, DropsTheLeastRecentlyUsedBeyondCountOrPixels)
{
    EXPECT_EQ(ImageCache::defaultCountLimit, 500);
    EXPECT_EQ(ImageCache::defaultCostLimit, 134217728);

    ImageCache byCount(3, 1'000'000);
    for (int i = 0; i < 3; ++i)
        byCount.insert(picture(10, 10), QString::number(i));
    ASSERT_TRUE(byCount.find(QStringLiteral("0"))); // 0 is now the most recent
    byCount.insert(picture(10, 10), QStringLiteral("3"));
    EXPECT_EQ(byCount.count(), 3);
    EXPECT_TRUE(byCount.contains(QStringLiteral("0")));
    EXPECT_FALSE(byCount.contains(QStringLiteral("1")));

    // The budget counts pixels, not bytes: three 100x100 pictures fit 30,000 pixels.
    ImageCache byPixels(500, 30'000);
    for (int i = 0; i < 3; ++i)
        byPixels.insert(picture(100, 100), QString::number(i));
    EXPECT_EQ(byPixels.totalCost(), 30'000);
    byPixels.insert(picture(100, 50), QStringLiteral("half"));
    EXPECT_FALSE(byPixels.contains(QStringLiteral("0")));
    EXPECT_EQ(byPixels.totalCost(), 25'000);

    // Replacing a key does not count it twice; a null image is not stored.
    byPixels.insert(picture(100, 50), QStringLiteral("half"));
    EXPECT_EQ(byPixels.totalCost(), 25'000);
    byPixels.insert(QImage(), QStringLiteral("null"));
    EXPECT_FALSE(byPixels.contains(QStringLiteral("null")));
}

TEST(ImageDecoder, DecodesStraightToTheTargetSizeKeepingTheAspect)
{
    const QImage decoded = downsample(encode(picture(1200, 800), "jpeg"), 300);
    EXPECT_EQ(decoded.size(), QSize(300, 200));
    // Never enlarged.
    EXPECT_EQ(downsample(encode(picture(120, 60), "png"), 300).size(), QSize(120, 60));
    // No limit below one pixel.
    EXPECT_EQ(downsample(encode(picture(120, 60), "png"), 0).size(), QSize(120, 60));
}

TEST(ImageDecoder, AppliesTheOrientationTagBeforeLimitingTheLongestSide)
{
    const QByteArray rotated
        = encode(picture(400, 200), "jpeg", QImageIOHandler::TransformationRotate90);
    const QImage decoded = downsample(rotated, 300);
    EXPECT_EQ(decoded.size(), QSize(150, 300));
}

TEST(ImageDecoder, GivesNothingForBytesThatAreNoPicture)
{
    EXPECT_TRUE(downsample(QByteArray("<html><body>404 Not Found</body></html>"), 300).isNull());
    EXPECT_TRUE(downsample(QByteArray(), 300).isNull());
    QByteArray truncated = encode(picture(400, 300), "png");
    truncated.truncate(40);
    EXPECT_TRUE(downsample(truncated, 300).isNull());
}

// The processor time this thread has used: what a decode costs, whatever else the machine does.
std::chrono::nanoseconds threadProcessorTime()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

TEST(ImageDecoder, RefusesAPictureOfMoreThanFiftyMegapixelsAtItsHeader)
{
    using orvella::test::blackPng;
    const std::pair<const char *, QByteArray> refused[] = {
        // Decoded at 300 pixels, this one takes about ten seconds.
        { "PNG of 30000 x 30000", blackPng({ 30000, 30000 }) },
        { "JPEG of 30000 x 30000", orvella::test::jpegDeclaring({ 30000, 30000 }) },
        { "PNG of 7072 x 7071", blackPng({ 7072, 7071 }) },
    };
    for (const auto &[name, bytes] : refused) {
        ASSERT_FALSE(bytes.isEmpty()) << name;
        const auto before = threadProcessorTime();
        EXPECT_TRUE(downsample(bytes, 300).isNull()) << name;
        EXPECT_LT(threadProcessorTime() - before, 100ms) << name;
    }
    // An 8K frame is within the bound.
    const QImage frame = downsample(blackPng({ 7680, 4320 }), 300);
    EXPECT_EQ(frame.size(), QSize(300, 168));
    EXPECT_EQ(frame.pixel(150, 84), qRgb(0, 0, 0));
}

TEST(ImagePrefetcher, DropsAbsentEmptyAndRepeatedEntriesAndCapsAt160)
{
    std::vector<std::optional<QString>> many;
    for (int i = 0; i < 200; ++i)
        many.emplace_back(QStringLiteral("http://127.0.0.1:9/p%1.jpg").arg(i));
    EXPECT_EQ(orvella::ImagePrefetcher::plan(many, 300).size(), 160);

    const QString one = QStringLiteral("http://127.0.0.1:9/one.jpg");
    const std::vector<std::optional<QString>> repeated { one, std::nullopt, QString(), one };
    EXPECT_EQ(orvella::ImagePrefetcher::plan(repeated, 300), QStringList { one });

    // A picture already cached at that size is not fetched again; at another size it is.
    ImageCache::shared().insert(picture(10, 10), ImageCache::key(one, 300.4));
    EXPECT_TRUE(orvella::ImagePrefetcher::plan(repeated, 300).isEmpty());
    EXPECT_EQ(orvella::ImagePrefetcher::plan(repeated, 600).size(), 1);
    ImageCache::shared().clear();

    // Text that is no address is skipped.
    const std::vector<std::optional<QString>> junk { QStringLiteral("::") };
    EXPECT_TRUE(orvella::ImagePrefetcher::plan(junk, 300).isEmpty());
}

} // namespace
