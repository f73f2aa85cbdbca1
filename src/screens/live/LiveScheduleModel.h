#pragma once

#include "api/ScheduleData.h"
#include "core/ObjectLink.h"

#include <QDate>
#include <QLocale>
#include <QObject>
#include <QPointer>
#include <QVariantList>
#include <QVariantMap>
#include <QtQml/qqmlregistration.h>

namespace orvella {

class AppModel;

// What the schedule side panel shows, derived afresh from the app model's schedule whenever it
// or its loading flag changes: loading, empty or the sections (live now, up next, coming up),
// and the header's date and time zone. Opening the panel and its Refresh button force a load.
class LiveScheduleModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(orvella::AppModel *app READ app WRITE setApp NOTIFY appChanged)
    Q_PROPERTY(bool isOpen READ isOpen WRITE setIsOpen NOTIFY isOpenChanged)
    Q_PROPERTY(Content content READ content NOTIFY scheduleChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY scheduleChanged)
    Q_PROPERTY(QVariantMap liveNow READ liveNow NOTIFY scheduleChanged)
    Q_PROPERTY(QVariantMap upNext READ upNext NOTIFY scheduleChanged)
    Q_PROPERTY(QVariantList comingUp READ comingUp NOTIFY scheduleChanged)
    Q_PROPERTY(QString comingUpHeading READ comingUpHeading NOTIFY scheduleChanged)
    Q_PROPERTY(QString timeZone READ timeZone NOTIFY scheduleChanged)
    Q_PROPERTY(QString headerDate READ headerDate NOTIFY scheduleChanged)

public:
    enum Content { Loading, Empty, Sections };
    Q_ENUM(Content)

    explicit LiveScheduleModel(QObject *parent = nullptr);

    [[nodiscard]] AppModel *app() const { return m_app.get(); }
    void setApp(AppModel *app);
    [[nodiscard]] bool isOpen() const { return m_isOpen; }
    void setIsOpen(bool open);

    [[nodiscard]] Content content() const;
    [[nodiscard]] bool isLoading() const;
    [[nodiscard]] QVariantMap liveNow() const;
    [[nodiscard]] QVariantMap upNext() const;
    [[nodiscard]] QVariantList comingUp() const;
    [[nodiscard]] QString comingUpHeading() const;
    [[nodiscard]] QString timeZone() const;
    [[nodiscard]] QString headerDate() const;

    Q_INVOKABLE void refresh();

    // Today's date as the locale writes a long date without its year ("Sunday, December 6").
    [[nodiscard]] static QString headerDate(const QLocale &locale, QDate date);
    // The live card's start: start_time, else starts_at_iso, else "Now".
    [[nodiscard]] static QString liveClock(const ScheduleItem &item);
    // A row's clock: start_time cut to 5 characters.
    [[nodiscard]] static QString rowClock(const ScheduleItem &item);
    // A row's second line: the minister trimmed, or nothing.
    [[nodiscard]] static QString rowSubtitle(const ScheduleItem &item);

signals:
    void appChanged();
    void isOpenChanged();
    void scheduleChanged();

private:
    [[nodiscard]] QList<ScheduleItem> upcoming() const;
    [[nodiscard]] std::optional<ScheduleItem> liveItem() const;
    [[nodiscard]] static QVariantMap row(const ScheduleItem &item, bool emphasize);
    void forceLoad();

    ObjectLink<AppModel> m_app;
    bool m_isOpen = false;
};

} // namespace orvella
