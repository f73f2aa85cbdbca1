// A program built without the studio's pictures: the picture presets degrade to no background
// (the room stays visible), their swatches are black, and nothing fails.

#include "platform/PersonSegmenter.h"
#include "studio/BackgroundPickerModel.h"
#include "studio/StudioFramePipeline.h"
#include "studio/StudioPictureCatalog.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

using namespace orvella;

TEST(StudioWithoutPictures, PicturePresetsShowTheRoomAndBlackSwatches)
{
    EXPECT_TRUE(studioPictures::picturePath(QStringLiteral("JerusalemOldCity")).isEmpty());
    EXPECT_TRUE(studioPictures::loadPicture(QStringLiteral("JerusalemOldCity")).isNull());
    EXPECT_TRUE(studioPictures::loadLogo(QStringLiteral("OrvellaLogoTiles")).isNull());

    BackgroundPickerModel model;
    const auto &presets = pickerPresets();
    const int row = int(std::find(presets.begin(), presets.end(), StudioBackgroundPreset::jerusalem)
        - presets.begin());
    const QModelIndex index = model.index(row);
    EXPECT_EQ(
        model.data(index, BackgroundPickerModel::FillRole).toString(), QStringLiteral("picture"));
    EXPECT_TRUE(model.data(index, BackgroundPickerModel::ImageSourceRole).toString().isEmpty());
    EXPECT_EQ(
        model.data(index, BackgroundPickerModel::FromColorRole).value<QColor>(), QColor(Qt::black));

    // The person on the left half, the room on the right.
    cv::Mat mask(2, 4, CV_32F, cv::Scalar(0.0));
    mask.colRange(0, 2).setTo(1.0);
    SyntheticPersonSegmenter segmenter(mask);
    StudioFramePipeline pipeline(
        &segmenter, [](const QString &name) { return studioPictures::loadPicture(name); },
        studioPictures::loadLogo);
    pipeline.setPictureSettings(
        StudioPictureSettings { 0.0, 1.0, 0.0, StudioBackgroundPreset::jerusalem });
    pipeline.setBackground(StudioBackgroundPreset::jerusalem, {});
    EXPECT_TRUE(pipeline.backgroundPicture().empty());
    const cv::Mat room(72, 128, CV_8UC4, cv::Scalar(30, 60, 90, 255));
    const cv::Mat out = pipeline.processFrame(room);
    EXPECT_EQ(out.at<cv::Vec3b>(36, 120), cv::Vec3b(30, 60, 90));

    // The animated sets still run without their logos.
    pipeline.setBackground(StudioBackgroundPreset::orvellaTileWall, {});
    EXPECT_EQ(pipeline.backgroundPicture().size(), cv::Size(1280, 720));
    pipeline.stopAnimation();
}
