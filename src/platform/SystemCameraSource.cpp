#include "platform/CameraSource.h"
#include "platform/MediaClock.h"
#include "platform/PlatformLog.h"

#include <QCamera>
#include <QCameraDevice>
#include <QEventLoop>
#include <QImage>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QTimer>
#include <QVideoFrame>
#include <QVideoSink>
#include <atomic>
#include <cmath>
#include <opencv2/core.hpp>

namespace orvella {

namespace {

QCameraFormat preferredFormat(const QCameraDevice &device)
{
    // 1280x720 at about 30 frames per second where offered, else the closest size.
    QCameraFormat best;
    double bestScore = 1e18;
    for (const QCameraFormat &format : device.videoFormats()) {
        const QSize size = format.resolution();
        const double sizeScore = std::abs(size.width() - 1280) + std::abs(size.height() - 720);
        const double rateScore = std::abs(format.maxFrameRate() - 30.0) * 10.0;
        const double score = sizeScore * 100.0 + rateScore;
        if (score < bestScore) {
            bestScore = score;
            best = format;
        }
    }
    return best;
}

class SystemCameraSource final : public CameraSource
{
public:
    explicit SystemCameraSource(const MediaClock &clock)
        : m_clock(clock)
    { }

    ~SystemCameraSource() override { close(); }

    bool open(const QString &deviceId, bool mirrored) override
    {
        close();
        const QList<QCameraDevice> devices = QMediaDevices::videoInputs();
        if (devices.isEmpty())
            return false;
        QCameraDevice chosen = devices.first();
        for (const QCameraDevice &device : devices) {
            if (QString::fromUtf8(device.id()) == deviceId)
                chosen = device;
        }
        m_mirrored = mirrored;
        m_camera = std::make_unique<QCamera>(chosen);
        if (m_camera->error() != QCamera::NoError) {
            qCDebug(lcPlatform) << "Camera" << deviceId
                                << "unavailable:" << m_camera->errorString();
            m_camera.reset();
            return false;
        }
        const QCameraFormat format = preferredFormat(chosen);
        if (!format.isNull())
            m_camera->setCameraFormat(format);
        m_sink = std::make_unique<QVideoSink>();
        m_session = std::make_unique<QMediaCaptureSession>();
        m_session->setCamera(m_camera.get());
        m_session->setVideoSink(m_sink.get());
        // Converted where the frame arrives, so nothing of it waits on the session thread.
        QObject::connect(
            m_sink.get(), &QVideoSink::videoFrameChanged, m_sink.get(),
            [this](const QVideoFrame &frame) { convertAndDeliver(frame); }, Qt::DirectConnection);
        return true;
    }

    void close() override
    {
        if (m_camera)
            m_camera->stop();
        m_session.reset();
        m_sink.reset();
        m_camera.reset();
    }

    bool start() override
    {
        if (!m_camera)
            return false;
        m_camera->start();
        if (m_camera->isActive())
            return true;
        // Cameras report starting and failing asynchronously; the session thread waits a
        // little for either.
        QEventLoop wait;
        QTimer deadline;
        deadline.setSingleShot(true);
        QObject::connect(&deadline, &QTimer::timeout, &wait, &QEventLoop::quit);
        QObject::connect(m_camera.get(), &QCamera::activeChanged, &wait, &QEventLoop::quit);
        QObject::connect(m_camera.get(), &QCamera::errorOccurred, &wait, &QEventLoop::quit);
        deadline.start(3000);
        wait.exec();
        return m_camera->isActive() && m_camera->error() == QCamera::NoError;
    }

    void stop() override
    {
        if (m_camera)
            m_camera->stop();
    }

    [[nodiscard]] bool isRunning() const override { return m_camera && m_camera->isActive(); }

private:
    void convertAndDeliver(const QVideoFrame &frame)
    {
        const qint64 now = m_clock.nowMicroseconds();
        QImage image = frame.toImage();
        if (image.isNull())
            return;
        if (image.format() != QImage::Format_ARGB32 && image.format() != QImage::Format_RGB32)
            image = image.convertToFormat(QImage::Format_RGB32);
        // Format_RGB32 is B, G, R, A in memory on little-endian machines.
        const cv::Mat view(image.height(), image.width(), CV_8UC4, image.bits(),
            static_cast<size_t>(image.bytesPerLine()));
        deliver(CameraFrame { view.clone(), now }, m_mirrored.load());
    }

    const MediaClock &m_clock;
    std::atomic<bool> m_mirrored { false };
    std::unique_ptr<QCamera> m_camera;
    std::unique_ptr<QVideoSink> m_sink;
    std::unique_ptr<QMediaCaptureSession> m_session;
};

} // namespace

std::unique_ptr<CameraSource> makeSystemCameraSource(const MediaClock &clock)
{
    return std::make_unique<SystemCameraSource>(clock);
}

} // namespace orvella
