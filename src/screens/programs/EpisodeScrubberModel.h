#pragma once

#include <QObject>
#include <QtQml/qqmlregistration.h>
#include <functional>
#include <optional>

namespace orvella {

class PlayerController;

// The episode chrome's seek bar and its two time texts. The knob follows the viewer's hand
// during a drag (player ticks do not move it) and one seek goes out on release, only when the
// knob was moved. While the length is unknown the bar spans 0 … 1.
class EpisodeScrubberModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Part of the episode player")

    Q_PROPERTY(QString elapsedText READ elapsedText NOTIFY changed)
    Q_PROPERTY(QString totalText READ totalText NOTIFY changed)
    Q_PROPERTY(double maximum READ maximum NOTIFY changed)
    Q_PROPERTY(double value READ value NOTIFY changed)
    Q_PROPERTY(double bufferedFraction READ bufferedFraction NOTIFY changed)

public:
    // `activity` is told about every movement of the knob.
    explicit EpisodeScrubberModel(std::function<void()> activity, QObject *parent = nullptr);

    void setPlayer(PlayerController *player);

    [[nodiscard]] QString elapsedText() const;
    [[nodiscard]] QString totalText() const;
    [[nodiscard]] double maximum() const;
    // Where the player is, within the bar.
    [[nodiscard]] double position() const;
    // Where the knob stands: under the viewer's hand during a drag, else the player.
    [[nodiscard]] double value() const { return m_drag.value_or(position()); }
    [[nodiscard]] double bufferedFraction() const;

    Q_INVOKABLE void moved(double seconds);
    Q_INVOKABLE void released();

signals:
    void changed();

private:
    std::function<void()> m_activity;
    PlayerController *m_player = nullptr;
    std::optional<double> m_drag;
};

} // namespace orvella
