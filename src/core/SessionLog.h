#pragma once

#include <QLoggingCategory>

// orvella.session: sign-in, tokens, settings and the shared content loads. Warnings and above by
// default; debug output is asked for with QT_LOGGING_RULES ("orvella.session.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcSession)
