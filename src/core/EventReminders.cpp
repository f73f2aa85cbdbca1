#include "core/EventReminders.h"

#include "core/SettingsModel.h"
#include "core/SharedContent.h"
#include "platform/Notifier.h"

#include <QPointer>
#include <chrono>

namespace orvella {

EventReminders::EventReminders(SharedContent &content, const SettingsModel &settings,
    std::unique_ptr<Notifier> notifier, const Clock &clock,
    OrvellaNotificationSync::ActiveCheck applicationActive, QObject *parent)
    : QObject(parent)
    , m_content(content)
    , m_settings(settings)
    , m_notifier(std::move(notifier))
    , m_sync(m_notifier.get(), &clock, std::move(applicationActive))
{
    m_notifier->requestAuthorization();
    m_timer.setInterval(std::chrono::seconds(60));
    connect(&m_timer, &QTimer::timeout, this, &EventReminders::minutePassed);
    m_timer.start();
}

EventReminders::~EventReminders() = default;

void EventReminders::applyHeldConfig()
{
    const auto &config = m_content.config();
    m_sync.applyConfigEvent(config ? config->event : std::nullopt, m_settings.value());
}

QCoro::Task<> EventReminders::syncEventNotifications()
{
    QPointer<EventReminders> self(this);
    co_await m_content.refreshConfig();
    if (!self)
        co_return;
    // Offline, the rules run on the configuration already held, so reminders keep counting.
    applyHeldConfig();
}

QCoro::Task<> EventReminders::refreshEventScheduleData()
{
    QPointer<EventReminders> self(this);
    co_await m_content.refreshConfig();
    if (!self)
        co_return;
    co_await m_content.reloadHomeQuietly();
}

} // namespace orvella
