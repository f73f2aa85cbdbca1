#pragma once

// The live fixture drawn through a real player into a window of its own, for the tests of the
// video item on a display.
#include "platform/MpvMediaPlayer.h"
#include "player/PlayerController.h"
#include "player/VideoSurface.h"
#include "support/ServiceDouble.h"
#include "support/TestAsync.h"

#include <QQuickWindow>
#include <gtest/gtest.h>

namespace orvella::test {

struct DrawnFixture
{
    // The colour in the middle of the window; invalid when nothing could be taken.
    QColor middle;
    bool inSoftware = false;
    QSGRendererInterface::GraphicsApi sceneGraph = QSGRendererInterface::Unknown;
    // The player's last software frame; null when it draws through OpenGL.
    QImage softwareFrame;
};

// Plays the live fixture through `player` until a few frames were shown.
inline DrawnFixture drawLiveFixture(std::unique_ptr<MpvMediaPlayer> owned)
{
    using namespace std::chrono_literals;
    ServiceDouble service;
    EXPECT_TRUE(service.start());
    QQuickWindow window;
    window.setColor(Qt::white);
    window.resize(426, 240);
    owned->setMuted(true);
    MpvMediaPlayer *player = owned.get();
    PlayerController controller(std::move(owned));
    VideoSurface surface(window.contentItem());
    surface.setSize({ 426, 240 });
    surface.setPlayer(controller.player());
    window.show();
    controller.load(service.mediaUrl(QStringLiteral("live/master.m3u8")), true, std::nullopt, true);
    EXPECT_TRUE(waitUntil([&] { return surface.framesShown() > 3; }, 10s));
    spinFor(100ms);
    DrawnFixture drawn;
    drawn.inSoftware = player->rendersInSoftware();
    if (drawn.inSoftware)
        drawn.softwareFrame = player->softwareFrame();
    drawn.sceneGraph = window.rendererInterface()->graphicsApi();
    const QImage picture = window.grabWindow();
    if (!picture.isNull())
        drawn.middle = picture.pixelColor(picture.width() / 2, picture.height() / 2);
    return drawn;
}

} // namespace orvella::test
