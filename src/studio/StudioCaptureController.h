#pragma once

#include "studio/RecordingDeliveryState.h"
#include "studio/StudioBackgroundPreset.h"
#include "studio/StudioCaptureSession.h"
#include "studio/StudioLook.h"
#include "studio/StudioPlatform.h"
#include "studio/StudioRecordingSession.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>
#include <memory>
#include <qcoro/qcorotask.h>

namespace orvella {

// The studio as QML sees it: one face over the capture session (devices and threads), the look
// (picture settings and background), the recording session (the state machine) and the
// delivery's state, plus the one status line they share. Building it prepares devices and the
// chosen background but starts no capture. Main thread only.
class StudioCaptureController : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Held by the app model")

    Q_PROPERTY(orvella::StudioRecordingSession::State state READ state NOTIFY stateChanged)
    // The reason shown while state is Failed; empty otherwise.
    Q_PROPERTY(QString failureMessage READ failureMessage NOTIFY stateChanged)
    Q_PROPERTY(double elapsed READ elapsed NOTIFY elapsedChanged)
    // Lists of {id, name} maps in the order the pickers show them.
    Q_PROPERTY(QVariantList cameras READ cameraList NOTIFY camerasChanged)
    Q_PROPERTY(QVariantList microphones READ microphoneList NOTIFY microphonesChanged)
    Q_PROPERTY(QString selectedCameraID READ selectedCameraID NOTIFY selectedCameraIDChanged)
    Q_PROPERTY(
        QString selectedMicrophoneID READ selectedMicrophoneID NOTIFY selectedMicrophoneIDChanged)
    Q_PROPERTY(QUrl outputURL READ outputURL NOTIFY outputURLChanged)
    Q_PROPERTY(
        QString statusMessage READ statusMessage WRITE setStatusMessage NOTIFY statusMessageChanged)
    Q_PROPERTY(double brightness READ brightness WRITE setBrightness NOTIFY brightnessChanged)
    Q_PROPERTY(double contrast READ contrast WRITE setContrast NOTIFY contrastChanged)
    Q_PROPERTY(double noiseReduction READ noiseReduction WRITE setNoiseReduction NOTIFY
            noiseReductionChanged)
    Q_PROPERTY(
        bool mirrorPreview READ mirrorPreview WRITE setMirrorPreview NOTIFY mirrorPreviewChanged)
    // The raw value of the chosen preset ("none", "softBlur", …).
    Q_PROPERTY(QString selectedPreset READ selectedPresetRawValue NOTIFY selectedPresetChanged)
    Q_PROPERTY(
        QUrl selectedBackgroundURL READ selectedBackgroundURL NOTIFY selectedBackgroundURLChanged)
    Q_PROPERTY(QImage previewImage READ previewImage NOTIFY previewImageChanged)
    Q_PROPERTY(bool hasPreviewImage READ hasPreviewImage NOTIFY previewImageChanged)
    Q_PROPERTY(bool isUploading READ isUploading WRITE setIsUploading NOTIFY isUploadingChanged)
    // Empty when there is no message.
    Q_PROPERTY(
        QString uploadMessage READ uploadMessage WRITE setUploadMessage NOTIFY uploadMessageChanged)
    // The player of the finished recording while it is previewed; null otherwise.
    Q_PROPERTY(QObject *previewPlayer READ previewPlayer WRITE setPreviewPlayer NOTIFY
            previewPlayerChanged)
    // Every preset as {id, title, assetName, animated, index} in the picker's order.
    Q_PROPERTY(QVariantList presets READ presets CONSTANT)
    // Name filters for the custom background file dialog: pictures, GIFs and movies.
    Q_PROPERTY(QStringList backgroundFileNameFilters READ backgroundFileNameFilters CONSTANT)

public:
    using State = StudioRecordingSession::State;

    // Built with the computer's devices unless a test hands in synthetic ones. The upload's
    // name, e-mail and portal come from uploadArguments (empty values without it).
    explicit StudioCaptureController(StudioPlatform platform = StudioPlatform::system(),
        delivery::UploadArgumentsSource uploadArguments = {}, QObject *parent = nullptr);
    ~StudioCaptureController() override;

    [[nodiscard]] State state() const { return m_recording->state(); }
    [[nodiscard]] QString failureMessage() const { return m_recording->failureMessage(); }
    [[nodiscard]] double elapsed() const { return m_recording->elapsed(); }
    [[nodiscard]] const QList<CaptureDeviceInfo> &cameras() const { return m_capture->cameras(); }
    [[nodiscard]] const QList<CaptureDeviceInfo> &microphones() const
    {
        return m_capture->microphones();
    }
    [[nodiscard]] QVariantList cameraList() const;
    [[nodiscard]] QVariantList microphoneList() const;
    [[nodiscard]] QString selectedCameraID() const { return m_capture->selectedCameraID(); }
    [[nodiscard]] QString selectedMicrophoneID() const { return m_capture->selectedMicrophoneID(); }
    [[nodiscard]] QUrl outputURL() const { return m_recording->outputURL(); }
    [[nodiscard]] QString statusMessage() const { return m_statusMessage; }
    [[nodiscard]] StudioLook &look() const { return *m_look; }
    [[nodiscard]] double brightness() const { return m_look->brightness(); }
    [[nodiscard]] double contrast() const { return m_look->contrast(); }
    [[nodiscard]] double noiseReduction() const { return m_look->noiseReduction(); }
    [[nodiscard]] bool mirrorPreview() const { return m_look->mirrorPreview(); }
    [[nodiscard]] StudioBackgroundPreset selectedPreset() const { return m_look->selectedPreset(); }
    [[nodiscard]] QString selectedPresetRawValue() const;
    [[nodiscard]] QUrl selectedBackgroundURL() const { return m_look->selectedBackgroundURL(); }
    [[nodiscard]] QImage previewImage() const { return m_capture->previewImage(); }
    [[nodiscard]] bool hasPreviewImage() const { return !previewImage().isNull(); }
    [[nodiscard]] RecordingDeliveryState &deliveryState() const { return *m_delivery; }
    [[nodiscard]] bool isUploading() const { return m_delivery->isUploading(); }
    [[nodiscard]] QString uploadMessage() const { return m_delivery->uploadMessage(); }
    [[nodiscard]] QObject *previewPlayer() const { return m_delivery->previewPlayer(); }
    [[nodiscard]] static QVariantList presets() { return StudioLook::presets(); }
    [[nodiscard]] static QStringList backgroundFileNameFilters()
    {
        return StudioLook::backgroundFileNameFilters();
    }

    // Picture settings, bound straight to the studio's sliders and toggle.
    void setBrightness(double value) { m_look->setBrightness(value); }
    void setContrast(double value) { m_look->setContrast(value); }
    void setNoiseReduction(double value) { m_look->setNoiseReduction(value); }
    void setMirrorPreview(bool value) { m_look->setMirrorPreview(value); }

    // The one status line; the delivery of the finished recording writes it too.
    void setStatusMessage(const QString &message);
    void setIsUploading(bool uploading) { m_delivery->setIsUploading(uploading); }
    void setUploadMessage(const QString &message) { m_delivery->setUploadMessage(message); }
    void setPreviewPlayer(QObject *player) { m_delivery->setPreviewPlayer(player); }
    Q_INVOKABLE void clearPreviewPlayer() { m_delivery->clearPreviewPlayer(); }

    // Re-reads the device lists and repairs the selected identifiers.
    Q_INVOKABLE void refreshDevices() { m_capture->refreshDevices(); }
    // Checks permissions and devices, configures and starts the capture session.
    QCoro::Task<> requestAccessAndStart();
    // The same for the screen, which calls it each time it is shown.
    Q_INVOKABLE void startCamera();
    // Ignored while recording; reconfigures the session otherwise.
    Q_INVOKABLE void selectCamera(const QString &id);
    Q_INVOKABLE void selectMicrophone(const QString &id);
    // The screen went away: a running or paused recording is finished and kept, else the
    // camera stops.
    Q_INVOKABLE void suspend();
    // Discards the recording and starts the camera again.
    Q_INVOKABLE void reset();

    // Background choice; an unknown raw value is ignored.
    Q_INVOKABLE void selectPreset(const QString &rawValue);
    void selectPreset(StudioBackgroundPreset preset) { m_look->selectPreset(preset); }
    // The file the viewer chose as custom background; an empty URL (a cancelled dialog)
    // changes nothing.
    Q_INVOKABLE void chooseBackground(const QUrl &file) { m_look->chooseBackground(file); }

    // Recording transport.
    Q_INVOKABLE void startRecording();
    Q_INVOKABLE void pauseRecording() { m_recording->pause(); }
    Q_INVOKABLE void resumeRecording() { m_recording->resume(); }
    Q_INVOKABLE void stopRecording();

    // The temporary movie of the current or last recording (empty when none).
    [[nodiscard]] QString recordingPath() const { return m_recording->recordingPath(); }
    // Where movies are written, and where a finished copy goes when there is no Downloads
    // folder: the system may clear it when the computer restarts.
    [[nodiscard]] QString temporaryFolder() const { return m_recording->temporaryFolder(); }
    // Files a copy may not be saved over: the kept copy and the temporary movie.
    [[nodiscard]] QStringList recordingFiles() const { return m_recording->recordingFiles(); }
    [[nodiscard]] bool isSessionRunning() const { return m_capture->isRunning(); }
    // Camera frames processed and frames written into the current recording so far.
    [[nodiscard]] int processedFrameCount() const;
    [[nodiscard]] int writtenFrameCount() const;
    // Camera frames replaced while waiting for the pipeline (never more than one waits).
    [[nodiscard]] int replacedFrameCount() const;
    // Finishes a running or paused recording and makes its Downloads copy before returning;
    // called when the application quits. The temporary movie then goes when a complete copy of
    // it is kept (in Downloads, or archived after a failed upload); else it stays, the one copy.
    void finishBeforeQuit();

signals:
    void stateChanged();
    void elapsedChanged();
    void camerasChanged();
    void microphonesChanged();
    void selectedCameraIDChanged();
    void selectedMicrophoneIDChanged();
    void outputURLChanged();
    void statusMessageChanged();
    void brightnessChanged();
    void contrastChanged();
    void noiseReductionChanged();
    void mirrorPreviewChanged();
    void selectedPresetChanged();
    void selectedBackgroundURLChanged();
    void previewImageChanged();
    void isUploadingChanged();
    void uploadMessageChanged();
    void previewPlayerChanged();
    // The session start of requestAccessAndStart() has been handled (successfully or not).
    void cameraStartFinished();
    // A finished recording reached ready or failed.
    void recordingFinished();

private:
    void forwardSignals();
    void recordingEnded();

    // Declared in this order so the capture session, which owns the threads, goes last.
    std::unique_ptr<StudioCaptureSession> m_capture;
    std::unique_ptr<StudioLook> m_look;
    std::unique_ptr<StudioRecordingSession> m_recording;
    std::unique_ptr<RecordingDeliveryState> m_delivery;
    QString m_statusMessage;
};

} // namespace orvella
