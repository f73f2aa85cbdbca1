#pragma once

#include "screens/home/CountdownEventList.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QtQml/qqmlregistration.h>
#include <stop_token>

namespace orvella {

class AppModel;
class Clock;

// The countdown screen: a card per event the configuration publishes, counting down once a
// second, while the configuration and the home page are reloaded through the app model when
// the screen appears and every 60 seconds. The reload loop stops with the screen, but a screen
// closed during the wait still has one more reload run (the app model keeps its result).
class CountdownScreenModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(orvella::AppModel *app READ app WRITE setApp NOTIFY appChanged)
    Q_PROPERTY(orvella::CountdownEventList *events READ events CONSTANT)
    Q_PROPERTY(bool isEmpty READ isEmpty NOTIFY isEmptyChanged)

public:
    explicit CountdownScreenModel(QObject *parent = nullptr);
    ~CountdownScreenModel() override;

    // Tests give the clock before the app; by default the system clock.
    void setClock(Clock *clock) { m_clock = clock; }

    [[nodiscard]] AppModel *app() const { return m_app; }
    // The screen appears with its app: the ticks and the reload loop start.
    void setApp(AppModel *app);
    [[nodiscard]] CountdownEventList *events() { return &m_events; }
    [[nodiscard]] bool isEmpty() const { return m_events.rowCount() == 0; }

    // Reads the clock into the countdowns (the one-second timer's work).
    void tick();
    // The empty state's Refresh: one more reload, alongside any running.
    Q_INVOKABLE void refresh();
    // Every card's button.
    Q_INVOKABLE void watchLive();

signals:
    void appChanged();
    void isEmptyChanged();

private:
    void updateEvents();

    QPointer<AppModel> m_app;
    Clock *m_clock;
    CountdownEventList m_events;
    QTimer m_ticks;
    std::stop_source m_reloadStop;
};

} // namespace orvella
