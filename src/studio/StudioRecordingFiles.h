#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace orvella {

// "yyyy-MM-dd HH.mm.ss" in local time: full stops, so the file name holds no colon.
[[nodiscard]] QString recordingTimestamp(const QDateTime &localTime);

// A new temporary movie "orvella-testimony-<UUID>.mov" in the folder.
[[nodiscard]] QString newTemporaryMoviePath(const QString &folder);

// Creates the temporary movie empty, readable and writable by its owner only, before the writer
// opens it (which keeps the mode of the file it finds): the temporary folder is shared with
// every user of the computer. The reason when it cannot be made.
[[nodiscard]] std::optional<QString> createPrivateMovieFile(const QString &path);

// Where a finished recording's copy goes.
struct FinishedCopyFolder
{
    QString path;
    // The temporary folder is shared with every user of the computer: a copy there stays the
    // owner's alone, as the working movie is. Elsewhere it gets the mode of any new file.
    bool ownerOnly = false;
};

// The user's Downloads folder, else (none, or a file of that name) the temporary folder.
[[nodiscard]] FinishedCopyFolder finishedCopyFolder(const QString &temporaryFolder);

// "Orvella Testimony <time>.mov" in the folder; when that name is taken, " (2)", " (3)" … before
// the extension, so a finished recording never replaces another file.
[[nodiscard]] QString finishedMoviePath(const QString &folder, const QDateTime &localTime);

// Copies the finished movie into the folder under its finished name. A copy takes the private
// working movie's mode, which it keeps where the folder is owner-only; elsewhere it is given the
// mode this process's umask gives a new file. The copy's path, or empty when copying failed.
[[nodiscard]] QString copyFinishedMovie(
    const QString &moviePath, const FinishedCopyFolder &folder, const QDateTime &localTime);

} // namespace orvella
