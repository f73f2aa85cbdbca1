#pragma once

#include "studio/StudioBackgroundPreset.h"
#include "studio/StudioPlatform.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>
#include <memory>
#include <qcoro/qcorotask.h>

class QThread;

namespace orvella {

class StudioFramePipeline;
struct RecordingOutcome;

// Owner of the studio's capture session and recording. Built once by the app model; building
// it prepares devices and the chosen background but starts no capture. All state lives on the
// main thread; frames are processed and written on a worker thread, and the devices are opened,
// started and stopped on a session thread.
class StudioCaptureController : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Held by the app model")

    Q_PROPERTY(State state READ state NOTIFY stateChanged)
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
    enum class State { Failed, Idle, Recording, Paused, Processing, Ready };
    Q_ENUM(State)

    explicit StudioCaptureController(QObject *parent = nullptr);
    // Tests and benchmarks hand in synthetic devices.
    StudioCaptureController(StudioPlatform platform, QObject *parent = nullptr);
    ~StudioCaptureController() override;

    [[nodiscard]] State state() const { return m_state; }
    [[nodiscard]] QString failureMessage() const { return m_failureMessage; }
    [[nodiscard]] double elapsed() const { return m_elapsed; }
    [[nodiscard]] const QList<CaptureDeviceInfo> &cameras() const { return m_cameras; }
    [[nodiscard]] const QList<CaptureDeviceInfo> &microphones() const { return m_microphones; }
    [[nodiscard]] QVariantList cameraList() const;
    [[nodiscard]] QVariantList microphoneList() const;
    [[nodiscard]] QString selectedCameraID() const { return m_selectedCameraID; }
    [[nodiscard]] QString selectedMicrophoneID() const { return m_selectedMicrophoneID; }
    [[nodiscard]] QUrl outputURL() const { return m_outputURL; }
    [[nodiscard]] QString statusMessage() const { return m_statusMessage; }
    [[nodiscard]] double brightness() const { return m_brightness; }
    [[nodiscard]] double contrast() const { return m_contrast; }
    [[nodiscard]] double noiseReduction() const { return m_noiseReduction; }
    [[nodiscard]] bool mirrorPreview() const { return m_mirrorPreview; }
    [[nodiscard]] StudioBackgroundPreset selectedPreset() const { return m_selectedPreset; }
    [[nodiscard]] QString selectedPresetRawValue() const;
    [[nodiscard]] QUrl selectedBackgroundURL() const { return m_selectedBackgroundURL; }
    [[nodiscard]] QImage previewImage() const { return m_previewImage; }
    [[nodiscard]] bool hasPreviewImage() const { return !m_previewImage.isNull(); }
    [[nodiscard]] bool isUploading() const { return m_isUploading; }
    [[nodiscard]] QString uploadMessage() const { return m_uploadMessage; }
    [[nodiscard]] QObject *previewPlayer() const { return m_previewPlayer; }
    [[nodiscard]] static QVariantList presets();
    [[nodiscard]] static QStringList backgroundFileNameFilters();

    // Picture settings, bound straight to the studio's sliders and toggle.
    void setBrightness(double value);
    void setContrast(double value);
    void setNoiseReduction(double value);
    void setMirrorPreview(bool value);

    // Written by the delivery of the finished recording (preview, save, upload).
    void setStatusMessage(const QString &message);
    void setIsUploading(bool uploading);
    void setUploadMessage(const QString &message);
    // Takes ownership of the player; replacing or clearing it pauses and deletes the old one.
    void setPreviewPlayer(QObject *player);
    Q_INVOKABLE void clearPreviewPlayer();

    // Re-reads the device lists and repairs the selected identifiers.
    Q_INVOKABLE void refreshDevices();
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
    void selectPreset(StudioBackgroundPreset preset);
    // The file the viewer chose as custom background; an empty URL (a cancelled dialog)
    // changes nothing.
    Q_INVOKABLE void chooseBackground(const QUrl &file);

    // Recording transport.
    Q_INVOKABLE void startRecording();
    Q_INVOKABLE void pauseRecording();
    Q_INVOKABLE void resumeRecording();
    Q_INVOKABLE void stopRecording();

    // The temporary movie of the current or last recording (empty when none).
    [[nodiscard]] QString recordingPath() const { return m_recordingPath; }
    [[nodiscard]] bool isSessionRunning() const { return m_sessionRunning; }
    // Camera frames processed and frames written into the current recording so far.
    [[nodiscard]] int processedFrameCount() const;
    [[nodiscard]] int writtenFrameCount() const;
    // Camera frames replaced while waiting for the pipeline (never more than one waits).
    [[nodiscard]] int replacedFrameCount() const;
    // Finishes a running or paused recording and makes its Downloads copy before returning;
    // called when the application quits.
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
    void setState(State state, const QString &failure = {});
    void setElapsed(double value);
    void setOutputURL(const QUrl &url);
    void setPreviewImage(const QImage &image);
    void pushPictureSettings();
    void reloadBackgroundImage();
    void startTimer();
    void stopTimer();
    void finishRecording(bool processEffects);
    void applyRecordingOutcome(const RecordingOutcome &outcome, bool processEffects);
    void cleanupPreviousRecording();
    void queueOnSessionThread(std::function<void()> work);
    void queueSessionConfiguration();
    void stopSession();

    StudioPlatform m_platform;
    std::unique_ptr<QThread> m_sessionThread;
    std::unique_ptr<QObject> m_sessionContext;
    std::unique_ptr<QThread> m_pipelineThread;
    StudioFramePipeline *m_pipeline = nullptr; // lives on m_pipelineThread

    State m_state = State::Idle;
    QString m_failureMessage;
    double m_elapsed = 0;
    QList<CaptureDeviceInfo> m_cameras;
    QList<CaptureDeviceInfo> m_microphones;
    QString m_selectedCameraID;
    QString m_selectedMicrophoneID;
    QUrl m_outputURL;
    QString m_statusMessage;
    double m_brightness = 0;
    double m_contrast = 1.0;
    double m_noiseReduction = 0.35;
    bool m_mirrorPreview = true;
    StudioBackgroundPreset m_selectedPreset = StudioBackgroundPreset::none;
    QUrl m_selectedBackgroundURL;
    QImage m_previewImage;
    bool m_isUploading = false;
    QString m_uploadMessage;
    QPointer<QObject> m_previewPlayer;

    QString m_recordingPath;
    bool m_acceptSamples = false;
    bool m_recordingActive = false;
    bool m_suspended = false;
    bool m_sessionRunning = false;
    quint64 m_recordingGeneration = 0;
    std::unique_ptr<QTimer> m_timer;
};

} // namespace orvella
