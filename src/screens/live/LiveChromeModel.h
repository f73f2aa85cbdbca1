#pragma once

#include "player/ChromeAutoHide.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <functional>
#include <stop_token>

namespace orvella {

class Clock;

// The live screen's chrome: the identity row and footer that hide 4 seconds after the last use
// (never while the schedule panel, the quality menu or the app menu is open), the quality menu,
// the schedule panel and the first-run welcome with its fade.
class LiveChromeModel : public QObject
{
    Q_OBJECT
public:
    // `menuOpen` tells whether the app menu lies over the screen.
    LiveChromeModel(std::function<bool()> menuOpen, QObject *parent = nullptr);
    ~LiveChromeModel() override;

    void setClock(Clock *clock);

    [[nodiscard]] bool showControls() const { return m_autoHide.shown(); }
    [[nodiscard]] bool showSchedule() const { return m_showSchedule; }
    [[nodiscard]] bool qualityOpen() const { return m_qualityOpen; }
    [[nodiscard]] bool showWelcome() const { return m_showWelcome; }
    [[nodiscard]] double welcomeOpacity() const { return m_welcomeOpacity; }

    // Shows the chrome and restarts the hide timer.
    void reveal();
    // Where the pointer is over the window: a move reveals, a repeated hover does not.
    void pointerAt(QPointF scenePosition);
    void hover(bool entered);
    void toggleQuality();
    void closeQuality() { setQualityOpen(false); }
    void dismissQuality();
    void openSchedule();
    void closeSchedule();
    // The welcome for a viewer who has not seen it yet (it fades on its own once on screen);
    // none otherwise.
    void presentWelcome(bool seen);
    // The welcome's first frame reached the screen: its hold starts now.
    void welcomeOnScreen();
    void endWelcome();
    // The screen went away: the hide timer ends.
    void stop();

signals:
    void showControlsChanged();
    void showScheduleChanged();
    void qualityOpenChanged();
    void showWelcomeChanged();
    void welcomeOpacityChanged();

private:
    void setShowSchedule(bool value);
    void setQualityOpen(bool value);
    void setShowWelcome(bool value);
    void setWelcomeOpacity(double value);
    QCoro::Task<> welcomeFade(std::stop_token stop);

    std::function<bool()> m_menuOpen;
    Clock *m_clock;
    bool m_showSchedule = false;
    bool m_qualityOpen = false;
    bool m_showWelcome = false;
    bool m_welcomeFading = false;
    double m_welcomeOpacity = 0;
    ChromeAutoHide m_autoHide;
    std::stop_source m_welcomeFade;
};

} // namespace orvella
