#include "platform/ImageFilters.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

using namespace orvella;

TEST(ImageFilters, AspectFillOfASquareIntoWidescreen)
{
    const filters::FillPlacement placement
        = filters::aspectFillPlacement(cv::Size(1000, 1000), cv::Size(1280, 720));
    EXPECT_DOUBLE_EQ(placement.scale, 1.28);
    EXPECT_DOUBLE_EQ(placement.offsetX, 0.0);
    // 1280 scaled rows, 280 cut at the top and 280 at the bottom.
    EXPECT_DOUBLE_EQ(placement.offsetY, -280.0);

    // Red bands beyond the cut, blue just inside it.
    cv::Mat picture(1000, 1000, CV_8UC3, cv::Scalar(255, 0, 0));
    picture.rowRange(0, 215).setTo(cv::Scalar(0, 0, 255));
    picture.rowRange(785, 1000).setTo(cv::Scalar(0, 0, 255));
    const cv::Mat filled = filters::aspectFill(picture, cv::Size(1280, 720));
    ASSERT_EQ(filled.size(), cv::Size(1280, 720));
    EXPECT_EQ(filled.at<cv::Vec3b>(0, 640), cv::Vec3b(255, 0, 0));
    EXPECT_EQ(filled.at<cv::Vec3b>(719, 640), cv::Vec3b(255, 0, 0));

    // A wide picture is cut left and right instead.
    const filters::FillPlacement wide
        = filters::aspectFillPlacement(cv::Size(1920, 720), cv::Size(1280, 720));
    EXPECT_DOUBLE_EQ(wide.scale, 1.0);
    EXPECT_DOUBLE_EQ(wide.offsetX, -320.0);
    // The 1920x1080 colour background fills any frame.
    const cv::Mat colour(1080, 1920, CV_8UC3, cv::Scalar(31, 14, 6));
    EXPECT_EQ(filters::aspectFill(colour, cv::Size(640, 480)).size(), cv::Size(640, 480));
}

TEST(ImageFilters, MaskIsStretchedPerAxisAndSoftThresholded)
{
    // Two columns: person on the left, room on the right; one row only.
    cv::Mat mask(1, 2, CV_32F);
    mask.at<float>(0, 0) = 1.0f;
    mask.at<float>(0, 1) = 0.0f;
    cv::Mat fitted;
    filters::fitMask(mask, cv::Size(1280, 720), fitted);
    ASSERT_EQ(fitted.size(), cv::Size(1280, 720));
    ASSERT_EQ(fitted.type(), CV_8U);
    for (int row : { 0, 359, 719 }) {
        EXPECT_EQ(fitted.at<uchar>(row, 100), 255);
        EXPECT_EQ(fitted.at<uchar>(row, 1200), 0);
    }

    cv::Mat levels(1, 5, CV_32F);
    const float values[] = { 0.2f, 0.35f, 0.5f, 0.65f, 0.9f };
    for (int i = 0; i < 5; ++i)
        levels.at<float>(0, i) = values[i];
    cv::Mat soft;
    filters::fitMask(levels, cv::Size(5, 1), soft);
    EXPECT_EQ(soft.at<uchar>(0, 0), 0);
    EXPECT_EQ(soft.at<uchar>(0, 1), 0);
    EXPECT_NEAR(soft.at<uchar>(0, 2), 128, 1);
    EXPECT_EQ(soft.at<uchar>(0, 3), 255);
    EXPECT_EQ(soft.at<uchar>(0, 4), 255);
}

TEST(ImageFilters, ColourControls)
{
    cv::Mat grey(4, 4, CV_8UC3, cv::Scalar(100, 100, 100));
    filters::colourControls(grey, 0.1, 1.0);
    EXPECT_EQ(grey.at<cv::Vec3b>(0, 0), cv::Vec3b(126, 126, 126));
    // Contrast turns around the middle grey.
    cv::Mat middle(4, 4, CV_8UC3, cv::Scalar(128, 64, 192));
    filters::colourControls(middle, 0.0, 2.0);
    const cv::Vec3b value = middle.at<cv::Vec3b>(0, 0);
    EXPECT_NEAR(value[0], 128, 1);
    EXPECT_NEAR(value[1], 0, 1);
    EXPECT_EQ(value[2], 255);
}

TEST(ImageFilters, NoiseFilterSmoothsGrainAndKeepsEdges)
{
    cv::Mat picture(120, 120, CV_8UC3, cv::Scalar(60, 60, 60));
    picture.colRange(60, 120).setTo(cv::Scalar(220, 220, 220));
    cv::Mat grain(picture.size(), CV_8UC3);
    cv::randu(grain, cv::Scalar::all(0), cv::Scalar::all(5));
    cv::Mat noisy;
    cv::add(picture, grain, noisy);
    cv::Mat filtered = noisy.clone();
    filters::reduceNoise(filtered, filters::noiseLevelFor(0.35), filters::noiseSharpness);

    cv::Scalar meanBefore;
    cv::Scalar deviationBefore;
    cv::meanStdDev(noisy(cv::Rect(10, 10, 40, 100)), meanBefore, deviationBefore);
    cv::Scalar meanAfter;
    cv::Scalar deviationAfter;
    cv::meanStdDev(filtered(cv::Rect(10, 10, 40, 100)), meanAfter, deviationAfter);
    EXPECT_LT(deviationAfter[0], deviationBefore[0] * 0.8);
    EXPECT_NEAR(meanAfter[0], meanBefore[0], 1.0);
    // The edge stays a step: no blurred ramp across it.
    EXPECT_LT(filtered.at<cv::Vec3b>(60, 58)[0], 80);
    EXPECT_GT(filtered.at<cv::Vec3b>(60, 61)[0], 200);

    EXPECT_DOUBLE_EQ(filters::noiseLevelFor(0.35), 0.014);
}

TEST(ImageFilters, BlendAndBlur)
{
    const cv::Mat person(4, 4, CV_8UC3, cv::Scalar(200, 200, 200));
    const cv::Mat room(4, 4, CV_8UC3, cv::Scalar(0, 0, 0));
    cv::Mat mask(4, 4, CV_8U, cv::Scalar(0));
    mask.colRange(0, 2).setTo(255);
    mask.at<uchar>(3, 3) = 128;
    cv::Mat blended;
    filters::blendWithMask(person, room, mask, blended);
    EXPECT_EQ(blended.at<cv::Vec3b>(1, 0), cv::Vec3b(200, 200, 200));
    EXPECT_EQ(blended.at<cv::Vec3b>(1, 3), cv::Vec3b(0, 0, 0));
    EXPECT_EQ(blended.at<cv::Vec3b>(3, 3), cv::Vec3b(100, 100, 100));

    // Replicated edges: a uniform picture stays uniform up to its borders.
    const cv::Mat uniform(90, 160, CV_8UC3, cv::Scalar(30, 90, 150));
    for (double radius : { 12.0, 28.0 }) {
        cv::Mat blurred;
        filters::gaussianBlurReplicate(uniform, radius, blurred);
        ASSERT_EQ(blurred.size(), uniform.size());
        EXPECT_EQ(blurred.at<cv::Vec3b>(0, 0), cv::Vec3b(30, 90, 150));
        EXPECT_EQ(blurred.at<cv::Vec3b>(89, 159), cv::Vec3b(30, 90, 150));
    }
}
