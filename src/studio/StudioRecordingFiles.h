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

// The user's Downloads folder, else the temporary folder.
[[nodiscard]] QString defaultDownloadsFolder();

// "Orvella Testimony <time>.mov" in the folder; when that name is taken, " (2)", " (3)" … before
// the extension, so a finished recording never replaces another file.
[[nodiscard]] QString finishedMoviePath(const QString &folder, const QDateTime &localTime);

// Copies the finished movie into the folder under its finished name, with the mode this
// process's umask gives a new file (a copy would take the private temporary movie's); the copy's
// path, or empty when copying failed.
[[nodiscard]] QString copyFinishedMovie(
    const QString &moviePath, const QString &folder, const QDateTime &localTime);

} // namespace orvella
