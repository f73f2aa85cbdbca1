#include "platform/ShaderCacheGuard.h"

#include "platform/StartupTrace.h"

#include <QDir>
#include <QFileInfo>
#include <sys/statvfs.h>

namespace orvella {

namespace {
// Room for the cache's index and a few entries; below this the driver's writes may fail.
constexpr qint64 minimumRoom = qint64(16) << 20;
} // namespace

std::optional<qint64> freeBytesAt(const QString &path)
{
    QFileInfo info(path);
    while (!info.exists()) {
        const QString parent = info.absolutePath();
        if (parent == info.absoluteFilePath())
            return std::nullopt;
        info = QFileInfo(parent);
    }
    struct statvfs stats
    {
    };
    if (statvfs(QFile::encodeName(info.absoluteFilePath()).constData(), &stats) != 0)
        return std::nullopt;
    return qint64(stats.f_bavail) * qint64(stats.f_frsize);
}

QString mesaShaderCacheFolder()
{
    if (const QString folder = qEnvironmentVariable("MESA_SHADER_CACHE_DIR"); !folder.isEmpty())
        return folder;
    if (const QString cache = qEnvironmentVariable("XDG_CACHE_HOME"); !cache.isEmpty())
        return cache + QStringLiteral("/mesa_shader_cache");
    return QDir::homePath() + QStringLiteral("/.cache/mesa_shader_cache");
}

bool disableShaderCacheWhenDiskFull(const FreeSpaceProbe &freeBytes)
{
    if (!qEnvironmentVariableIsEmpty("MESA_SHADER_CACHE_DISABLE"))
        return false;
    const QString folder = mesaShaderCacheFolder();
    const std::optional<qint64> room = freeBytes(folder);
    if (!room || *room >= minimumRoom)
        return false;
    qputenv("MESA_SHADER_CACHE_DISABLE", "true");
    qCWarning(lcStartup, "Only %lld bytes free for the shader cache in %s: it is off for this run",
        *room, qPrintable(folder));
    return true;
}

} // namespace orvella
