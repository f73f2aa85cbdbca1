#include "studio/StudioRecordingFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUuid>

namespace orvella {

QString recordingTimestamp(const QDateTime &localTime)
{
    return localTime.toString(QStringLiteral("yyyy-MM-dd HH.mm.ss"));
}

QString newTemporaryMoviePath(const QString &folder)
{
    const QString uuid = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    return QDir(folder).filePath(QStringLiteral("orvella-testimony-%1.mov").arg(uuid));
}

QString defaultDownloadsFolder()
{
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    if (!downloads.isEmpty() && QFileInfo(downloads).isDir())
        return downloads;
    return QDir::tempPath();
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
    const QString &moviePath, const QString &folder, const QDateTime &localTime)
{
    const QString destination = finishedMoviePath(folder, localTime);
    if (!QFile::copy(moviePath, destination))
        return {};
    return destination;
}

} // namespace orvella
