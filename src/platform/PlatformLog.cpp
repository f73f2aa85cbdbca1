#include "platform/PlatformLog.h"

Q_LOGGING_CATEGORY(lcPlatform, "orvella.platform", QtWarningMsg)
Q_LOGGING_CATEGORY(lcPlayer, "orvella.player", QtWarningMsg)
