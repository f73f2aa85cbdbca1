#pragma once

#include <QLoggingCategory>

// orvella.studio: capture, recording and delivery. Warnings and above by default; debug output
// is asked for with QT_LOGGING_RULES ("orvella.studio.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcStudio)
