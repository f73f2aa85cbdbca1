#pragma once

#include "platform/Notifier.h"

#include <QDBusConnection>
#include <optional>

namespace orvella {

// Notifier over org.freedesktop.Notifications.Notify. Calls are asynchronous and their answers
// are not waited for, so a slow or missing notification daemon never holds up the caller.
class FreedesktopNotifier final : public Notifier
{
public:
    // The session bus is reached at the first notification rather than at start-up.
    FreedesktopNotifier() = default;

    void post(const QString &id, const QString &title, const QString &body) override;

private:
    std::optional<QDBusConnection> m_connection;
};

} // namespace orvella
