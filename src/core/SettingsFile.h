#pragma once

#include <QString>

namespace orvella {

// Moves a settings file that QSettings cannot parse aside, in the same folder with a
// ".unreadable-<timestamp>" suffix, and warns in the log, so the client starts clean and can
// store a sign-in again. Returns where the file went; empty when it was readable (or absent).
QString setAsideUnreadableSettings();

} // namespace orvella
