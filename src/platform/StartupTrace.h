#pragma once

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcStartup)

namespace orvella {

// The milestones of a start, logged once each at info level in the "orvella.startup" category
// (QT_LOGGING_RULES="orvella.startup.info=true") as milliseconds since the process started.
enum class StartupMilestone {
    MainEntered,
    QmlLoaded,
    FirstWindowFrame,
    LiveLoadIssued,
    FirstVideoFrameDrawn,
    WelcomeLifted,
};

// Safe from any thread; only the first call for each milestone logs.
void markStartup(StartupMilestone milestone);

// Milliseconds since the kernel started this process (10 ms steps).
[[nodiscard]] qint64 millisecondsSinceProcessStart();

} // namespace orvella
