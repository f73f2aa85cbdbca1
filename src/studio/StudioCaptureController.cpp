#include "studio/StudioCaptureController.h"

#include "platform/MediaClock.h"
#include "studio/StudioFramePipeline.h"
#include "studio/StudioLog.h"
#include "studio/StudioPictureCatalog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QVariantMap>
#include <mutex>

namespace orvella {

namespace {

QVariantList deviceList(const QList<CaptureDeviceInfo> &devices)
{
    QVariantList list;
    for (const CaptureDeviceInfo &device : devices)
        list.append(QVariantMap {
            { QStringLiteral("id"), device.id }, { QStringLiteral("name"), device.description } });
    return list;
}

RecordingSetup recordingSetup(StudioPlatform &platform)
{
    return { platform.clock ? platform.clock : &MonotonicMediaClock::shared(),
        std::move(platform.writerFactory),
        platform.temporaryFolder.isEmpty() ? QDir::tempPath() : platform.temporaryFolder,
        platform.downloadsFolder, platform.clockTick };
}

// Fire and forget: the frame of this coroutine ends itself once the start has finished.
QCoro::Task<> startDetached(QPointer<StudioCaptureController> controller)
{
    if (controller)
        co_await controller->requestAccessAndStart();
}

} // namespace

StudioPlatform StudioPlatform::system()
{
    if (!qEnvironmentVariableIsEmpty("ORVELLA_TEST_CAMERA"))
        return testCamera();
    StudioPlatform platform;
    platform.clock = &MonotonicMediaClock::shared();
    platform.devices = makeSystemCaptureDeviceCatalog();
    platform.camera = makeSystemCameraSource(*platform.clock);
    platform.microphone = makeSystemMicrophoneSource(*platform.clock);
    platform.segmenter = makeOnnxPersonSegmenter(defaultSegmentationModelPath());
    platform.writerFactory
        = [](const QString &path, QString *error) { return makeFfmpegMovieWriter(path, error); };
    platform.loadAsset = [](const QString &name) { return studioPictures::loadPicture(name); };
    platform.loadLogo = studioPictures::loadLogo;
    return platform;
}

StudioPlatform StudioPlatform::testCamera()
{
    StudioPlatform platform;
    platform.clock = &MonotonicMediaClock::shared();
    auto devices = std::make_unique<SyntheticCaptureDeviceCatalog>();
    devices->cameras = { { QStringLiteral("test-camera"), QStringLiteral("Test Camera") } };
    devices->microphones
        = { { QStringLiteral("test-microphone"), QStringLiteral("Test Microphone") } };
    auto camera = std::make_unique<SyntheticCameraSource>();
    auto microphone = std::make_unique<SyntheticMicrophoneSource>();
    SyntheticPersonSegmenter *synthetic = nullptr;
    const QString model = defaultSegmentationModelPath();
    const bool withModel = QFileInfo::exists(model);
    if (withModel) {
        platform.segmenter = makeOnnxPersonSegmenter(model);
    } else {
        auto segmenter = std::make_unique<SyntheticPersonSegmenter>();
        synthetic = segmenter.get();
        platform.segmenter = std::move(segmenter);
    }
    platform.testFeed
        = std::make_unique<TestCameraFeed>(*camera, *microphone, *platform.clock, synthetic);
    platform.devices = std::move(devices);
    platform.camera = std::move(camera);
    platform.microphone = std::move(microphone);
    platform.writerFactory
        = [](const QString &path, QString *error) { return makeFfmpegMovieWriter(path, error); };
    platform.loadAsset = [](const QString &name) { return studioPictures::loadPicture(name); };
    platform.loadLogo = studioPictures::loadLogo;
    static std::once_flag announced;
    std::call_once(announced, [&] {
        qCWarning(lcStudio).noquote()
            << "ORVELLA_TEST_CAMERA is set: the studio records a synthetic camera and microphone"
            << (withModel ? QStringLiteral("(segmented by the model at %1)").arg(model)
                          : QStringLiteral("(segmented by the synthetic segmenter)"));
    });
    return platform;
}

StudioCaptureController::StudioCaptureController(
    StudioPlatform platform, delivery::UploadArgumentsSource uploadArguments, QObject *parent)
    : QObject(parent)
    , m_capture(std::make_unique<StudioCaptureSession>(platform))
    , m_look(std::make_unique<StudioLook>(m_capture->pipeline()))
    , m_recording(
          std::make_unique<StudioRecordingSession>(m_capture->pipeline(), recordingSetup(platform)))
    , m_delivery(std::make_unique<RecordingDeliveryState>(std::move(uploadArguments)))
    , m_statusMessage(QStringLiteral("Preparing camera…"))
{
    forwardSignals();
    if (QCoreApplication::instance())
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
            &StudioCaptureController::finishBeforeQuit);
}

StudioCaptureController::~StudioCaptureController()
{
    // A recording still running when the controller goes is finished and kept, as at quit.
    finishBeforeQuit();
}

void StudioCaptureController::finishBeforeQuit()
{
    m_recording->finishNow();
    QStringList archived;
    if (const auto copy = m_delivery->archivedCopyOf(m_recording->recordingPath()))
        archived.append(*copy);
    m_recording->releaseWorkingMovie(archived);
}

void StudioCaptureController::forwardSignals()
{
    using C = StudioCaptureController;
    StudioCaptureSession *capture = m_capture.get();
    connect(capture, &StudioCaptureSession::camerasChanged, this, &C::camerasChanged);
    connect(capture, &StudioCaptureSession::microphonesChanged, this, &C::microphonesChanged);
    connect(
        capture, &StudioCaptureSession::selectedCameraIDChanged, this, &C::selectedCameraIDChanged);
    connect(capture, &StudioCaptureSession::selectedMicrophoneIDChanged, this,
        &C::selectedMicrophoneIDChanged);
    connect(capture, &StudioCaptureSession::previewImageChanged, this, &C::previewImageChanged);
    connect(capture, &StudioCaptureSession::statusReported, this, &C::setStatusMessage);

    StudioLook *look = m_look.get();
    connect(look, &StudioLook::brightnessChanged, this, &C::brightnessChanged);
    connect(look, &StudioLook::contrastChanged, this, &C::contrastChanged);
    connect(look, &StudioLook::noiseReductionChanged, this, &C::noiseReductionChanged);
    connect(look, &StudioLook::mirrorPreviewChanged, this, &C::mirrorPreviewChanged);
    connect(look, &StudioLook::selectedPresetChanged, this, &C::selectedPresetChanged);
    connect(
        look, &StudioLook::selectedBackgroundURLChanged, this, &C::selectedBackgroundURLChanged);

    StudioRecordingSession *recording = m_recording.get();
    connect(recording, &StudioRecordingSession::stateChanged, this, &C::stateChanged);
    connect(recording, &StudioRecordingSession::elapsedChanged, this, &C::elapsedChanged);
    connect(recording, &StudioRecordingSession::outputURLChanged, this, &C::outputURLChanged);
    connect(recording, &StudioRecordingSession::statusReported, this, &C::setStatusMessage);
    connect(recording, &StudioRecordingSession::discarded, m_delivery.get(),
        &RecordingDeliveryState::forgetRecording);
    connect(recording, &StudioRecordingSession::finished, this, &C::recordingEnded);

    RecordingDeliveryState *delivery = m_delivery.get();
    connect(delivery, &RecordingDeliveryState::isUploadingChanged, this, &C::isUploadingChanged);
    connect(
        delivery, &RecordingDeliveryState::uploadMessageChanged, this, &C::uploadMessageChanged);
    connect(
        delivery, &RecordingDeliveryState::previewPlayerChanged, this, &C::previewPlayerChanged);
}

int StudioCaptureController::processedFrameCount() const
{
    return m_capture->pipeline()->processedFrames();
}

int StudioCaptureController::writtenFrameCount() const
{
    return m_capture->pipeline()->writtenFrames();
}

int StudioCaptureController::replacedFrameCount() const
{
    return m_capture->pipeline()->replacedFrames();
}

QVariantList StudioCaptureController::cameraList() const
{
    return deviceList(cameras());
}

QVariantList StudioCaptureController::microphoneList() const
{
    return deviceList(microphones());
}

QString StudioCaptureController::selectedPresetRawValue() const
{
    return presetRawValue(selectedPreset());
}

void StudioCaptureController::setStatusMessage(const QString &message)
{
    if (m_statusMessage == message)
        return;
    m_statusMessage = message;
    emit statusMessageChanged();
}

QCoro::Task<> StudioCaptureController::requestAccessAndStart()
{
    QPointer<StudioCaptureController> self(this);
    QCoro::Task<std::optional<QString>> starting = m_capture->start(m_look->mirrorPreview());
    const std::optional<QString> failure = co_await starting;
    if (!self)
        co_return;
    if (failure)
        m_recording->setState(State::Failed, *failure);
    // A ready movie stays ready, and a recording in progress or being finished stays as it is.
    else if (state() == State::Failed || state() == State::Idle)
        m_recording->setState(State::Idle);
    emit cameraStartFinished();
}

void StudioCaptureController::startCamera()
{
    startDetached(this);
}

void StudioCaptureController::selectCamera(const QString &id)
{
    if (state() != State::Recording)
        m_capture->selectCamera(id, m_look->mirrorPreview());
}

void StudioCaptureController::selectMicrophone(const QString &id)
{
    if (state() != State::Recording)
        m_capture->selectMicrophone(id, m_look->mirrorPreview());
}

void StudioCaptureController::suspend()
{
    m_capture->suspend();
    if (m_recording->isActive()) {
        // Finished and kept; the session stops once the movie is ready.
        m_recording->finish();
        return;
    }
    m_capture->stop();
    setStatusMessage(state() == State::Ready ? QStringLiteral("Recording ready to send")
                                             : QStringLiteral("Camera paused"));
}

void StudioCaptureController::recordingEnded()
{
    if (m_capture->isSuspended())
        m_capture->stop();
    emit recordingFinished();
}

void StudioCaptureController::reset()
{
    // An unfinished recording is discarded with the writer released unfinished.
    m_recording->reset();
    setStatusMessage(
        isSessionRunning() ? QStringLiteral("Ready") : QStringLiteral("Preparing camera…"));
    startCamera();
}

void StudioCaptureController::selectPreset(const QString &rawValue)
{
    if (const auto preset = presetFromRawValue(rawValue))
        m_look->selectPreset(*preset);
}

void StudioCaptureController::startRecording()
{
    if (state() == State::Recording || state() == State::Processing)
        return;
    if (!isSessionRunning()) {
        setStatusMessage(QStringLiteral("Start the camera before recording"));
        startCamera();
        return;
    }
    m_recording->start();
}

void StudioCaptureController::stopRecording()
{
    if (state() == State::Recording || state() == State::Paused)
        m_recording->finish();
}

} // namespace orvella
