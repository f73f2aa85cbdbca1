#pragma once

#include <QLoggingCategory>

// The platform layer's categories. Warnings and above are on by default; debug output is asked
// for with QT_LOGGING_RULES (for example "orvella.*.debug=true").
// orvella.platform: the platform facilities (D-Bus, capture devices, movie writing, files).
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
// orvella.player: playback, libmpv's own messages included; the player layer above logs here too.
Q_DECLARE_LOGGING_CATEGORY(lcPlayer)
