#include "core/SessionLog.h"

Q_LOGGING_CATEGORY(lcSession, "orvella.session", QtWarningMsg)
