#pragma once

#include "studio/StudioPlatform.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <qcoro/qcorotask.h>

class QThread;

namespace orvella {

class StudioFramePipeline;

// The studio's devices and threads: the device lists and the chosen camera and microphone, the
// session thread that opens, starts and stops them, and the worker thread whose pipeline turns
// their frames into the preview picture and the recording. Main thread only.
class StudioCaptureSession : public QObject
{
    Q_OBJECT

public:
    // Takes the devices, the segmenter and the asset loader out of the platform.
    explicit StudioCaptureSession(StudioPlatform &platform, QObject *parent = nullptr);
    // Closes the devices, then ends the pipeline and both threads.
    ~StudioCaptureSession() override;

    [[nodiscard]] StudioFramePipeline *pipeline() const { return m_pipeline; }
    [[nodiscard]] const QList<CaptureDeviceInfo> &cameras() const { return m_cameras; }
    [[nodiscard]] const QList<CaptureDeviceInfo> &microphones() const { return m_microphones; }
    [[nodiscard]] QString selectedCameraID() const { return m_selectedCameraID; }
    [[nodiscard]] QString selectedMicrophoneID() const { return m_selectedMicrophoneID; }
    [[nodiscard]] bool isRunning() const { return m_running; }
    [[nodiscard]] bool isSuspended() const { return m_suspended; }
    [[nodiscard]] QImage previewImage() const { return m_previewImage; }

    // Re-reads the device lists and repairs the selected identifiers.
    void refreshDevices();
    // Asks for access, then opens and starts the chosen devices. Resolves to the failure text
    // when there is no usable camera; status texts are reported on the way.
    QCoro::Task<std::optional<QString>> start(bool mirrored);
    // Opens another device; a running session runs on with it.
    void selectCamera(const QString &id, bool mirrored);
    void selectMicrophone(const QString &id, bool mirrored);
    // The screen went away: frames are dropped and animations stop until the next start.
    void suspend();
    // Stops the devices and clears the preview.
    void stop();

signals:
    void camerasChanged();
    void microphonesChanged();
    void selectedCameraIDChanged();
    void selectedMicrophoneIDChanged();
    void previewImageChanged();
    void statusReported(const QString &status);

private:
    void setPreviewImage(const QImage &image);
    void queueConfiguration(bool mirrored);
    void queueOnSessionThread(std::function<void()> work);

    std::unique_ptr<CaptureDeviceCatalog> m_devices;
    std::unique_ptr<CameraSource> m_camera;
    std::unique_ptr<MicrophoneSource> m_microphone;
    std::unique_ptr<PersonSegmenter> m_segmenter;
    // Drives the synthetic devices of the test camera; stops before they go.
    std::unique_ptr<TestCameraFeed> m_testFeed;
    std::function<bool()> m_cameraAccess;
    std::function<bool()> m_microphoneAccess;

    std::unique_ptr<QThread> m_sessionThread;
    std::unique_ptr<QObject> m_sessionContext; // lives on m_sessionThread
    std::unique_ptr<QThread> m_pipelineThread;
    StudioFramePipeline *m_pipeline = nullptr; // lives on m_pipelineThread

    QList<CaptureDeviceInfo> m_cameras;
    QList<CaptureDeviceInfo> m_microphones;
    QString m_selectedCameraID;
    QString m_selectedMicrophoneID;
    QImage m_previewImage;
    bool m_running = false;
    bool m_suspended = false;
};

} // namespace orvella
