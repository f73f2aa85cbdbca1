#pragma once

#include <QCoroTask>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

namespace orvella {

class FileReveal;

// What the viewer does with a finished recording besides previewing it: save a copy, keep an
// archive copy, and upload it with the portal fallback. Pure of any controller state, so that
// the rules can be exercised on temporary folders and a fake service.
namespace delivery {

// Sent as the upload's "title" form field.
inline constexpr auto uploadTitle = "Testimony from macOS Studio";

// Copies the recording to target. The target is replaced only once the copy is complete (a
// temporary sibling renamed over it), and choosing the recording itself keeps it untouched.
// Returns no value on success, else a readable reason.
[[nodiscard]] std::optional<QString> saveCopy(const QString &source, const QString &target);

// The folder that keeps copies of recordings whose upload failed.
[[nodiscard]] QString archiveFolder();

// Copies file into folder (created when missing) under its own name; the path of the copy,
// or none when it could not be made.
[[nodiscard]] std::optional<QString> archiveCopy(const QString &file, const QString &folder);

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
    std::shared_ptr<FileReveal> reveal;
    std::function<bool(const QUrl &)> openUrl;
    QString archiveFolder;
};

struct UploadReport
{
    bool uploaded = false;
    QString uploadMessage;
    QString statusMessage;
};

// Status while an upload runs.
[[nodiscard]] QString uploadingStatus();

// Uploads filePath. On failure keeps an archive copy and, with a web portal, selects the copy
// in the file manager and opens the portal so the viewer can attach it there. Everything it
// needs is taken by value: it may outlive the screen that started it.
[[nodiscard]] QCoro::Task<UploadReport> upload(
    Services services, QString filePath, QString name, QString email, QUrl portal);

} // namespace delivery
} // namespace orvella
