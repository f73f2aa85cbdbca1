#include "core/EventNotifications.h"

#include "platform/Clock.h"
#include "platform/Notifier.h"

#include <QDateTime>
#include <QGuiApplication>

namespace orvella {

OrvellaNotificationSync::OrvellaNotificationSync(
    Notifier *notifier, const Clock *clock, ActiveCheck applicationActive)
    : m_notifier(notifier)
    , m_clock(clock ? clock : &Clock::system())
    , m_applicationActive(applicationActive ? std::move(applicationActive) : [] {
        return QGuiApplication::applicationState() == Qt::ApplicationActive;
    })
{ }

std::optional<EventNotice> OrvellaNotificationSync::noticeFor(
    const std::optional<ConfigEvent> &event, const SettingsStore &settings, qint64 nowMs)
{
    if (!settings.pushEnabled || !event || !event->active.value_or(false) || !event->title
        || event->title->isEmpty())
        return std::nullopt;
    const QString &title = *event->title;
    const std::optional<qint64> startsAt = event->starts_at;

    if (startsAt && *startsAt > 0) {
        const qint64 startMs = configEpochMilliseconds(*startsAt);
        if (nowMs < startMs) {
            const qint64 minutes = (startMs - nowMs) / 60000;
            if (minutes < 31 && settings.liveReminders) {
                const QString body = minutes > 1
                    ? QStringLiteral("Starts in about %1 minutes. Join the live "
                                     "healing service.")
                          .arg(minutes)
                    : QString::fromUtf8("Starting now — open Orvella Live.");
                return EventNotice {
                    QStringLiteral("event_reminder_%1_%2").arg(*startsAt).arg(minutes / 5),
                    title + QStringLiteral(" starts soon"), body
                };
            }
        }
    }
    if (!settings.eventAlerts)
        return std::nullopt;
    return EventNotice { QStringLiteral("event_active_%1").arg(startsAt.value_or(0)), title,
        QStringLiteral("A Orvella event is active. Watch live on Orvella.") };
}

void OrvellaNotificationSync::applyConfigEvent(
    const std::optional<ConfigEvent> &event, const SettingsStore &settings)
{
    if (auto notice = noticeFor(event, settings, m_clock->sinceEpoch().count()))
        postLocal(*notice);
}

void OrvellaNotificationSync::postLocal(const EventNotice &notice)
{
    if (m_applicationActive() || m_delivered.contains(notice.id))
        return;
    m_delivered.insert(notice.id);
    if (m_notifier)
        m_notifier->post(notice.id, notice.title, notice.body);
}

} // namespace orvella
