// The pictures the studio ships: every asset name resolves to a wide picture of full HD size,
// each a painted scene of its own, decoded small for swatches; the logos suit squares; and a
// picture preset puts its picture behind the person.

#include "StudioTestRig.h"
#include "platform/ImageFilters.h"
#include "studio/BackgroundPickerModel.h"
#include "studio/StudioAnimatedBackgroundRenderer.h"
#include "studio/StudioPictureCatalog.h"
#include "studio/SwatchPictureItem.h"
#include "support/TestAsync.h"

#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

using namespace orvella;
using namespace orvella::test;

namespace {

QStringList assetNames()
{
    QStringList names;
    for (StudioBackgroundPreset preset : allStudioBackgroundPresets())
        if (const auto name = presetAssetName(preset))
            names << *name;
    return names;
}

cv::Mat grey(const QImage &image)
{
    const QImage g = image.convertToFormat(QImage::Format_Grayscale8);
    return cv::Mat(g.height(), g.width(), CV_8U, const_cast<uchar *>(g.constBits()),
        static_cast<size_t>(g.bytesPerLine()))
        .clone();
}

// The share of 8x8 blocks with visible detail in them: near 0 for a flat colour or a smooth
// gradient, small for a label on one, high for a painted scene.
double busyShare(const cv::Mat &luminance)
{
    int busy = 0;
    int blocks = 0;
    for (int y = 0; y + 8 <= luminance.rows; y += 8)
        for (int x = 0; x + 8 <= luminance.cols; x += 8) {
            cv::Scalar mean;
            cv::Scalar deviation;
            cv::meanStdDev(luminance(cv::Rect(x, y, 8, 8)), mean, deviation);
            ++blocks;
            busy += deviation[0] > 3.0 ? 1 : 0;
        }
    return double(busy) / blocks;
}

cv::Mat bgrOf(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const cv::Mat view(rgb.height(), rgb.width(), CV_8UC4, const_cast<uchar *>(rgb.constBits()),
        static_cast<size_t>(rgb.bytesPerLine()));
    cv::Mat bgr;
    cv::cvtColor(view, bgr, cv::COLOR_BGRA2BGR);
    return bgr;
}

// A person standing in the middle of a 256x144 mask.
cv::Mat personMask()
{
    cv::Mat mask(144, 256, CV_32F, cv::Scalar(0.0));
    cv::ellipse(
        mask, cv::Point(128, 100), cv::Size(40, 70), 0, 0, 360, cv::Scalar(1.0), cv::FILLED);
    return mask;
}

} // namespace

TEST(StudioPictures, EveryAssetNameResolvesToAFullHdPicture)
{
    const QStringList names = assetNames();
    ASSERT_EQ(names.size(), 20);
    for (const QString &name : names) {
        const QString path = studioPictures::picturePath(name);
        ASSERT_FALSE(path.isEmpty()) << name.toStdString();
        EXPECT_EQ(QImageReader(path).size(), studioPictures::pictureSize) << name.toStdString();
        EXPECT_EQ(studioPictures::loadPicture(name).size(), QSize(1920, 1080))
            << name.toStdString();
    }
    EXPECT_TRUE(studioPictures::picturePath(QStringLiteral("NoSuchPlace")).isEmpty());
    EXPECT_TRUE(studioPictures::loadPicture(QStringLiteral("NoSuchPlace")).isNull());
    EXPECT_TRUE(studioPictures::picturePath(QString()).isEmpty());
}

TEST(StudioPictures, ArePaintedScenesEachOfItsOwn)
{
    std::vector<std::pair<QString, cv::Mat>> small;
    for (const QString &name : assetNames()) {
        // Decoded at a small size, as the swatches and this test need it.
        const QImage picture = studioPictures::loadPicture(name, QSize(480, 270));
        ASSERT_EQ(picture.size(), QSize(480, 270)) << name.toStdString();
        const cv::Mat luminance = grey(picture);
        cv::Scalar mean;
        cv::Scalar deviation;
        cv::meanStdDev(luminance, mean, deviation);
        EXPECT_GT(deviation[0], 12.0) << name.toStdString();
        EXPECT_GT(mean[0], 25.0) << name.toStdString(); // not a black frame
        // The branded backdrops are smooth light on navy; the places are painted all over.
        const bool branded = name.startsWith(QLatin1String("Orvella"));
        EXPECT_GT(busyShare(luminance), branded ? 0.15 : 0.35) << name.toStdString();
        small.emplace_back(name, bgrOf(picture));
    }
    for (std::size_t i = 0; i < small.size(); ++i)
        for (std::size_t j = i + 1; j < small.size(); ++j) {
            cv::Mat difference;
            cv::absdiff(small[i].second, small[j].second, difference);
            EXPECT_GT(
                cv::mean(difference)[0] + cv::mean(difference)[1] + cv::mean(difference)[2], 30.0)
                << small[i].first.toStdString() << " and " << small[j].first.toStdString();
        }
}

TEST(StudioPictures, SwatchesShowTheirPicturesDecodedAtSwatchSize)
{
    BackgroundPickerModel model;
    for (int row = 0; row < model.rowCount(); ++row) {
        const QModelIndex index = model.index(row);
        const StudioBackgroundPreset preset = pickerPresets()[std::size_t(row)];
        const QString source = model.data(index, BackgroundPickerModel::ImageSourceRole).toString();
        if (const auto name = presetAssetName(preset)) {
            EXPECT_EQ(source, QStringLiteral("qrc") + studioPictures::picturePath(*name));
            EXPECT_EQ(model.data(index, BackgroundPickerModel::FillRole).toString(),
                QStringLiteral("picture"));
        } else {
            EXPECT_TRUE(source.isEmpty()) << row;
        }
    }
    // The reader scales while decoding: a swatch never holds the full picture.
    const QImage swatch
        = studioPictures::loadPicture(QStringLiteral("JerusalemOldCity"), QSize(96, 54));
    EXPECT_EQ(swatch.size(), QSize(96, 54));
}

TEST(StudioPictures, SwatchPicturesAreDecodedAtTheirSizeAndCroppedToFill)
{
    SwatchPictureItem item;
    item.setSize(QSizeF(96, 54));
    EXPECT_FALSE(item.ready());
    item.setSource(
        QUrl(QStringLiteral("qrc") + studioPictures::picturePath(QStringLiteral("SeaOfGalilee"))));
    ASSERT_TRUE(waitUntil([&] { return item.ready(); }));
    EXPECT_EQ(item.pictureSize(), QSize(96, 54));
    // A taller box: the middle of the picture, full height.
    item.setSize(QSizeF(60, 60));
    EXPECT_FALSE(item.ready()) << "the picture shown is of the old size";
    ASSERT_TRUE(waitUntil([&] { return item.pictureSize() == QSize(60, 60); }));
    item.setSource(QUrl());
    EXPECT_FALSE(item.ready());
    EXPECT_TRUE(item.pictureSize().isEmpty());

    // Red on the left, blue on the right: a square crop keeps both halves about the middle.
    QTemporaryDir dir;
    QImage halves(400, 100, QImage::Format_RGB32);
    halves.fill(Qt::red);
    for (int y = 0; y < 100; ++y)
        for (int x = 200; x < 400; ++x)
            halves.setPixel(x, y, qRgb(0, 0, 255));
    const QString file = dir.filePath(QStringLiteral("halves.png"));
    ASSERT_TRUE(halves.save(file));
    const QImage square = SwatchPictureItem::decodeFilling(file, QSize(50, 50));
    ASSERT_EQ(square.size(), QSize(50, 50));
    EXPECT_EQ(square.pixelColor(5, 25), QColor(Qt::red));
    EXPECT_EQ(square.pixelColor(45, 25), QColor(Qt::blue));
    EXPECT_TRUE(
        SwatchPictureItem::decodeFilling(dir.filePath(QStringLiteral("none.png")), QSize(50, 50))
            .isNull());
}

TEST(StudioPictures, LogoAssetsGiveTheEmblemOnAClearSquare)
{
    for (const char *name : { "OrvellaLogoTiles", "OrvellaBrandBG" }) {
        const QImage logo = studioPictures::loadLogo(QLatin1String(name));
        ASSERT_FALSE(logo.isNull()) << name;
        EXPECT_EQ(logo.width(), logo.height()) << name;
        EXPECT_EQ(qAlpha(logo.pixel(0, 0)), 0) << name;
        // The ring crosses the middle of the left edge's inner side: gold there.
        const QColor ring = logo.pixelColor(logo.width() * 6 / 100, logo.height() / 2);
        EXPECT_EQ(ring.alpha(), 255) << name;
        EXPECT_GT(ring.red(), ring.blue() + 60) << name;
    }
    EXPECT_TRUE(studioPictures::loadLogo(QStringLiteral("JerusalemOldCity")).isNull());

    // The animated tile wall and hero studio draw it; without it they leave it out.
    StudioAnimatedBackgroundRenderer branded(
        studioPictures::loadLogo(QStringLiteral("OrvellaLogoTiles")),
        studioPictures::loadLogo(QStringLiteral("OrvellaBrandBG")));
    StudioAnimatedBackgroundRenderer bare { QImage(), QImage() };
    constexpr double t = 1'765'000'000'000.0;
    using K = StudioAnimatedBackgroundKind;
    for (K kind : { K::orvellaTileWall, K::orvellaHeroStudio, K::orvellaBroadcastSet }) {
        const cv::Mat withLogo = bgrOf(branded.render(kind, t));
        const cv::Mat without = bgrOf(bare.render(kind, t));
        cv::Mat difference;
        cv::absdiff(withLogo, without, difference);
        EXPECT_GT(cv::countNonZero(difference.reshape(1)), 10'000) << int(kind);
    }
}

TEST(StudioController, APicturePresetCompositesItsPictureBehindThePerson)
{
    StudioRig rig(personMask(), true, true);
    auto &capture = *rig.controller;
    ASSERT_TRUE(startCamera(capture));
    capture.selectPreset(QStringLiteral("jerusalem"));
    // The preview shows every second frame.
    ASSERT_TRUE(rig.pushFrameAndWait(testPicture()));
    ASSERT_TRUE(rig.pushFrameAndWait(testPicture()));
    ASSERT_TRUE(waitUntil([&] { return capture.hasPreviewImage(); }));
    const QImage preview = capture.previewImage();
    ASSERT_EQ(preview.size(), QSize(1280, 720));

    const cv::Mat expected = filters::aspectFill(
        bgrOf(studioPictures::loadPicture(QStringLiteral("JerusalemOldCity"))),
        cv::Size(1280, 720));
    const QColor room(60, 50, 40);
    for (const QPoint point :
        { QPoint(40, 40), QPoint(1240, 60), QPoint(60, 680), QPoint(1200, 690) }) {
        const QColor shown = preview.pixelColor(point);
        const cv::Vec3b picture = expected.at<cv::Vec3b>(point.y(), point.x());
        EXPECT_NEAR(shown.red(), picture[2], 2) << point.x() << "," << point.y();
        EXPECT_NEAR(shown.green(), picture[1], 2);
        EXPECT_NEAR(shown.blue(), picture[0], 2);
        EXPECT_NE(shown, room);
        EXPECT_GT(shown.red() + shown.green() + shown.blue(), 60); // not black
    }
    // The person stays in front: the camera's own picture there.
    EXPECT_EQ(preview.pixelColor(640, 500), QColor(160, 180, 200));
}
