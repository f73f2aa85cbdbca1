#include "screens/live/LiveScheduleModel.h"

#include "app/AppModel.h"

#include <QRegularExpression>
#include <QTimeZone>

namespace orvella {

LiveScheduleModel::LiveScheduleModel(QObject *parent)
    : QObject(parent)
{ }

void LiveScheduleModel::setApp(AppModel *app)
{
    if (!m_app.repoint(app))
        return;
    m_app.forward(&AppModel::liveScheduleChanged, this, &LiveScheduleModel::scheduleChanged);
    m_app.forward(
        &AppModel::isLoadingLiveScheduleChanged, this, &LiveScheduleModel::scheduleChanged);
    // The panel is shown with the app model: the open task runs for the first time.
    if (m_app && m_isOpen)
        forceLoad();
    emit appChanged();
    emit scheduleChanged();
}

void LiveScheduleModel::setIsOpen(bool open)
{
    if (m_isOpen == open)
        return;
    m_isOpen = open;
    emit isOpenChanged();
    // Opening forces a load; closing loads nothing.
    if (m_isOpen)
        forceLoad();
}

void LiveScheduleModel::forceLoad()
{
    if (m_app)
        m_app->loadLiveSchedule(true);
}

void LiveScheduleModel::refresh()
{
    forceLoad();
}

bool LiveScheduleModel::isLoading() const
{
    return m_app && m_app->isLoadingLiveSchedule();
}

std::optional<ScheduleItem> LiveScheduleModel::liveItem() const
{
    if (!m_app || !m_app->liveSchedule())
        return std::nullopt;
    return m_app->liveSchedule()->sidebarLiveNow();
}

QList<ScheduleItem> LiveScheduleModel::upcoming() const
{
    if (!m_app || !m_app->liveSchedule())
        return {};
    return m_app->liveSchedule()->sidebarUpcoming();
}

LiveScheduleModel::Content LiveScheduleModel::content() const
{
    if (isLoading() && !(m_app && m_app->liveSchedule()))
        return Loading;
    if (!liveItem() && upcoming().isEmpty())
        return Empty;
    return Sections;
}

QVariantMap LiveScheduleModel::liveNow() const
{
    const auto item = liveItem();
    if (!item)
        return {};
    return { { QStringLiteral("title"), item->title.value_or(QStringLiteral("Orvella Live")) },
        { QStringLiteral("timeLine"),
            QStringLiteral("🕐 ") + liveClock(*item) + QStringLiteral(" · ⏱ Live") } };
}

QVariantMap LiveScheduleModel::row(const ScheduleItem &item, bool emphasize)
{
    return { { QStringLiteral("id"), item.id }, { QStringLiteral("clock"), rowClock(item) },
        { QStringLiteral("title"), item.title.value_or(QStringLiteral("Program")) },
        { QStringLiteral("subtitle"), rowSubtitle(item) },
        { QStringLiteral("emphasize"), emphasize } };
}

QVariantMap LiveScheduleModel::upNext() const
{
    const auto list = upcoming();
    return list.isEmpty() ? QVariantMap() : row(list.first(), true);
}

QVariantList LiveScheduleModel::comingUp() const
{
    QVariantList rows;
    const auto list = upcoming();
    for (qsizetype i = 1; i < list.size(); ++i)
        rows.append(row(list[i], false));
    return rows;
}

QString LiveScheduleModel::comingUpHeading() const
{
    return QStringLiteral("Coming Up · ")
        + QString::number(std::max<qsizetype>(0, upcoming().size() - 1));
}

QString LiveScheduleModel::timeZone() const
{
    if (m_app && m_app->liveSchedule() && m_app->liveSchedule()->timezone)
        return *m_app->liveSchedule()->timezone;
    return QString::fromUtf8(QTimeZone::systemTimeZoneId());
}

QString LiveScheduleModel::headerDate() const
{
    return headerDate(QLocale(), QDate::currentDate());
}

QString LiveScheduleModel::headerDate(const QLocale &locale, QDate date)
{
    // Qt has no date skeletons: the locale's long date without its year stands in for the
    // "weekday, month, day" skeleton.
    QString format = locale.dateFormat(QLocale::LongFormat);
    static const QRegularExpression atEnd(QStringLiteral("[\\s,]*y+(\\s*'[^']*')?\\s*$"));
    static const QRegularExpression elsewhere(QStringLiteral("y+('[^']*'|[\\s,./-])*"));
    if (atEnd.match(format).hasMatch())
        format.remove(atEnd);
    else
        format.remove(elsewhere);
    return locale.toString(date, format.trimmed());
}

QString LiveScheduleModel::liveClock(const ScheduleItem &item)
{
    if (item.start_time && !item.start_time->isEmpty())
        return *item.start_time;
    if (item.starts_at_iso && !item.starts_at_iso->isEmpty())
        return *item.starts_at_iso;
    return QStringLiteral("Now");
}

QString LiveScheduleModel::rowClock(const ScheduleItem &item)
{
    const QString start = item.start_time.value_or(QString());
    return start.size() >= 5 ? start.left(5) : start;
}

QString LiveScheduleModel::rowSubtitle(const ScheduleItem &item)
{
    return item.minister ? item.minister->trimmed() : QString();
}

} // namespace orvella
