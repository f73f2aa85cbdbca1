#include "screens/home/CountdownEventList.h"

#include <QtNumeric>

namespace orvella {

namespace {
// Service texts are bounded before they reach a layout.
constexpr qsizetype maxText = 300;

QString bounded(const QString &text)
{
    return text.size() > maxText ? text.left(maxText) : text;
}

QString twoDigits(qint64 value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}
} // namespace

CountdownUnits countdownUnits(qint64 startsAtEpochMs, qint64 nowEpochMs)
{
    qint64 remainingMs = 0;
    if (qSubOverflow(startsAtEpochMs, nowEpochMs, &remainingMs))
        remainingMs = startsAtEpochMs > nowEpochMs ? std::numeric_limits<qint64>::max() : 0;
    const qint64 s = std::max<qint64>(remainingMs, 0) / 1000;
    return { QString::number(s / 86400), twoDigits(s % 86400 / 3600), twoDigits(s % 3600 / 60),
        twoDigits(s % 60) };
}

CountdownEventList::CountdownEventList(QObject *parent)
    : KeyedListModel(parent)
{ }

void CountdownEventList::setEvents(const QList<CountdownEventItem> &events)
{
    replaceRows(events, [](const CountdownEventItem &event) { return event.id; });
}

void CountdownEventList::setNow(qint64 nowEpochMs)
{
    if (nowEpochMs == m_now)
        return;
    m_now = nowEpochMs;
    rolesChanged({ DaysRole, HoursRole, MinutesRole, SecondsRole });
}

CountdownUnits CountdownEventList::unitsAt(int row) const
{
    return countdownUnits(rows().at(row).startsAtEpochMs, m_now);
}

QVariant CountdownEventList::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const CountdownEventItem &event = rows().at(index.row());
    switch (role) {
    case EventIdRole:
        return event.id;
    case TitleRole:
        return bounded(event.title);
    case SubtitleRole:
        return bounded(event.subtitle);
    case BadgeRole:
        return bounded(event.badge).toUpper();
    case CtaRole:
        return bounded(event.cta);
    case DaysRole:
        return unitsAt(index.row()).days;
    case HoursRole:
        return unitsAt(index.row()).hours;
    case MinutesRole:
        return unitsAt(index.row()).minutes;
    case SecondsRole:
        return unitsAt(index.row()).seconds;
    default:
        return {};
    }
}

QHash<int, QByteArray> CountdownEventList::roleNames() const
{
    return {
        { EventIdRole, "eventId" },
        { TitleRole, "title" },
        { SubtitleRole, "subtitle" },
        { BadgeRole, "badge" },
        { CtaRole, "cta" },
        { DaysRole, "days" },
        { HoursRole, "hours" },
        { MinutesRole, "minutes" },
        { SecondsRole, "seconds" },
    };
}

} // namespace orvella
