#include "screens/account/NotificationsScreenModel.h"

#include "app/AppModel.h"

namespace orvella {

NotificationsScreenModel::NotificationsScreenModel(QObject *parent)
    : QObject(parent)
{ }

void NotificationsScreenModel::setApp(AppModel *app)
{
    if (!m_app.repoint(app))
        return;
    m_app.forward(&AppModel::configChanged, this, &NotificationsScreenModel::notesChanged);
    emit appChanged();
    emit notesChanged();
}

void NotificationsScreenModel::setFilter(const QString &filter)
{
    if (m_filter == filter)
        return;
    m_filter = filter;
    emit filterChanged();
    emit notesChanged();
}

QStringList NotificationsScreenModel::filters()
{
    return { QStringLiteral("All"), QStringLiteral("Events"), QStringLiteral("Reminders") };
}

QList<LocalNote> NotificationsScreenModel::notes() const
{
    std::optional<QString> eventTitle;
    if (m_app && m_app->config() && m_app->config()->event)
        eventTitle = m_app->config()->event->title;
    const QList<LocalNote> all {
        { .title = QStringLiteral("Welcome to Orvella"),
            .body = QStringLiteral("Browse live and programs after signing in."),
            .type = QStringLiteral("info") },
        { .title = QStringLiteral("Live reminder"),
            .body = QStringLiteral("Orvella Live is on air."),
            .type = QStringLiteral("live") },
        { .title = QStringLiteral("Event alert"),
            .body = eventTitle.value_or(QStringLiteral("Upcoming Orvella program")),
            .type = QStringLiteral("event") },
    };
    QList<LocalNote> kept;
    for (const LocalNote &note : all) {
        const bool keep = m_filter == u"Events"
            ? note.type == u"event"
            : (m_filter == u"Reminders" ? note.type == u"live" || note.type == u"reminder" : true);
        if (keep)
            kept.append(note);
    }
    return kept;
}

QVariantList NotificationsScreenModel::noteRows() const
{
    QVariantList rows;
    for (const LocalNote &note : notes()) {
        const QString action = note.type == u"live"
            ? QStringLiteral("Watch Live")
            : (note.type == u"event" ? QStringLiteral("View Event") : QString());
        rows.append(QVariantMap { { QStringLiteral("id"), note.id.toString() },
            { QStringLiteral("title"), note.title }, { QStringLiteral("body"), note.body },
            { QStringLiteral("type"), note.type }, { QStringLiteral("action"), action } });
    }
    return rows;
}

bool NotificationsScreenModel::showsCalendar() const
{
    return m_app && m_app->config() && m_app->config()->event
        && m_app->config()->event->active.value_or(false);
}

QString NotificationsScreenModel::calendarTitle() const
{
    if (!showsCalendar())
        return {};
    return m_app->config()->event->title.value_or(QStringLiteral("Event"));
}

void NotificationsScreenModel::act(const QString &type)
{
    if (!m_app)
        return;
    if (type == u"live")
        m_app->navigate(MacRoute::Live);
    else if (type == u"event")
        m_app->navigate(MacRoute::Countdown);
}

} // namespace orvella
