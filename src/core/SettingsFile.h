#pragma once

#include <QString>

namespace orvella {

// Moves a settings file that QSettings cannot parse aside, in the same folder with a
// ".unreadable-<timestamp>" suffix (readable by its owner only, as it may hold the session's
// tokens), and warns in the log, so the client starts clean and can store a sign-in again.
// Returns where the file went; empty when it was readable (or absent).
QString setAsideUnreadableSettings();

// The settings file holds the session's tokens: it is kept readable and writable by its owner
// alone. A missing file is created empty with mode 0600 before anything is stored (QSettings
// writes through a temporary file renamed over the old one and gives it the old one's mode), and
// a file an earlier version left readable by others is narrowed to its owner. A file whose mode
// cannot be changed (immutable, on a read-only disk) is left as it is, with a warning.
void keepSettingsFilePrivate();

} // namespace orvella
