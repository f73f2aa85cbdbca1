#pragma once

#include "core/ObjectLink.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>

namespace orvella {

class PlayerController;

// What the live control row shows and does with the live player: the position inside the
// seekable window (or the elapsed time), the window's length or "LIVE", the bar's fill, the
// play and mute glyphs, seeking by a fraction of the bar, and the mute toggle.
class LiveVideoControlsModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(orvella::PlayerController *player READ player WRITE setPlayer NOTIFY playerChanged)
    Q_PROPERTY(QString positionText READ positionText NOTIFY changed)
    Q_PROPERTY(QString endLabel READ endLabel NOTIFY changed)
    Q_PROPERTY(bool endIsLive READ endIsLive NOTIFY changed)
    Q_PROPERTY(double progress READ progress NOTIFY changed)
    Q_PROPERTY(QString playGlyph READ playGlyph NOTIFY changed)
    Q_PROPERTY(QString muteGlyph READ muteGlyph NOTIFY changed)
    Q_PROPERTY(bool muteActive READ muteActive NOTIFY changed)
    Q_PROPERTY(double volume READ volume NOTIFY changed)

public:
    explicit LiveVideoControlsModel(QObject *parent = nullptr);

    [[nodiscard]] PlayerController *player() const { return m_player.get(); }
    void setPlayer(PlayerController *player);

    [[nodiscard]] QString positionText() const;
    [[nodiscard]] QString endLabel() const;
    [[nodiscard]] bool endIsLive() const { return endLabel() == QLatin1String("LIVE"); }
    [[nodiscard]] double progress() const;
    [[nodiscard]] QString playGlyph() const;
    [[nodiscard]] QString muteGlyph() const;
    [[nodiscard]] bool muteActive() const;
    [[nodiscard]] double volume() const;

    // "m:ss" of whole seconds, minutes unpadded and never folded into hours; "0:00" for
    // anything not finite or not above 0.
    [[nodiscard]] Q_INVOKABLE static QString timeLabel(double seconds);
    // The quality button's text: the quality trimmed, "Auto" when nothing is left.
    [[nodiscard]] Q_INVOKABLE static QString qualityText(const QString &quality);
    // The action bar's next title: trimmed, "—" when nothing is left.
    [[nodiscard]] Q_INVOKABLE static QString nextTitle(const QString &showingNext);

    // The bar: a click or the end of a drag at x on a bar of the given width seeks there.
    Q_INVOKABLE void seekAt(double x, double width);
    Q_INVOKABLE void seekFraction(double fraction);
    Q_INVOKABLE void toggleMute();
    Q_INVOKABLE void togglePlay();
    Q_INVOKABLE void setVolume(double value);

signals:
    void playerChanged();
    void changed();

private:
    [[nodiscard]] double spanStart() const;
    [[nodiscard]] double spanEnd() const;

    ObjectLink<PlayerController> m_player;
};

} // namespace orvella
