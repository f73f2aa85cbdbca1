#pragma once

#include "platform/Notifier.h"

#include <QDBusConnection>

namespace orvella {

// Notifier over org.freedesktop.Notifications.Notify. Calls are asynchronous and their answers
// are not waited for, so a slow or missing notification daemon never holds up the caller.
class FreedesktopNotifier final : public Notifier
{
public:
    explicit FreedesktopNotifier(QDBusConnection connection = QDBusConnection::sessionBus());

    void post(const QString &id, const QString &title, const QString &body) override;

private:
    QDBusConnection m_connection;
};

} // namespace orvella
