#include "studio/StudioRecordingFiles.h"

#include "studio/StudioLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUuid>
#include <cerrno>
#include <sys/stat.h>

namespace orvella {

namespace {

// The mode a new file gets here: 0666 less the umask. Read from the kernel's account of the
// process, since setting the umask to learn it would change it for the other threads meanwhile.
mode_t newFileMode()
{
    mode_t mask = 022;
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (!line.startsWith("Umask:"))
                continue;
            bool ok = false;
            const uint value = line.mid(6).trimmed().toUInt(&ok, 8);
            if (ok)
                mask = mode_t(value) & 0777;
            break;
        }
    }
    return 0666 & ~mask;
}

} // namespace

QString recordingTimestamp(const QDateTime &localTime)
{
    return localTime.toString(QStringLiteral("yyyy-MM-dd HH.mm.ss"));
}

QString newTemporaryMoviePath(const QString &folder)
{
    const QString uuid = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    return QDir(folder).filePath(QStringLiteral("orvella-testimony-%1.mov").arg(uuid));
}

std::optional<QString> createPrivateMovieFile(const QString &path)
{
    QFile file(path);
    const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, ownerOnly))
        return file.errorString();
    // Exactly 0600 whatever the umask takes away: the writer must be able to open it.
    if (file.setPermissions(ownerOnly))
        return std::nullopt;
    const QString reason = file.errorString();
    file.remove();
    return reason;
}

FinishedCopyFolder finishedCopyFolder(const QString &temporaryFolder)
{
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!downloads.isEmpty() && QFileInfo(downloads).isDir())
        return { downloads, false };
    return { temporaryFolder, true };
}

QString finishedMoviePath(const QString &folder, const QDateTime &localTime)
{
    const QDir dir(folder);
    const QString stem = QStringLiteral("Orvella Testimony ") + recordingTimestamp(localTime);
    QString candidate = dir.filePath(stem + QStringLiteral(".mov"));
    for (int number = 2; QFileInfo::exists(candidate); ++number)
        candidate = dir.filePath(QStringLiteral("%1 (%2).mov").arg(stem).arg(number));
    return candidate;
}

QString copyFinishedMovie(
    const QString &moviePath, const FinishedCopyFolder &folder, const QDateTime &localTime)
{
    const QString destination = finishedMoviePath(folder.path, localTime);
    if (!QFile::copy(moviePath, destination))
        return {};
    if (!folder.ownerOnly
        && ::chmod(QFile::encodeName(destination).constData(), newFileMode()) != 0)
        qCWarning(lcStudio) << "The mode of" << destination
                            << "could not be set:" << qt_error_string(errno);
    return destination;
}

} // namespace orvella
