#include "platform/PersonSegmenter.h"

#include <QFileInfo>
#include <QImage>
#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

using namespace orvella;

namespace {

// A footballer in mid-stride in front of a stadium crowd, shipped with OpenCV's documentation.
const QString photo = QStringLiteral("/usr/share/doc/opencv-doc/examples/data/messi5.jpg");

cv::Mat loadBgr(const QString &path)
{
    const QImage image = QImage(path).convertToFormat(QImage::Format_RGB32);
    const cv::Mat view(image.height(), image.width(), CV_8UC4,
        const_cast<uchar *>(image.constBits()), static_cast<size_t>(image.bytesPerLine()));
    cv::Mat bgr;
    cv::cvtColor(view, bgr, cv::COLOR_BGRA2BGR);
    return bgr;
}

double meanIn(const cv::Mat &mask, cv::Rect area)
{
    return cv::mean(mask(area))[0];
}

} // namespace

TEST(PersonSegmenter, MaskCoversThePersonAndNotTheBackground)
{
    const QString model = defaultSegmentationModelPath();
    if (!QFileInfo::exists(model))
        GTEST_SKIP() << "no segmentation model at " << model.toStdString()
                     << " (tools/fetch-segmentation-model)";
    if (!QFileInfo::exists(photo))
        GTEST_SKIP() << "opencv-doc is not installed";
    const cv::Mat picture = loadBgr(photo);
    ASSERT_EQ(picture.size(), cv::Size(548, 342));

    auto segmenter = makeOnnxPersonSegmenter(model);
    const std::optional<cv::Mat> probabilities = segmenter->segment(picture);
    ASSERT_TRUE(probabilities);
    ASSERT_EQ(probabilities->size(), cv::Size(256, 144));
    cv::Mat mask;
    cv::resize(*probabilities, mask, picture.size());

    // Head, shirt and shorts.
    EXPECT_GT(meanIn(mask, cv::Rect(215, 70, 35, 30)), 0.7);
    EXPECT_GT(meanIn(mask, cv::Rect(200, 120, 80, 90)), 0.8);
    EXPECT_GT(meanIn(mask, cv::Rect(240, 215, 60, 30)), 0.7);
    // Crowd, advertising boards and grass away from him.
    EXPECT_LT(meanIn(mask, cv::Rect(0, 0, 150, 80)), 0.1);
    EXPECT_LT(meanIn(mask, cv::Rect(400, 0, 148, 60)), 0.1);
    EXPECT_LT(meanIn(mask, cv::Rect(0, 280, 150, 60)), 0.1);
    EXPECT_LT(meanIn(mask, cv::Rect(460, 280, 88, 60)), 0.1);
    // The person is a fair part of the picture, not all of it.
    const double share = cv::mean(mask > 0.5)[0] / 255.0;
    EXPECT_GT(share, 0.08);
    EXPECT_LT(share, 0.4);
}

TEST(PersonSegmenter, MissingModelGivesNoMask)
{
    auto segmenter = makeOnnxPersonSegmenter(QStringLiteral("/nonexistent/model.onnx"));
    const cv::Mat picture(144, 256, CV_8UC3, cv::Scalar(1, 2, 3));
    EXPECT_FALSE(segmenter->segment(picture));
}
