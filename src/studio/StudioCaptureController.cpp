#include "studio/StudioCaptureController.h"

#include "platform/MediaClock.h"
#include "studio/CaptureError.h"
#include "studio/StudioFramePipeline.h"
#include "studio/StudioRecordingFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QThread>
#include <QVariantMap>
#include <coroutine>

namespace orvella {

namespace {

const QString cameraAccessText
    = QStringLiteral("Camera access is required. Enable it in your system's privacy settings.");
const QString noCameraText
    = QStringLiteral("No camera was found on this computer. Connect a camera, then use Reset.");

QVariantList deviceList(const QList<CaptureDeviceInfo> &devices)
{
    QVariantList list;
    for (const CaptureDeviceInfo &device : devices)
        list.append(QVariantMap {
            { QStringLiteral("id"), device.id }, { QStringLiteral("name"), device.description } });
    return list;
}

// Keeps the identifier when it names one of the devices, else the first device's, else "".
QString repairedSelection(const QString &selected, const QList<CaptureDeviceInfo> &devices)
{
    if (!selected.isEmpty()) {
        for (const CaptureDeviceInfo &device : devices) {
            if (device.id == selected)
                return selected;
        }
    }
    return devices.isEmpty() ? QString() : devices.first().id;
}

} // namespace

StudioPlatform StudioPlatform::system()
{
    StudioPlatform platform;
    platform.clock = &MonotonicMediaClock::shared();
    platform.devices = makeSystemCaptureDeviceCatalog();
    platform.camera = makeSystemCameraSource(*platform.clock);
    platform.microphone = makeSystemMicrophoneSource(*platform.clock);
    platform.segmenter = makeOnnxPersonSegmenter(defaultSegmentationModelPath());
    platform.writerFactory
        = [](const QString &path, QString *error) { return makeFfmpegMovieWriter(path, error); };
    return platform;
}

StudioCaptureController::StudioCaptureController(QObject *parent)
    : StudioCaptureController(StudioPlatform::system(), parent)
{ }

StudioCaptureController::StudioCaptureController(StudioPlatform platform, QObject *parent)
    : QObject(parent)
    , m_platform(std::move(platform))
    , m_statusMessage(QStringLiteral("Preparing camera…"))
{
    if (!m_platform.clock)
        m_platform.clock = &MonotonicMediaClock::shared();
    if (m_platform.temporaryFolder.isEmpty())
        m_platform.temporaryFolder = QDir::tempPath();

    m_sessionThread = std::make_unique<QThread>();
    m_sessionThread->setObjectName(QStringLiteral("studio.session"));
    m_sessionContext = std::make_unique<QObject>();
    m_sessionContext->moveToThread(m_sessionThread.get());
    m_sessionThread->start();

    m_pipelineThread = std::make_unique<QThread>();
    m_pipelineThread->setObjectName(QStringLiteral("studio.media"));
    m_pipeline = new StudioFramePipeline(m_platform.segmenter.get(), m_platform.loadAsset);
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
    if (m_platform.camera)
        m_platform.camera->setFrameHandler(
            [pipeline](CameraFrame frame) { pipeline->submitFrame(std::move(frame)); });
    if (m_platform.microphone)
        m_platform.microphone->setChunkHandler(
            [pipeline](AudioChunk chunk) { pipeline->submitAudio(std::move(chunk)); });

    m_timer = std::make_unique<QTimer>();
    m_timer->setInterval(m_platform.clockTick);
    connect(m_timer.get(), &QTimer::timeout, this, [this] {
        if (m_state == State::Recording)
            setElapsed(m_elapsed + 0.25);
    });

    pushPictureSettings();
    refreshDevices();
    reloadBackgroundImage();

    if (QCoreApplication::instance())
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
            &StudioCaptureController::finishBeforeQuit);
}

StudioCaptureController::~StudioCaptureController()
{
    // A recording still running when the controller goes is finished and kept, as at quit.
    finishBeforeQuit();
    m_timer->stop();
    // Devices first, so no frame reaches the pipeline while it goes away.
    CameraSource *camera = m_platform.camera.get();
    MicrophoneSource *microphone = m_platform.microphone.get();
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

int StudioCaptureController::processedFrameCount() const
{
    return m_pipeline->processedFrames();
}

int StudioCaptureController::writtenFrameCount() const
{
    return m_pipeline->writtenFrames();
}

int StudioCaptureController::replacedFrameCount() const
{
    return m_pipeline->replacedFrames();
}

QVariantList StudioCaptureController::cameraList() const
{
    return deviceList(m_cameras);
}

QVariantList StudioCaptureController::microphoneList() const
{
    return deviceList(m_microphones);
}

QString StudioCaptureController::selectedPresetRawValue() const
{
    return presetRawValue(m_selectedPreset);
}

QVariantList StudioCaptureController::presets()
{
    QVariantList list;
    for (StudioBackgroundPreset preset : allStudioBackgroundPresets()) {
        list.append(QVariantMap {
            { QStringLiteral("id"), presetRawValue(preset) },
            { QStringLiteral("title"), presetTitle(preset) },
            { QStringLiteral("assetName"), presetAssetName(preset).value_or(QString()) },
            { QStringLiteral("animated"), presetAnimatedKind(preset).has_value() },
            { QStringLiteral("index"), presetIndex(preset) },
        });
    }
    return list;
}

QStringList StudioCaptureController::backgroundFileNameFilters()
{
    return { QStringLiteral("Pictures, GIFs and movies (*.png *.jpg *.jpeg *.gif *.bmp *.webp "
                            "*.heic *.tif *.tiff *.mov *.mp4 *.m4v *.webm *.mkv *.avi)") };
}

void StudioCaptureController::setState(State state, const QString &failure)
{
    const QString text = state == State::Failed ? failure : QString();
    if (m_state == state && m_failureMessage == text)
        return;
    m_state = state;
    m_failureMessage = text;
    emit stateChanged();
}

void StudioCaptureController::setElapsed(double value)
{
    if (m_elapsed == value)
        return;
    m_elapsed = value;
    emit elapsedChanged();
}

void StudioCaptureController::setOutputURL(const QUrl &url)
{
    if (m_outputURL == url)
        return;
    m_outputURL = url;
    emit outputURLChanged();
}

void StudioCaptureController::setPreviewImage(const QImage &image)
{
    if (image.isNull() && m_previewImage.isNull())
        return;
    m_previewImage = image;
    emit previewImageChanged();
}

void StudioCaptureController::setStatusMessage(const QString &message)
{
    if (m_statusMessage == message)
        return;
    m_statusMessage = message;
    emit statusMessageChanged();
}

void StudioCaptureController::setIsUploading(bool uploading)
{
    if (m_isUploading == uploading)
        return;
    m_isUploading = uploading;
    emit isUploadingChanged();
}

void StudioCaptureController::setUploadMessage(const QString &message)
{
    if (m_uploadMessage == message)
        return;
    m_uploadMessage = message;
    emit uploadMessageChanged();
}

void StudioCaptureController::setPreviewPlayer(QObject *player)
{
    if (m_previewPlayer == player)
        return;
    clearPreviewPlayer();
    if (!player)
        return;
    player->setParent(this);
    m_previewPlayer = player;
    emit previewPlayerChanged();
}

void StudioCaptureController::clearPreviewPlayer()
{
    if (!m_previewPlayer)
        return;
    QObject *player = m_previewPlayer;
    m_previewPlayer = nullptr;
    if (player->metaObject()->indexOfMethod("pause()") >= 0)
        QMetaObject::invokeMethod(player, "pause");
    player->deleteLater();
    emit previewPlayerChanged();
}

void StudioCaptureController::setBrightness(double value)
{
    if (m_brightness == value)
        return;
    m_brightness = value;
    pushPictureSettings();
    emit brightnessChanged();
}

void StudioCaptureController::setContrast(double value)
{
    if (m_contrast == value)
        return;
    m_contrast = value;
    pushPictureSettings();
    emit contrastChanged();
}

void StudioCaptureController::setNoiseReduction(double value)
{
    if (m_noiseReduction == value)
        return;
    m_noiseReduction = value;
    pushPictureSettings();
    emit noiseReductionChanged();
}

void StudioCaptureController::setMirrorPreview(bool value)
{
    // Takes effect at the next session configuration.
    if (m_mirrorPreview == value)
        return;
    m_mirrorPreview = value;
    emit mirrorPreviewChanged();
}

void StudioCaptureController::pushPictureSettings()
{
    m_pipeline->setPictureSettings(
        StudioPictureSettings { m_brightness, m_contrast, m_noiseReduction, m_selectedPreset });
}

void StudioCaptureController::refreshDevices()
{
    QList<CaptureDeviceInfo> cameras;
    QList<CaptureDeviceInfo> microphones;
    if (m_platform.devices) {
        cameras = m_platform.devices->videoInputs();
        microphones = m_platform.devices->audioInputs();
    }
    if (cameras != m_cameras) {
        m_cameras = cameras;
        emit camerasChanged();
    }
    if (microphones != m_microphones) {
        m_microphones = microphones;
        emit microphonesChanged();
    }
    const QString camera = repairedSelection(m_selectedCameraID, m_cameras);
    if (camera != m_selectedCameraID) {
        m_selectedCameraID = camera;
        emit selectedCameraIDChanged();
    }
    const QString microphone = repairedSelection(m_selectedMicrophoneID, m_microphones);
    if (microphone != m_selectedMicrophoneID) {
        m_selectedMicrophoneID = microphone;
        emit selectedMicrophoneIDChanged();
    }
}

namespace {

// Runs work on the session thread and resumes the awaiting coroutine on the main thread through
// the controller. When the controller is gone first, the coroutine is never resumed.
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

void StudioCaptureController::queueOnSessionThread(std::function<void()> work)
{
    QMetaObject::invokeMethod(m_sessionContext.get(), std::move(work), Qt::QueuedConnection);
}

QCoro::Task<> StudioCaptureController::requestAccessAndStart()
{
    QPointer<StudioCaptureController> self(this);
    m_suspended = false;
    m_pipeline->setSuspended(false);

    // Both questions are always asked, camera first.
    const bool cameraGranted = !m_platform.cameraAccess || m_platform.cameraAccess();
    const bool microphoneGranted = !m_platform.microphoneAccess || m_platform.microphoneAccess();
    if (!cameraGranted) {
        setState(State::Failed, cameraAccessText);
        setStatusMessage(QStringLiteral("Permission required"));
        emit cameraStartFinished();
        co_return;
    }
    if (!microphoneGranted)
        setStatusMessage(
            QStringLiteral("Microphone permission missing — video-only preview is available."));

    refreshDevices();
    if (m_cameras.isEmpty()) {
        setState(State::Failed, noCameraText);
        setStatusMessage(QStringLiteral("No camera found"));
        emit cameraStartFinished();
        co_return;
    }

    CameraSource *camera = m_platform.camera.get();
    MicrophoneSource *microphone = m_platform.microphone.get();
    const QString cameraID = m_selectedCameraID;
    const QString microphoneID = m_selectedMicrophoneID;
    const bool mirrored = m_mirrorPreview;
    auto opened = std::make_shared<std::atomic<bool>>(false);
    // The awaiter is a named local: GCC 12 destroys a temporary inside co_await twice, which
    // here released `opened` while it was still in use.
    SessionWork start(m_sessionContext.get(), this,
        [camera, microphone, cameraID, microphoneID, mirrored, microphoneGranted, opened] {
            const bool wasRunning = camera && camera->isRunning();
            opened->store(camera && camera->open(cameraID, mirrored));
            if (microphone) {
                microphone->close();
                if (microphoneGranted && microphone->open(microphoneID))
                    microphone->start();
            }
            if (opened->load() && (!wasRunning || !camera->isRunning()))
                opened->store(camera->start());
        });
    co_await start;
    if (!self)
        co_return;
    if (!opened->load()) {
        // A camera that cannot be opened counts as no camera.
        m_sessionRunning = false;
        setState(State::Failed, noCameraText);
        setStatusMessage(QStringLiteral("No camera found"));
        emit cameraStartFinished();
        co_return;
    }
    m_sessionRunning = true;
    setStatusMessage(QStringLiteral("Camera ready"));
    // A ready movie stays ready, and a recording in progress or being finished stays as it is.
    if (m_state == State::Failed || m_state == State::Idle)
        setState(State::Idle);
    emit cameraStartFinished();
}

namespace {

// Fire and forget: the frame of this coroutine ends itself once the start has finished.
QCoro::Task<> startDetached(QPointer<StudioCaptureController> controller)
{
    if (controller)
        co_await controller->requestAccessAndStart();
}

} // namespace

void StudioCaptureController::startCamera()
{
    startDetached(this);
}

void StudioCaptureController::queueSessionConfiguration()
{
    CameraSource *camera = m_platform.camera.get();
    MicrophoneSource *microphone = m_platform.microphone.get();
    const QString cameraID = m_selectedCameraID;
    const QString microphoneID = m_selectedMicrophoneID;
    const bool mirrored = m_mirrorPreview;
    const bool withMicrophone = !m_platform.microphoneAccess || m_platform.microphoneAccess();
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

void StudioCaptureController::selectCamera(const QString &id)
{
    if (m_state == State::Recording)
        return;
    if (m_selectedCameraID != id) {
        m_selectedCameraID = id;
        emit selectedCameraIDChanged();
    }
    queueSessionConfiguration();
}

void StudioCaptureController::selectMicrophone(const QString &id)
{
    if (m_state == State::Recording)
        return;
    if (m_selectedMicrophoneID != id) {
        m_selectedMicrophoneID = id;
        emit selectedMicrophoneIDChanged();
    }
    queueSessionConfiguration();
}

void StudioCaptureController::stopSession()
{
    m_sessionRunning = false;
    CameraSource *camera = m_platform.camera.get();
    MicrophoneSource *microphone = m_platform.microphone.get();
    queueOnSessionThread([camera, microphone] {
        if (camera)
            camera->stop();
        if (microphone)
            microphone->stop();
    });
}

void StudioCaptureController::suspend()
{
    m_suspended = true;
    m_pipeline->setSuspended(true);
    StudioFramePipeline *pipeline = m_pipeline;
    QMetaObject::invokeMethod(pipeline, [pipeline] { pipeline->stopAnimation(); });
    stopTimer();
    if (m_acceptSamples) {
        // Finished and kept; the session stops once the movie is ready.
        finishRecording(true);
        return;
    }
    stopSession();
    setPreviewImage({});
    setStatusMessage(m_state == State::Ready ? QStringLiteral("Recording ready to send")
                                             : QStringLiteral("Camera paused"));
}

void StudioCaptureController::reset()
{
    if (m_acceptSamples) {
        // Discarded: the clean-up below releases the writer unfinished.
        stopTimer();
        m_acceptSamples = false;
        m_recordingActive = false;
    }
    cleanupPreviousRecording();
    clearPreviewPlayer();
    setState(State::Idle);
    setElapsed(0);
    setUploadMessage({});
    setStatusMessage(
        m_sessionRunning ? QStringLiteral("Ready") : QStringLiteral("Preparing camera…"));
    startCamera();
}

void StudioCaptureController::selectPreset(const QString &rawValue)
{
    if (const auto preset = presetFromRawValue(rawValue))
        selectPreset(*preset);
}

void StudioCaptureController::selectPreset(StudioBackgroundPreset preset)
{
    const bool presetChanged = m_selectedPreset != preset;
    m_selectedPreset = preset;
    if (preset != StudioBackgroundPreset::custom && !m_selectedBackgroundURL.isEmpty()) {
        m_selectedBackgroundURL.clear();
        emit selectedBackgroundURLChanged();
    }
    pushPictureSettings();
    reloadBackgroundImage();
    if (presetChanged)
        emit selectedPresetChanged();
}

void StudioCaptureController::chooseBackground(const QUrl &file)
{
    if (file.isEmpty() || !file.isLocalFile())
        return;
    if (m_selectedBackgroundURL != file) {
        m_selectedBackgroundURL = file;
        emit selectedBackgroundURLChanged();
    }
    const bool presetChanged = m_selectedPreset != StudioBackgroundPreset::custom;
    m_selectedPreset = StudioBackgroundPreset::custom;
    pushPictureSettings();
    reloadBackgroundImage();
    if (presetChanged)
        emit selectedPresetChanged();
}

void StudioCaptureController::reloadBackgroundImage()
{
    StudioFramePipeline *pipeline = m_pipeline;
    const StudioBackgroundPreset preset = m_selectedPreset;
    const QString file = m_selectedBackgroundURL.toLocalFile();
    // Files are read and animations drawn on the pipeline's thread.
    QMetaObject::invokeMethod(
        pipeline, [pipeline, preset, file] { pipeline->setBackground(preset, file); });
}

void StudioCaptureController::startTimer()
{
    m_timer->start();
}

void StudioCaptureController::stopTimer()
{
    m_timer->stop();
}

void StudioCaptureController::startRecording()
{
    if (m_state == State::Recording || m_state == State::Processing)
        return;
    if (!m_sessionRunning) {
        setStatusMessage(QStringLiteral("Start the camera before recording"));
        startCamera();
        return;
    }
    cleanupPreviousRecording();
    setElapsed(0);
    m_recordingPath = newTemporaryMoviePath(m_platform.temporaryFolder);
    QString error;
    std::unique_ptr<MovieWriter> writer;
    if (m_platform.writerFactory)
        writer = m_platform.writerFactory(m_recordingPath, &error);
    if (!writer) {
        setState(State::Failed,
            error.isEmpty() ? CaptureError(CaptureError::Kind::exportUnavailable).description()
                            : error);
        setStatusMessage(QStringLiteral("Could not start recording"));
        return;
    }
    auto holder = std::make_shared<std::unique_ptr<MovieWriter>>(std::move(writer));
    StudioFramePipeline *pipeline = m_pipeline;
    QMetaObject::invokeMethod(
        pipeline, [pipeline, holder] { pipeline->beginRecording(std::move(*holder)); });
    m_acceptSamples = true;
    m_recordingActive = true;
    setState(State::Recording);
    setStatusMessage(QStringLiteral("Recording"));
    startTimer();
}

void StudioCaptureController::pauseRecording()
{
    if (m_state != State::Recording)
        return;
    setState(State::Paused);
    setStatusMessage(QStringLiteral("Paused"));
    stopTimer();
    m_recordingActive = false;
    const qint64 now = m_platform.clock->nowMicroseconds();
    StudioFramePipeline *pipeline = m_pipeline;
    QMetaObject::invokeMethod(pipeline, [pipeline, now] { pipeline->pauseRecording(now); });
}

void StudioCaptureController::resumeRecording()
{
    if (m_state != State::Paused)
        return;
    setState(State::Recording);
    setStatusMessage(QStringLiteral("Recording"));
    startTimer();
    m_recordingActive = true;
    const qint64 now = m_platform.clock->nowMicroseconds();
    StudioFramePipeline *pipeline = m_pipeline;
    QMetaObject::invokeMethod(pipeline, [pipeline, now] { pipeline->resumeRecording(now); });
}

void StudioCaptureController::stopRecording()
{
    if (m_state == State::Recording || m_state == State::Paused)
        finishRecording(true);
}

void StudioCaptureController::finishRecording(bool processEffects)
{
    stopTimer();
    m_acceptSamples = false;
    m_recordingActive = false;
    setState(State::Processing);
    setStatusMessage(QStringLiteral("Finishing recording…"));

    const QString moviePath = m_recordingPath;
    const QString folder = m_platform.downloadsFolder.isEmpty() ? defaultDownloadsFolder()
                                                                : m_platform.downloadsFolder;
    const quint64 generation = m_recordingGeneration;
    QPointer<StudioCaptureController> self(this);
    StudioFramePipeline *pipeline = m_pipeline;
    // Queued behind the frames already handed to the pipeline, so they are written first.
    QMetaObject::invokeMethod(
        pipeline, [self, pipeline, moviePath, folder, generation, processEffects] {
            const RecordingOutcome outcome = pipeline->finishRecording(moviePath, folder);
            QMetaObject::invokeMethod(
                self.data(),
                [self, outcome, generation, processEffects] {
                    // A clean-up in between (a reset) already discarded this recording.
                    if (self && self->m_recordingGeneration == generation)
                        self->applyRecordingOutcome(outcome, processEffects);
                },
                Qt::QueuedConnection);
        });
}

void StudioCaptureController::applyRecordingOutcome(
    const RecordingOutcome &outcome, bool processEffects)
{
    if (!outcome.hadWriter) {
        if (processEffects) {
            setState(State::Failed, QStringLiteral("Recording writer missing"));
            setStatusMessage(QStringLiteral("Recording failed"));
        }
    } else if (outcome.completed) {
        setOutputURL(QUrl::fromLocalFile(outcome.outputPath));
        setState(State::Ready);
        setStatusMessage(QStringLiteral("Recording ready to send"));
    } else {
        setState(State::Failed,
            outcome.error.isEmpty() ? QStringLiteral("Recording failed") : outcome.error);
        setStatusMessage(QStringLiteral("Recording failed"));
    }
    if (m_suspended) {
        stopSession();
        setPreviewImage({});
    }
    emit recordingFinished();
}

void StudioCaptureController::cleanupPreviousRecording()
{
    stopTimer();
    clearPreviewPlayer();
    ++m_recordingGeneration;
    const QString moviePath = m_recordingPath;
    // A movie whose Downloads copy failed is the only copy: it stays.
    const bool onlyCopy = !moviePath.isEmpty() && m_outputURL.toLocalFile() == moviePath;
    StudioFramePipeline *pipeline = m_pipeline;
    QMetaObject::invokeMethod(pipeline, [pipeline, moviePath, onlyCopy] {
        pipeline->discardRecording();
        if (!moviePath.isEmpty() && !onlyCopy)
            QFile::remove(moviePath);
    });
    m_recordingPath.clear();
    setOutputURL({});
    setUploadMessage({});
    m_acceptSamples = false;
    m_recordingActive = false;
}

void StudioCaptureController::finishBeforeQuit()
{
    if (!m_acceptSamples)
        return;
    stopTimer();
    m_acceptSamples = false;
    m_recordingActive = false;
    setState(State::Processing);
    const QString moviePath = m_recordingPath;
    const QString folder = m_platform.downloadsFolder.isEmpty() ? defaultDownloadsFolder()
                                                                : m_platform.downloadsFolder;
    RecordingOutcome outcome;
    StudioFramePipeline *pipeline = m_pipeline;
    QMetaObject::invokeMethod(
        pipeline,
        [&outcome, pipeline, moviePath, folder] {
            outcome = pipeline->finishRecording(moviePath, folder);
        },
        Qt::BlockingQueuedConnection);
    ++m_recordingGeneration;
    applyRecordingOutcome(outcome, true);
}

} // namespace orvella
