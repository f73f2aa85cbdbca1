#include "platform/DesktopWarmUp.h"

#include <QDBusConnection>
#include <QFontDatabase>
#include <QThreadPool>

namespace orvella {

void warmUpDesktopServices()
{
    // Both are thread-safe: the font database and the bus manager guard their first set-up, so
    // the GUI thread asking meanwhile waits for the one result instead of doing it again.
    QThreadPool::globalInstance()->start([] { QFontDatabase::families(); });
    QThreadPool::globalInstance()->start([] { QDBusConnection::sessionBus(); });
}

} // namespace orvella
