#pragma once

#include "studio/StudioBackgroundPreset.h"

#include <QImage>
#include <QObject>
#include <QTimer>
#include <functional>
#include <vector>

class QPainter;

namespace orvella {

class Clock;

// Draws the six animated studio backgrounds as 1280x720 pictures about 30 times a second. Every
// picture is a pure function of the kind, the time and the two logo pictures, so the motion
// follows wall-clock time and two renders of one moment are identical.
class StudioAnimatedBackgroundRenderer : public QObject
{
    Q_OBJECT

public:
    using FrameCallback = std::function<void(const QImage &)>;

    // The logos are the pictures named OrvellaLogoTiles and OrvellaBrandBG; either may be null.
    StudioAnimatedBackgroundRenderer(QImage tileLogo, QImage brandLogo, QObject *parent = nullptr);

    // Stops any running animation, then renders one frame at once and one every 1/30 s.
    void start(StudioAnimatedBackgroundKind kind, FrameCallback onFrame);
    void stop();
    [[nodiscard]] bool isRunning() const { return m_timer.isActive(); }
    void setClock(const Clock &clock) { m_clock = &clock; }

    // One frame of the kind at the time (milliseconds since 1970).
    [[nodiscard]] QImage render(StudioAnimatedBackgroundKind kind, double timeMs) const;
    // What each tick of the timer does: renders the running kind at the clock's time and hands
    // the frame on. Nothing when stopped.
    void renderAndDeliver();

    static constexpr int width = 1280;
    static constexpr int height = 720;

private:
    void drawStudioBase(QPainter &painter) const;
    void drawParticles(QPainter &painter, int count, double t) const;
    void drawTileWall(QPainter &painter, double tau) const;
    // The tile logo turned by about the angle (radians).
    [[nodiscard]] const QImage &turnedTile(double angle) const;
    void drawOrvellaHeroStudio(QPainter &painter, double t) const;
    void drawOrvellaBroadcastSet(QPainter &painter, double t) const;

    QTimer m_timer;
    FrameCallback m_onFrame;
    StudioAnimatedBackgroundKind m_kind = StudioAnimatedBackgroundKind::studioLights;
    const Clock *m_clock;
    // The wall's tiles turn by at most 0.04 radians either way: copies turned in 33 steps.
    static constexpr double maxTileTurn = 0.04;
    static constexpr int tileTurns = 33;
    // Resampled to the sizes they are drawn at: the tile, the hero disc, the corner logo.
    QImage m_logo;
    std::vector<QImage> m_tiles;
    QImage m_heroLogo;
    QImage m_heroLogoSmall;
};

} // namespace orvella
