#pragma once

#include "core/EventNotifications.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QTimer>
#include <memory>

namespace orvella {

class Clock;
class Notifier;
class SettingsModel;
class SharedContent;

// The highlighted event's reminders: every minute the configuration is fetched again and the
// reminder rules run on it (on the one held when offline).
class EventReminders : public QObject
{
    Q_OBJECT

public:
    EventReminders(SharedContent &content, const SettingsModel &settings,
        std::unique_ptr<Notifier> notifier, const Clock &clock,
        OrvellaNotificationSync::ActiveCheck applicationActive, QObject *parent = nullptr);
    ~EventReminders() override;

    // Applies the rules to the configuration held.
    void applyHeldConfig();
    QCoro::Task<> syncEventNotifications();
    // Fetches the configuration and home again (the event's dates and artwork).
    QCoro::Task<> refreshEventScheduleData();

    // Fires every 60 seconds from construction.
    [[nodiscard]] const QTimer &timer() const { return m_timer; }
    [[nodiscard]] const OrvellaNotificationSync &notificationSync() const { return m_sync; }

signals:
    void minutePassed();

private:
    SharedContent &m_content;
    const SettingsModel &m_settings;
    std::unique_ptr<Notifier> m_notifier;
    OrvellaNotificationSync m_sync;
    QTimer m_timer;
};

} // namespace orvella
