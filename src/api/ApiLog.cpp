#include "api/ApiLog.h"

Q_LOGGING_CATEGORY(lcApi, "orvella.api", QtWarningMsg)
