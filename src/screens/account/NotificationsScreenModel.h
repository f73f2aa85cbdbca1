#pragma once

#include "core/LocalNote.h"
#include "core/ObjectLink.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

namespace orvella {

class AppModel;

// The notifications screen: three built-in notes (the event note's text from the
// configuration) narrowed by the filter, each live or event note with its button, and the
// calendar card while the configuration's event is active. Nothing is fetched or stored.
class NotificationsScreenModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(orvella::AppModel *app READ app WRITE setApp NOTIFY appChanged)
    Q_PROPERTY(QString filter READ filter WRITE setFilter NOTIFY filterChanged)
    Q_PROPERTY(QStringList filters READ filters CONSTANT)
    Q_PROPERTY(QVariantList noteRows READ noteRows NOTIFY notesChanged)
    Q_PROPERTY(bool showsCalendar READ showsCalendar NOTIFY notesChanged)
    Q_PROPERTY(QString calendarTitle READ calendarTitle NOTIFY notesChanged)

public:
    explicit NotificationsScreenModel(QObject *parent = nullptr);

    [[nodiscard]] AppModel *app() const { return m_app.get(); }
    void setApp(AppModel *app);
    [[nodiscard]] QString filter() const { return m_filter; }
    void setFilter(const QString &filter);
    [[nodiscard]] static QStringList filters();

    // The notes the filter keeps, built anew on each call.
    [[nodiscard]] QList<LocalNote> notes() const;
    // The notes for the view: title, body, type and the button's text ("" for none).
    [[nodiscard]] QVariantList noteRows() const;
    [[nodiscard]] bool showsCalendar() const;
    [[nodiscard]] QString calendarTitle() const;

    // A note's button: live for "live", the countdown for "event".
    Q_INVOKABLE void act(const QString &type);

signals:
    void appChanged();
    void filterChanged();
    void notesChanged();

private:
    ObjectLink<AppModel> m_app;
    QString m_filter = QStringLiteral("All");
};

} // namespace orvella
