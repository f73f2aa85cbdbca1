#include "studio/StudioCaptureSession.h"

#include "platform/TestCameraFeed.h"
#include "studio/StudioFramePipeline.h"

#include <QPointer>
#include <QThread>
#include <atomic>
#include <coroutine>

namespace orvella {

namespace {

const QString cameraAccessText
    = QStringLiteral("Camera access is required. Enable it in your system's privacy settings.");
const QString noCameraText
    = QStringLiteral("No camera was found on this computer. Connect a camera, then use Reset.");

// Keeps the identifier when it names one of the devices, else the first device's, else "".
QString repairedSelection(const QString &selected, const QList<CaptureDeviceInfo> &devices)
{
    for (const CaptureDeviceInfo &device : devices) {
        if (!selected.isEmpty() && device.id == selected)
            return selected;
    }
    return devices.isEmpty() ? QString() : devices.first().id;
}

template<typename Signal>
void assign(StudioCaptureSession *session, QString &field, const QString &value, Signal changed)
{
    if (field == value)
        return;
    field = value;
    emit(session->*changed)();
}

// Runs work on the session thread and resumes the awaiting coroutine on the main thread through
// the resume context. When that context is gone first, the coroutine is never resumed.
class SessionWork
{
public:
    SessionWork(QObject *session, QObject *resumeContext, std::function<void()> work)
        : m_session(session)
        , m_resumeContext(resumeContext)
        , m_work(std::move(work))
    { }

    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> awaiting)
    {
        QPointer<QObject> context(m_resumeContext);
        QMetaObject::invokeMethod(
            m_session,
            [work = std::move(m_work), context, awaiting] {
                work();
                if (context)
                    QMetaObject::invokeMethod(
                        context.data(), [awaiting] { awaiting.resume(); }, Qt::QueuedConnection);
            },
            Qt::QueuedConnection);
    }
    void await_resume() const noexcept { }

private:
    QObject *m_session;
    QObject *m_resumeContext;
    std::function<void()> m_work;
};

} // namespace

StudioCaptureSession::StudioCaptureSession(StudioPlatform &platform, QObject *parent)
    : QObject(parent)
    , m_devices(std::move(platform.devices))
    , m_camera(std::move(platform.camera))
    , m_microphone(std::move(platform.microphone))
    , m_segmenter(std::move(platform.segmenter))
    , m_testFeed(std::move(platform.testFeed))
    , m_cameraAccess(std::move(platform.cameraAccess))
    , m_microphoneAccess(std::move(platform.microphoneAccess))
{
    m_sessionThread = std::make_unique<QThread>();
    m_sessionThread->setObjectName(QStringLiteral("studio.session"));
    m_sessionContext = std::make_unique<QObject>();
    m_sessionContext->moveToThread(m_sessionThread.get());
    m_sessionThread->start();

    m_pipelineThread = std::make_unique<QThread>();
    m_pipelineThread->setObjectName(QStringLiteral("studio.media"));
    m_pipeline = new StudioFramePipeline(m_segmenter.get(), platform.loadAsset, platform.loadLogo);
    m_pipeline->moveToThread(m_pipelineThread.get());
    m_pipelineThread->start();

    m_pipeline->setPreviewHandler([this](QImage image) {
        QMetaObject::invokeMethod(
            this,
            [this, image = std::move(image)] {
                if (!m_suspended)
                    setPreviewImage(image);
            },
            Qt::QueuedConnection);
    });
    StudioFramePipeline *pipeline = m_pipeline;
    if (m_camera)
        m_camera->setFrameHandler(
            [pipeline](CameraFrame frame) { pipeline->submitFrame(std::move(frame)); });
    if (m_microphone)
        m_microphone->setChunkHandler(
            [pipeline](AudioChunk chunk) { pipeline->submitAudio(std::move(chunk)); });
    refreshDevices();
}

StudioCaptureSession::~StudioCaptureSession()
{
    // Devices first, so no frame reaches the pipeline while it goes away.
    CameraSource *camera = m_camera.get();
    MicrophoneSource *microphone = m_microphone.get();
    QMetaObject::invokeMethod(
        m_sessionContext.get(),
        [camera, microphone] {
            if (camera)
                camera->close();
            if (microphone)
                microphone->close();
        },
        Qt::BlockingQueuedConnection);
    if (camera)
        camera->setFrameHandler(nullptr);
    if (microphone)
        microphone->setChunkHandler(nullptr);
    StudioFramePipeline *pipeline = m_pipeline;
    QMetaObject::invokeMethod(
        pipeline, [pipeline] { delete pipeline; }, Qt::BlockingQueuedConnection);
    m_pipeline = nullptr;
    m_pipelineThread->quit();
    m_pipelineThread->wait();
    m_sessionThread->quit();
    m_sessionThread->wait();
    m_sessionContext.reset();
}

void StudioCaptureSession::setPreviewImage(const QImage &image)
{
    if (image.isNull() && m_previewImage.isNull())
        return;
    m_previewImage = image;
    emit previewImageChanged();
}

void StudioCaptureSession::refreshDevices()
{
    QList<CaptureDeviceInfo> cameras;
    QList<CaptureDeviceInfo> microphones;
    if (m_devices) {
        cameras = m_devices->videoInputs();
        microphones = m_devices->audioInputs();
    }
    if (cameras != m_cameras) {
        m_cameras = cameras;
        emit camerasChanged();
    }
    if (microphones != m_microphones) {
        m_microphones = microphones;
        emit microphonesChanged();
    }
    assign(this, m_selectedCameraID, repairedSelection(m_selectedCameraID, m_cameras),
        &StudioCaptureSession::selectedCameraIDChanged);
    assign(this, m_selectedMicrophoneID, repairedSelection(m_selectedMicrophoneID, m_microphones),
        &StudioCaptureSession::selectedMicrophoneIDChanged);
}

void StudioCaptureSession::queueOnSessionThread(std::function<void()> work)
{
    QMetaObject::invokeMethod(m_sessionContext.get(), std::move(work), Qt::QueuedConnection);
}

QCoro::Task<std::optional<QString>> StudioCaptureSession::start(bool mirrored)
{
    QPointer<StudioCaptureSession> self(this);
    m_suspended = false;
    m_pipeline->setSuspended(false);
    std::optional<QString> failure;

    // Both questions are always asked, camera first.
    const bool cameraGranted = !m_cameraAccess || m_cameraAccess();
    const bool microphoneGranted = !m_microphoneAccess || m_microphoneAccess();
    if (!cameraGranted) {
        emit statusReported(QStringLiteral("Permission required"));
        failure = cameraAccessText;
        co_return failure;
    }
    if (!microphoneGranted)
        emit statusReported(
            QStringLiteral("Microphone permission missing — video-only preview is available."));

    refreshDevices();
    bool opened = false;
    if (!m_cameras.isEmpty()) {
        CameraSource *camera = m_camera.get();
        MicrophoneSource *microphone = m_microphone.get();
        const QString cameraID = m_selectedCameraID;
        const QString microphoneID = m_selectedMicrophoneID;
        auto result = std::make_shared<std::atomic<bool>>(false);
        // The awaiter is a named local: GCC 12 destroys a temporary inside co_await twice, which
        // here released `result` while it was still in use.
        SessionWork starting(m_sessionContext.get(), this,
            [camera, microphone, cameraID, microphoneID, mirrored, microphoneGranted, result] {
                const bool wasRunning = camera && camera->isRunning();
                result->store(camera && camera->open(cameraID, mirrored));
                if (microphone) {
                    microphone->close();
                    if (microphoneGranted && microphone->open(microphoneID))
                        microphone->start();
                }
                if (result->load() && (!wasRunning || !camera->isRunning()))
                    result->store(camera->start());
            });
        co_await starting;
        if (!self)
            co_return failure;
        opened = result->load();
    }
    // A camera that cannot be opened counts as no camera.
    m_running = opened;
    if (!opened) {
        emit statusReported(QStringLiteral("No camera found"));
        failure = noCameraText;
        co_return failure;
    }
    emit statusReported(QStringLiteral("Camera ready"));
    co_return failure;
}

void StudioCaptureSession::queueConfiguration(bool mirrored)
{
    CameraSource *camera = m_camera.get();
    MicrophoneSource *microphone = m_microphone.get();
    const QString cameraID = m_selectedCameraID;
    const QString microphoneID = m_selectedMicrophoneID;
    const bool withMicrophone = !m_microphoneAccess || m_microphoneAccess();
    // The session keeps its running state: a running one runs on with the new devices.
    queueOnSessionThread([camera, microphone, cameraID, microphoneID, mirrored, withMicrophone] {
        const bool cameraRan = camera && camera->isRunning();
        const bool microphoneRan = microphone && microphone->isRunning();
        if (camera && camera->open(cameraID, mirrored) && cameraRan)
            camera->start();
        if (microphone) {
            microphone->close();
            if (withMicrophone && microphone->open(microphoneID) && (microphoneRan || cameraRan))
                microphone->start();
        }
    });
}

void StudioCaptureSession::selectCamera(const QString &id, bool mirrored)
{
    assign(this, m_selectedCameraID, id, &StudioCaptureSession::selectedCameraIDChanged);
    queueConfiguration(mirrored);
}

void StudioCaptureSession::selectMicrophone(const QString &id, bool mirrored)
{
    assign(this, m_selectedMicrophoneID, id, &StudioCaptureSession::selectedMicrophoneIDChanged);
    queueConfiguration(mirrored);
}

void StudioCaptureSession::suspend()
{
    m_suspended = true;
    m_pipeline->setSuspended(true);
    m_pipeline->post([](StudioFramePipeline &pipeline) { pipeline.stopAnimation(); });
}

void StudioCaptureSession::stop()
{
    m_running = false;
    CameraSource *camera = m_camera.get();
    MicrophoneSource *microphone = m_microphone.get();
    queueOnSessionThread([camera, microphone] {
        if (camera)
            camera->stop();
        if (microphone)
            microphone->stop();
    });
    setPreviewImage({});
}

} // namespace orvella
