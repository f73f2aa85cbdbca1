#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace orvella {

// Free bytes on the file system holding `path` (or its nearest existing folder); nullopt when
// that cannot be told.
using FreeSpaceProbe = std::function<std::optional<qint64>(const QString &path)>;
[[nodiscard]] std::optional<qint64> freeBytesAt(const QString &path);

// Mesa maps its shader cache into memory, and a write into it on a full disk kills the process
// with SIGBUS inside the driver. Before the first window: when the folder the driver would
// cache into has no room, its cache is switched off for this run (with a warning). Returns
// whether it was switched off.
bool disableShaderCacheWhenDiskFull(const FreeSpaceProbe &freeBytes = freeBytesAt);

// Where Mesa keeps its shader cache, from the same variables it reads.
[[nodiscard]] QString mesaShaderCacheFolder();

} // namespace orvella
