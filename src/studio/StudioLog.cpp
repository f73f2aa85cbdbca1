#include "studio/StudioLog.h"

Q_LOGGING_CATEGORY(lcStudio, "orvella.studio", QtWarningMsg)
