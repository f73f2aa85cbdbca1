#pragma once

#include "api/ConfigModels.h"
#include "core/SettingsStore.h"

#include <QSet>
#include <QString>
#include <functional>
#include <optional>

namespace orvella {

class Clock;
class Notifier;

// One local notification the event rules ask for.
struct EventNotice
{
    QString id;
    QString title;
    QString body;

    friend bool operator==(const EventNotice &, const EventNotice &) = default;
};

// Turns the configuration's highlighted event into local notifications: a reminder in the half
// hour before it starts, an "event is active" notice otherwise, each as far as the viewer's
// notification settings allow. Each identifier is shown at most once while the process runs
// (the rules are applied every minute), and nothing is shown while the application is in front.
class OrvellaNotificationSync
{
public:
    using ActiveCheck = std::function<bool()>;

    // `notifier` may be null (nothing is posted). Without a clock the system clock serves;
    // without an active check, the application's state decides.
    explicit OrvellaNotificationSync(
        Notifier *notifier, const Clock *clock = nullptr, ActiveCheck applicationActive = {});

    void applyConfigEvent(const std::optional<ConfigEvent> &event, const SettingsStore &settings);

    // The notice the rules give at `nowMs` (milliseconds since 1970), or none.
    [[nodiscard]] static std::optional<EventNotice> noticeFor(
        const std::optional<ConfigEvent> &event, const SettingsStore &settings, qint64 nowMs);

    [[nodiscard]] const QSet<QString> &delivered() const { return m_delivered; }

private:
    void postLocal(const EventNotice &notice);

    Notifier *m_notifier;
    const Clock *m_clock;
    ActiveCheck m_applicationActive;
    QSet<QString> m_delivered;
};

} // namespace orvella
