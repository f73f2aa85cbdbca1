#include "studio/RecordingDelivery.h"

#include "api/APIError.h"
#include "api/Identity.h"
#include "api/OrvellaAPIClient.h"
#include "api/WebLink.h"
#include "platform/FileReveal.h"
#include "player/PlayerController.h"
#include "ui/SavePaths.h"

#include <QCoroFuture>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

namespace orvella::delivery {

namespace {

QString withFullStop(const QString &text)
{
    if (text.endsWith(u'.') || text.endsWith(u'!') || text.endsWith(u'?'))
        return text;
    return text + u'.';
}

QString couldNotSave(const QString &target, const QString &reason)
{
    return QStringLiteral("“%1” could not be saved: %2")
        .arg(QFileInfo(target).fileName(), withFullStop(reason));
}

} // namespace

std::optional<QString> saveCopy(
    const QString &source, const QString &target, const QStringList &kept)
{
    if (target.isEmpty())
        return QStringLiteral("No file was chosen.");
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly))
        return QStringLiteral("The recording could not be read: %1")
            .arg(withFullStop(input.errorString()));
    // Nothing would be saved, or the copy would go with the file it replaced.
    if (QString refusal = savepaths::keptFileRefusal(target, QStringList { source } + kept);
        !refusal.isEmpty())
        return refusal;

    QSaveFile output(target);
    // The target may be a folder the viewer may write into but not create files beside.
    output.setDirectWriteFallback(false);
    if (!output.open(QIODevice::WriteOnly))
        return couldNotSave(target, output.errorString());
    constexpr qint64 chunk = 1 << 20;
    QByteArray buffer;
    while (!input.atEnd()) {
        buffer = input.read(chunk);
        if (buffer.isEmpty() && input.error() != QFileDevice::NoError) {
            output.cancelWriting();
            return QStringLiteral("The recording could not be read: %1")
                .arg(withFullStop(input.errorString()));
        }
        if (output.write(buffer) != buffer.size()) {
            const QString reason = output.errorString();
            output.cancelWriting();
            return couldNotSave(target, reason);
        }
    }
    if (!output.commit())
        return couldNotSave(target, output.errorString());
    return std::nullopt;
}

QString archiveFolder()
{
    // The user's data folder itself: the application's own data folder would repeat its name.
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        return {};
    return QDir(base).filePath(QStringLiteral("OrvellaTV/TestimonySubmissions"));
}

std::optional<QString> archiveCopy(const QString &file, const QString &folder)
{
    if (folder.isEmpty() || file.isEmpty())
        return std::nullopt;
    QDir().mkpath(folder);
    const QString destination = QDir(folder).filePath(QFileInfo(file).fileName());
    if (savepaths::sameFile(file, destination))
        return destination; // kept there already
    if (saveCopy(file, destination))
        return std::nullopt;
    return destination;
}

QString saveFolder(
    const QString &recording, const QString &lastFolder, const QString &temporaryFolder)
{
    const QString recordingFolder
        = recording.isEmpty() ? QString() : QFileInfo(recording).absolutePath();
    const QString folder = lastFolder.isEmpty() ? recordingFolder : lastFolder;
    // The temporary folder may be cleared when the computer restarts, and a copy saved beside a
    // recording kept there with it.
    if (savepaths::sameFile(folder, recordingFolder)
        && savepaths::sameFile(recordingFolder, temporaryFolder))
        return savepaths::lastingFolder();
    return folder;
}

bool isOpenablePortal(const QUrl &url)
{
    return isWebLink(url);
}

Uploader apiUploader(OrvellaAPIClient &client)
{
    return [client = QPointer<OrvellaAPIClient>(&client)](
               UploadRequest request) -> QCoro::Task<std::optional<QString>> {
        std::optional<QString> failure;
        if (!client) {
            failure = QStringLiteral("The connection to Orvella is not available");
            co_return failure;
        }
        try {
            QCoro::Task<> sending = client->uploadTestimony(
                request.filePath, request.name, request.email, request.title);
            co_await sending;
        } catch (const DescribedError &error) {
            failure = error.description();
        }
        co_return failure;
    };
}

QString uploadingStatus()
{
    return QStringLiteral("Uploading to Orvella…");
}

QCoro::Task<UploadReport> upload(
    Services services, QString filePath, QString name, QString email, QUrl portal)
{
    // Values are built outside co_await expressions: GCC 12 mishandles temporaries there.
    UploadRequest request { filePath, name, email, QString::fromLatin1(identity::testimonyTitle) };
    std::optional<QString> failure = QStringLiteral("Uploading is not available");
    if (services.upload) {
        QCoro::Task<std::optional<QString>> sending = services.upload(std::move(request));
        failure = co_await sending;
    }
    UploadReport report;
    if (!failure) {
        report.uploaded = true;
        report.uploadMessage = QStringLiteral(
            "Uploaded to the Orvella testimony team. An admin can review it shortly.");
        report.statusMessage = QStringLiteral("Upload complete");
        co_return report;
    }

    // Whatever happens next, the recording is kept where the application keeps its own data.
    const QString folder = services.archiveFolder;
    QFuture<std::optional<QString>> archiving
        = QtConcurrent::run([filePath, folder] { return archiveCopy(filePath, folder); });
    const std::optional<QString> archived = co_await archiving;
    report.archivedCopy = archived;

    if (isOpenablePortal(portal)) {
        if (services.reveal)
            services.reveal->reveal(archived.value_or(filePath));
        if (services.openUrl && services.openUrl(portal)) {
            report.uploadMessage
                = QStringLiteral("Opened the official Orvella testimony portal (urls.testimony). "
                                 "Your recording is selected in your file manager — attach it "
                                 "there so the team receives it.");
            report.statusMessage = QStringLiteral("Upload needs portal confirmation");
            co_return report;
        }
    }
    report.uploadMessage = QStringLiteral("Upload failed: ") + withFullStop(*failure);
    report.statusMessage = QStringLiteral("Upload failed");
    co_return report;
}

} // namespace orvella::delivery

namespace orvella {

namespace {

delivery::Services desktopServices()
{
    delivery::Services services;
    services.upload = delivery::apiUploader(OrvellaAPIClient::shared());
    // One for the process: a desktop found without a working portal is not asked again.
    static const auto chooser = std::make_shared<PortalSaveFileChooser>();
    services.chooser = chooser;
    services.reveal = std::make_shared<DesktopFileReveal>();
    services.openUrl = [](const QUrl &url) { return QDesktopServices::openUrl(url); };
    services.archiveFolder = delivery::archiveFolder();
    return services;
}

} // namespace

RecordingDelivery::RecordingDelivery(QObject *parent)
    : RecordingDelivery(desktopServices(), parent)
{
    // The finished movie plays in a player of its own, from its start.
    m_playerFactory = [](const QUrl &file) -> QObject * {
        auto *player = new PlayerController();
        player->load(file, true, std::nullopt, false);
        return player;
    };
}

RecordingDelivery::RecordingDelivery(delivery::Services services, QObject *parent)
    : QObject(parent)
    , m_services(std::move(services))
    , m_saveDialog(new SaveFileDialogModel(this))
{
    connect(m_saveDialog, &SaveFileDialogModel::accepted, this, [this](const QString &path) {
        rememberSaveFolder(QFileInfo(path).absolutePath());
        saveRecordingTo(path);
    });
    connect(m_saveDialog, &SaveFileDialogModel::rejected, this,
        [this] { rememberSaveFolder(m_saveDialog->browser()->folder()); });
}

RecordingDelivery::~RecordingDelivery()
{
    // The desktop's dialog closes with the screen that asked for it.
    m_choosingStop.request_stop();
}

void RecordingDelivery::setCapture(StudioCaptureController *capture)
{
    if (!m_capture.repoint(capture))
        return;
    m_capture.forward(
        &StudioCaptureController::stateChanged, this, &RecordingDelivery::recordingChanged);
    m_capture.forward(
        &StudioCaptureController::outputURLChanged, this, &RecordingDelivery::recordingChanged);
    emit captureChanged();
    emit recordingChanged();
}

QString RecordingDelivery::recordingPath() const
{
    if (!m_capture)
        return {};
    const QUrl url = m_capture->outputURL();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

bool RecordingDelivery::readyCardVisible() const
{
    return m_capture && m_capture->state() == StudioCaptureController::State::Ready
        && !recordingPath().isEmpty();
}

QString RecordingDelivery::recordingFileName() const
{
    return QFileInfo(recordingPath()).fileName();
}

QCoro::Task<QString> RecordingDelivery::saveFolder() const
{
    const QString recording = recordingPath();
    const QString last = m_capture ? m_capture->deliveryState().lastSaveFolder() : QString();
    const QString temporary = m_capture ? m_capture->temporaryFolder() : QString();
    QFuture<QString> finding = QtConcurrent::run(
        [recording, last, temporary] { return delivery::saveFolder(recording, last, temporary); });
    const QString folder = co_await finding;
    co_return folder;
}

void RecordingDelivery::rememberSaveFolder(const QString &folder)
{
    if (m_capture && !folder.isEmpty())
        m_capture->deliveryState().setLastSaveFolder(folder);
}

void RecordingDelivery::openPreview()
{
    if (!m_capture)
        return;
    const QString path = recordingPath();
    if (path.isEmpty()) {
        m_capture->deliveryState().setUploadMessage(
            QStringLiteral("Record a testimony before previewing."));
        return;
    }
    // A new player each time, so a second preview starts from the beginning.
    QObject *player = m_playerFactory ? m_playerFactory(QUrl::fromLocalFile(path)) : nullptr;
    if (!player) {
        m_capture->deliveryState().setUploadMessage(
            QStringLiteral("The recording cannot be played here."));
        return;
    }
    m_capture->deliveryState().setPreviewPlayer(player);
    m_capture->setStatusMessage(QStringLiteral("Previewing recording"));
}

void RecordingDelivery::closePreview()
{
    if (m_capture)
        m_capture->deliveryState().clearPreviewPlayer();
}

void RecordingDelivery::requestSave(QWindow *window)
{
    if (!m_capture)
        return;
    const QString recording = recordingPath();
    if (recording.isEmpty()) {
        m_capture->deliveryState().setUploadMessage(
            QStringLiteral("Record a testimony before saving."));
        return;
    }
    // One dialog at a time.
    if (m_choosing || m_saveDialog->isOpened())
        return;
    chooseWhereToSave(recording, desktopWindowHandle(window));
}

QCoro::Task<> RecordingDelivery::chooseWhereToSave(QString recording, QString parentWindow)
{
    QPointer<RecordingDelivery> self = this;
    const QString title = QStringLiteral("Save Recording");
    m_choosing = true;
    QCoro::Task<QString> finding = saveFolder();
    const QString folder = co_await finding;
    if (!self)
        co_return;
    const QString name = QFileInfo(recording).fileName();
    SaveFileAnswer answer; // unavailable until a desktop dialog answers
    if (m_services.chooser) {
        SaveFileQuestion question { title, QStringLiteral("Save"), name, folder,
            { { QStringLiteral("QuickTime movie"), { QStringLiteral("*.mov") } },
                { QStringLiteral("MPEG-4 movie"), { QStringLiteral("*.mp4") } } },
            parentWindow };
        const std::shared_ptr<SaveFileChooser> chooser = m_services.chooser;
        QCoro::Task<SaveFileAnswer> asking
            = chooser->chooseSaveFile(std::move(question), m_choosingStop.get_token());
        answer = co_await asking;
        if (!self)
            co_return;
    }
    m_choosing = false;
    switch (answer.outcome) {
    case SaveFileAnswer::Outcome::Chosen:
        rememberSaveFolder(QFileInfo(answer.path).absolutePath());
        saveRecordingTo(answer.path);
        break;
    case SaveFileAnswer::Outcome::Cancelled:
        break;
    case SaveFileAnswer::Outcome::NotLocal:
        if (m_capture)
            m_capture->deliveryState().setUploadMessage(
                QStringLiteral("Choose a folder on this computer."));
        break;
    case SaveFileAnswer::Outcome::Unavailable:
        m_saveDialog->open({ title, folder, name,
            { QStringLiteral("mov"), { QStringLiteral("mov"), QStringLiteral("mp4") } },
            QStringList { recording }
                + (m_capture ? m_capture->recordingFiles() : QStringList {}) });
        break;
    }
}

QCoro::Task<> RecordingDelivery::saveRecordingTo(QString destination)
{
    QPointer<StudioCaptureController> capture = m_capture.get();
    const QString source = recordingPath();
    if (!capture)
        co_return;
    if (source.isEmpty()) {
        capture->deliveryState().setUploadMessage(
            QStringLiteral("Record a testimony before saving."));
        co_return;
    }
    if (destination.isEmpty())
        co_return; // the dialog was cancelled
    const QStringList kept = capture->recordingFiles();
    // A movie can be large: copied away from the main thread.
    QFuture<std::optional<QString>> copying = QtConcurrent::run(
        [source, destination, kept] { return delivery::saveCopy(source, destination, kept); });
    const std::optional<QString> failure = co_await copying;
    if (!capture)
        co_return;
    if (failure) {
        capture->deliveryState().setUploadMessage(*failure);
        co_return;
    }
    capture->deliveryState().setUploadMessage(
        QStringLiteral("Saved to ") + QFileInfo(destination).fileName());
    capture->setStatusMessage(QStringLiteral("Saved to computer"));
}

void RecordingDelivery::reveal()
{
    const QString path = recordingPath();
    if (!path.isEmpty() && m_services.reveal)
        m_services.reveal->reveal(path);
}

void RecordingDelivery::upload()
{
    uploadRecording(
        m_capture ? m_capture->deliveryState().uploadArguments() : delivery::UploadArguments {});
}

QCoro::Task<> RecordingDelivery::uploadRecording(delivery::UploadArguments arguments)
{
    QPointer<StudioCaptureController> capture = m_capture.get();
    if (!capture)
        co_return;
    // The file is taken now: whatever happens to the controller meanwhile, this recording is
    // the one sent, archived and shown.
    const QString file = recordingPath();
    if (file.isEmpty()) {
        capture->deliveryState().setUploadMessage(
            QStringLiteral("Record a testimony before uploading."));
        co_return;
    }
    if (capture->deliveryState().isUploading())
        co_return;
    capture->deliveryState().setIsUploading(true);
    capture->setStatusMessage(delivery::uploadingStatus());
    QCoro::Task<delivery::UploadReport> sending
        = delivery::upload(m_services, file, arguments.name, arguments.email, arguments.portal);
    const delivery::UploadReport report = co_await sending;
    if (!capture)
        co_return;
    if (report.archivedCopy)
        capture->deliveryState().setArchivedCopy(file, *report.archivedCopy);
    capture->deliveryState().setUploadMessage(report.uploadMessage);
    capture->setStatusMessage(report.statusMessage);
    capture->deliveryState().setIsUploading(false);
}

} // namespace orvella
