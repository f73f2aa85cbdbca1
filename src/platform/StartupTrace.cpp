#include "platform/StartupTrace.h"

#include <QFile>
#include <array>
#include <atomic>
#include <ctime>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcStartup, "orvella.startup", QtWarningMsg)

namespace orvella {

namespace {
constexpr std::array<const char *, 6> milestoneNames {
    "main entered",
    "QML loaded",
    "first window frame",
    "live load issued",
    "first video frame drawn",
    "welcome lifted",
};
std::array<std::atomic_bool, milestoneNames.size()> marked {};

// The start time in clock ticks since boot: field 22 of /proc/self/stat, counted after the
// command name, which may itself hold spaces and parentheses.
qint64 processStartTicks()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    if (close < 0)
        return -1;
    const QList<QByteArray> fields = text.mid(close + 2).split(' ');
    // Fields after the name start with field 3 (state); the start time is field 22.
    constexpr qsizetype startField = 22 - 3;
    return fields.size() > startField ? fields[startField].toLongLong() : -1;
}
} // namespace

qint64 millisecondsSinceProcessStart()
{
    static const qint64 startTicks = processStartTicks();
    static const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    timespec now {};
    if (startTicks < 0 || ticksPerSecond <= 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0)
        return -1;
    const qint64 nowMs = qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    return nowMs - startTicks * 1000 / ticksPerSecond;
}

void markStartup(StartupMilestone milestone)
{
    const auto index = static_cast<std::size_t>(milestone);
    if (!lcStartup().isInfoEnabled() || marked[index].exchange(true))
        return;
    qCInfo(lcStartup, "%s at %lld ms", milestoneNames[index], millisecondsSinceProcessStart());
}

} // namespace orvella
