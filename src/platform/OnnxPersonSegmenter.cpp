#include "platform/PersonSegmenter.h"
#include "platform/PlatformLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <mutex>
#include <opencv2/core.hpp>
#include <opencv2/dnn.hpp>
#include <opencv2/imgproc.hpp>

namespace orvella {

namespace {

// The landscape selfie model: 256x144 RGB in [0, 1], person probability out.
constexpr int modelWidth = 256;
constexpr int modelHeight = 144;

class OnnxPersonSegmenter final : public PersonSegmenter
{
public:
    OnnxPersonSegmenter(QString path, int threads)
        : m_path(std::move(path))
        , m_threads(threads)
    { }

    std::optional<cv::Mat> segment(const cv::Mat &bgr) override
    {
        std::lock_guard lock(m_mutex);
        // Read on first use, on the thread that segments, never while the studio is built.
        if (!m_tried) {
            m_tried = true;
            load();
        }
        if (!m_loaded || bgr.empty())
            return std::nullopt;
        try {
            if (m_threads > 0)
                cv::setNumThreads(m_threads);
            cv::Mat small;
            cv::resize(bgr, small, cv::Size(modelWidth, modelHeight), 0, 0, cv::INTER_LINEAR);
            const cv::Mat blob
                = cv::dnn::blobFromImage(small, 1.0 / 255.0, cv::Size(), cv::Scalar(),
                    /*swapRB=*/true, /*crop=*/false, CV_32F);
            m_net.setInput(blob);
            const cv::Mat output = m_net.forward();
            // [1, 1, 144, 256] or [1, 144, 256, 1]: either way 144x256 probabilities in a row.
            if (output.total() != static_cast<size_t>(modelWidth * modelHeight))
                return std::nullopt;
            cv::Mat mask(modelHeight, modelWidth, CV_32F, const_cast<float *>(output.ptr<float>()));
            return mask.clone();
        } catch (const cv::Exception &error) {
            qCDebug(lcPlatform) << "Segmentation of a frame failed:" << error.what();
            return std::nullopt;
        }
    }

private:
    void load()
    {
        if (!QFileInfo::exists(m_path))
            return;
        try {
            m_net = cv::dnn::readNetFromONNX(QFile::encodeName(m_path).toStdString());
            m_net.setPreferableBackend(cv::dnn::DNN_BACKEND_OPENCV);
            m_net.setPreferableTarget(cv::dnn::DNN_TARGET_CPU);
            m_loaded = !m_net.empty();
        } catch (const cv::Exception &error) {
            qCWarning(lcPlatform) << "Segmentation model" << m_path
                                  << "unreadable:" << error.what();
            m_loaded = false;
        }
    }

    std::mutex m_mutex;
    QString m_path;
    cv::dnn::Net m_net;
    bool m_tried = false;
    bool m_loaded = false;
    int m_threads = 0;
};

} // namespace

QString defaultSegmentationModelPath()
{
    const QByteArray fromEnvironment = qgetenv("ORVELLA_SEGMENTATION_MODEL");
    if (!fromEnvironment.isEmpty())
        return QFile::decodeName(fromEnvironment);
    return QDir::homePath()
        + QStringLiteral("/.cache/orvella-models/selfie_segmentation_landscape.onnx");
}

std::unique_ptr<PersonSegmenter> makeOnnxPersonSegmenter(const QString &modelPath, int threads)
{
    return std::make_unique<OnnxPersonSegmenter>(modelPath, threads);
}

} // namespace orvella
