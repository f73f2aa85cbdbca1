#pragma once

#include "studio/StudioBackgroundPreset.h"

#include <QImage>
#include <QObject>
#include <QTimer>
#include <functional>

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

    static constexpr int width = 1280;
    static constexpr int height = 720;

private:
    void drawStudioBase(QPainter &painter) const;
    void drawParticles(QPainter &painter, int count, double t) const;
    void drawTileWall(QPainter &painter, double tau) const;
    void drawOrvellaHeroStudio(QPainter &painter, double t) const;
    void drawOrvellaBroadcastSet(QPainter &painter, double t) const;
    void renderAndDeliver();

    QTimer m_timer;
    FrameCallback m_onFrame;
    StudioAnimatedBackgroundKind m_kind = StudioAnimatedBackgroundKind::studioLights;
    const Clock *m_clock;
    QImage m_logo;
    QImage m_heroLogo;
};

} // namespace orvella
