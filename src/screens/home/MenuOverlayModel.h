#pragma once

#include "core/MacRoute.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

namespace orvella {

class AppModel;

// The menu overlay: one tile per menu route and, while the configuration announces an active
// event, a card leading to the countdown. Choosing a destination closes the menu at once and
// navigates one turn of the event loop later; the overlay is gone by then, so the deferred
// step belongs to the app model.
class MenuOverlayModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(orvella::AppModel *app READ app WRITE setApp NOTIFY appChanged)
    Q_PROPERTY(QVariantList tiles READ tiles CONSTANT)
    Q_PROPERTY(bool showsEvent READ showsEvent NOTIFY eventChanged)
    Q_PROPERTY(QString eventTitle READ eventTitle NOTIFY eventChanged)

public:
    explicit MenuOverlayModel(QObject *parent = nullptr);

    [[nodiscard]] AppModel *app() const { return m_app; }
    void setApp(AppModel *app);

    // The routes of the Navigate menu without sign-in, search and the menu itself.
    [[nodiscard]] static QList<MacRoute::Value> menuRoutes();
    [[nodiscard]] static QVariantList tiles();
    [[nodiscard]] bool showsEvent() const;
    [[nodiscard]] QString eventTitle() const;

    // The backdrop or the close button.
    Q_INVOKABLE void close();
    // A tile, or the event card's Countdown.
    Q_INVOKABLE void choose(int route);

signals:
    void appChanged();
    void eventChanged();

private:
    QPointer<AppModel> m_app;
};

} // namespace orvella
