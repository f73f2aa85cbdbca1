#pragma once

#include "player/ChromeAutoHide.h"

#include <QObject>
#include <QPointer>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

namespace orvella {

class AppModel;
class Clock;
class PlayerController;

// The episode player's chrome: shown on activity and hidden 4 seconds after the last (never
// while a menu or the related row is open), the repeat and quality menus, the related row that
// closes itself after 8 idle seconds, the settings it shows and changes, and the controls that
// act on the player (skips, play and pause, mute).
class EpisodeChromeModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Part of the episode player")

    Q_PROPERTY(bool controlsVisible READ controlsVisible NOTIFY visibilityChanged)
    Q_PROPERTY(bool relatedOpen READ relatedOpen NOTIFY visibilityChanged)
    Q_PROPERTY(bool qualityOpen READ qualityOpen NOTIFY visibilityChanged)
    Q_PROPERTY(bool repeatOpen READ repeatOpen NOTIFY visibilityChanged)
    Q_PROPERTY(bool captionsEnabled READ captionsEnabled NOTIFY settingsChanged)
    Q_PROPERTY(bool autoplayNext READ autoplayNext NOTIFY settingsChanged)
    Q_PROPERTY(int repeatMode READ repeatMode NOTIFY settingsChanged)
    Q_PROPERTY(QString repeatSymbol READ repeatSymbol NOTIFY settingsChanged)
    Q_PROPERTY(QString quality READ quality NOTIFY settingsChanged)
    Q_PROPERTY(QVariantList repeatRows READ repeatRows CONSTANT)
    Q_PROPERTY(QVariantList qualityRows READ qualityRows CONSTANT)

public:
    explicit EpisodeChromeModel(QObject *parent = nullptr);
    ~EpisodeChromeModel() override;

    void setApp(AppModel *app);
    void setPlayer(PlayerController *player) { m_player = player; }
    void setClock(Clock *clock) { m_autoHide.setClock(clock); }

    [[nodiscard]] bool controlsVisible() const { return m_autoHide.shown(); }
    [[nodiscard]] bool relatedOpen() const { return m_relatedOpen; }
    [[nodiscard]] bool qualityOpen() const { return m_qualityOpen; }
    [[nodiscard]] bool repeatOpen() const { return m_repeatOpen; }
    [[nodiscard]] bool captionsEnabled() const;
    [[nodiscard]] bool autoplayNext() const;
    [[nodiscard]] int repeatMode() const;
    [[nodiscard]] QString repeatSymbol() const;
    [[nodiscard]] QString quality() const;
    // The menus' rows, { value, text }: the three repeat modes, and every quality by its id.
    [[nodiscard]] static QVariantList repeatRows();
    [[nodiscard]] static QVariantList qualityRows();

    // Shows the chrome and restarts the 4-second hide.
    Q_INVOKABLE void showControls();
    // The pointer moved over the screen: shows the chrome, or keeps the related row open.
    Q_INVOKABLE void pointerActivity();
    // Where the pointer is over the window; only a move is activity (the window repeats the
    // hover of a resting pointer on every frame).
    Q_INVOKABLE void pointerAt(double x, double y);
    Q_INVOKABLE void hover(bool entered);
    // A tap on the picture: reveals hidden chrome, or pauses and resumes while it shows.
    Q_INVOKABLE void tap();
    Q_INVOKABLE void skip(double seconds);
    Q_INVOKABLE void togglePlay();
    Q_INVOKABLE void toggleMute();
    Q_INVOKABLE void toggleCaptions();
    Q_INVOKABLE void toggleAutoplay();
    Q_INVOKABLE void toggleRepeatMenu();
    Q_INVOKABLE void selectRepeatMode(int mode);
    Q_INVOKABLE void dismissRepeat();
    Q_INVOKABLE void toggleQualityMenu();
    Q_INVOKABLE void selectQuality(const QString &id);
    Q_INVOKABLE void dismissQuality();
    Q_INVOKABLE void more();
    Q_INVOKABLE void closeRelated();

    // A new episode: menus and the related row closed.
    void closeAll();
    // The related row goes without showing the chrome (an episode was chosen in it).
    void dropRelated();
    // The screen went away: no hide is pending any more.
    void stop();

signals:
    void visibilityChanged();
    void settingsChanged();

private:
    void setFlag(bool &flag, bool value);
    void scheduleRelatedHide();
    [[nodiscard]] bool ready() const;

    QPointer<AppModel> m_app;
    PlayerController *m_player = nullptr;
    bool m_relatedOpen = false;
    bool m_qualityOpen = false;
    bool m_repeatOpen = false;
    ChromeAutoHide m_autoHide;
};

} // namespace orvella
