#include "studio/RecordingDelivery.h"

#include "platform/FileReveal.h"

#include <QCoroFuture>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QtConcurrent/QtConcurrentRun>
#include <filesystem>

namespace orvella::delivery {

namespace {

bool sameFile(const QString &a, const QString &b)
{
    std::error_code error;
    const bool same
        = std::filesystem::equivalent(std::filesystem::path(QFile::encodeName(a).toStdString()),
            std::filesystem::path(QFile::encodeName(b).toStdString()), error);
    return !error && same;
}

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

std::optional<QString> saveCopy(const QString &source, const QString &target)
{
    if (target.isEmpty())
        return QStringLiteral("No file was chosen.");
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly))
        return QStringLiteral("The recording could not be read: %1")
            .arg(withFullStop(input.errorString()));
    if (sameFile(source, target))
        return std::nullopt;

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
    const QString base = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
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
    if (saveCopy(file, destination))
        return std::nullopt;
    return destination;
}

bool isOpenablePortal(const QUrl &url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    return scheme == u"http" || scheme == u"https";
}

QString uploadingStatus()
{
    return QStringLiteral("Uploading to Orvella…");
}

QCoro::Task<UploadReport> upload(
    Services services, QString filePath, QString name, QString email, QUrl portal)
{
    // Values are built outside co_await expressions: GCC 12 mishandles temporaries there.
    UploadRequest request { filePath, name, email, QString::fromLatin1(uploadTitle) };
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
