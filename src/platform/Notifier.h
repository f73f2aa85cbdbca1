#pragma once

#include <QString>
#include <memory>

namespace orvella {

// Posts desktop notifications. The app model uses it for event reminders; tests use a fake.
class Notifier
{
public:
    virtual ~Notifier() = default;

    // Asks once for permission where the desktop wants that; the answer is not needed.
    virtual void requestAuthorization() { }
    // Shows one notification with the default sound. `id` names the request; the caller decides
    // whether the same id may be shown again. Never fails: without a notification service
    // nothing is shown.
    virtual void post(const QString &id, const QString &title, const QString &body) = 0;
};

// The desktop's notification service (org.freedesktop.Notifications on the session bus).
[[nodiscard]] std::unique_ptr<Notifier> makeDesktopNotifier();

} // namespace orvella
