#pragma once

#include "core/ObjectLink.h"
#include "platform/SaveFileChooser.h"
#include "studio/RecordingDeliveryState.h"
#include "studio/StudioCaptureController.h"
#include "ui/SaveFileDialogModel.h"

#include <QCoroTask>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QtQml/qqmlregistration.h>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>

class QWindow;

namespace orvella {

class FileReveal;
class OrvellaAPIClient;

// What the viewer does with a finished recording besides previewing it: save a copy, keep an
// archive copy, and upload it with the portal fallback. Pure of any controller state, so that
// the rules can be exercised on temporary folders and a fake service.
namespace delivery {

// Copies the recording to target. The target is replaced only once the copy is complete (a
// temporary sibling renamed over it); the recording itself, and any of `kept` (files the studio
// deletes or replaces later), is refused as a target and left untouched. Returns no value on
// success, else a readable reason.
[[nodiscard]] std::optional<QString> saveCopy(
    const QString &source, const QString &target, const QStringList &kept = {});

// The folder that keeps copies of recordings whose upload failed: "OrvellaTV/TestimonySubmissions"
// in the user's data folder.
[[nodiscard]] QString archiveFolder();

// Copies file into folder (created when missing) under its own name; the path of the copy,
// or none when it could not be made.
[[nodiscard]] std::optional<QString> archiveCopy(const QString &file, const QString &folder);

// Where a save dialog for `recording` opens: the folder last saved in or browsed to, else the
// recording's; where that is the temporary folder holding the recording (no Downloads folder),
// a folder that lasts. Looks at the disk: run it away from the GUI thread.
[[nodiscard]] QString saveFolder(
    const QString &recording, const QString &lastFolder, const QString &temporaryFolder);

// Only web pages are opened as the portal.
[[nodiscard]] bool isOpenablePortal(const QUrl &url);

struct UploadRequest
{
    QString filePath;
    QString name;
    QString email;
    QString title;
};

// Sends one testimony; resolves to no value when the service took it, else to the failure's
// readable description.
using Uploader = std::function<QCoro::Task<std::optional<QString>>(UploadRequest)>;

struct Services
{
    Uploader upload;
    // The desktop's save dialog; without one, or when it is unavailable, the client's own opens.
    std::shared_ptr<SaveFileChooser> chooser;
    std::shared_ptr<FileReveal> reveal;
    std::function<bool(const QUrl &)> openUrl;
    QString archiveFolder;
};

struct UploadReport
{
    bool uploaded = false;
    QString uploadMessage;
    QString statusMessage;
    std::optional<QString> archivedCopy; // kept after a failed upload
};

// Sends through the API client's testimony upload, turning its errors into their descriptions.
[[nodiscard]] Uploader apiUploader(OrvellaAPIClient &client);

// Status while an upload runs.
[[nodiscard]] QString uploadingStatus();

// Uploads filePath. On failure keeps an archive copy and, with a web portal, selects the copy
// in the file manager and opens the portal so the viewer can attach it there. Everything it
// needs is taken by value: it may outlive the screen that started it.
[[nodiscard]] QCoro::Task<UploadReport> upload(
    Services services, QString filePath, QString name, QString email, QUrl portal);

} // namespace delivery

// What the ready card does with the capture controller's finished recording: preview, save,
// reveal and upload. Results are reported in the controller's status line and its delivery
// state, so the screen shows them wherever they came from. An upload belongs to that state,
// not to this object: it finishes and reports even when the screen has gone.
class RecordingDelivery : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(orvella::StudioCaptureController *capture READ capture WRITE setCapture NOTIFY
            captureChanged)
    // A finished recording is there to act on.
    Q_PROPERTY(bool readyCardVisible READ readyCardVisible NOTIFY recordingChanged)
    Q_PROPERTY(QString recordingFileName READ recordingFileName NOTIFY recordingChanged)
    // The client's own save dialog, opened where the desktop offers none.
    Q_PROPERTY(orvella::SaveFileDialogModel *saveDialog READ saveDialog CONSTANT)

public:
    using PlayerFactory = std::function<QObject *(const QUrl &file)>;

    // Real services: the shared API client, the desktop's file manager and browser.
    explicit RecordingDelivery(QObject *parent = nullptr);
    RecordingDelivery(delivery::Services services, QObject *parent = nullptr);
    ~RecordingDelivery() override;

    [[nodiscard]] StudioCaptureController *capture() const { return m_capture.get(); }
    void setCapture(StudioCaptureController *capture);

    [[nodiscard]] bool readyCardVisible() const;
    [[nodiscard]] QString recordingFileName() const;
    [[nodiscard]] SaveFileDialogModel *saveDialog() const { return m_saveDialog; }
    // Where a save dialog opens (delivery::saveFolder), found on a worker.
    [[nodiscard]] QCoro::Task<QString> saveFolder() const;

    // What plays the preview.
    void setPlayerFactory(PlayerFactory factory) { m_playerFactory = std::move(factory); }
    void setServices(delivery::Services services) { m_services = std::move(services); }

    // Plays the recording in the stage, from its start.
    Q_INVOKABLE void openPreview();
    // Pauses and drops the preview; the camera picture returns.
    Q_INVOKABLE void closePreview();
    // Asks where to save a copy, in the desktop's save dialog over `window` or else in the
    // client's own, then saves there; hints when there is nothing to save.
    Q_INVOKABLE void requestSave(QWindow *window = nullptr);
    // Copies the recording to the chosen path; an empty path is a cancelled dialog.
    QCoro::Task<> saveRecordingTo(QString destination);
    // Selects the recording in the file manager; silent without a recording.
    Q_INVOKABLE void reveal();
    // Uploads with the arguments the controller was given.
    Q_INVOKABLE void upload();
    QCoro::Task<> uploadRecording(delivery::UploadArguments arguments);

signals:
    void captureChanged();
    void recordingChanged();

private:
    [[nodiscard]] QString recordingPath() const;
    QCoro::Task<> chooseWhereToSave(QString recording, QString parentWindow);
    void rememberSaveFolder(const QString &folder);

    ObjectLink<StudioCaptureController> m_capture;
    delivery::Services m_services;
    PlayerFactory m_playerFactory;
    SaveFileDialogModel *m_saveDialog;
    // Set while a save dialog is being opened or the desktop's is up; stopped when this object
    // goes.
    bool m_choosing = false;
    std::stop_source m_choosingStop;
};

} // namespace orvella
