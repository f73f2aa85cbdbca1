#pragma once

#include <QLoggingCategory>

// orvella.api: requests, answers and their decoding. Warnings and above by default; debug output
// is asked for with QT_LOGGING_RULES (for example "orvella.api.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcApi)
