#pragma once

#include <QPointer>
#include <QQuickFramebufferObject>
#include <memory>

struct mpv_render_context;

namespace orvella {

class MpvCore;
class MpvMediaPlayer;

// Draws mpv's picture into the video item's framebuffer on the scene graph's render thread.
// The render context is made on the first frame (the OpenGL context is current only there) and
// the player is told, so a load held for want of a surface goes out. On a driver that
// rasterizes in software no context is made: the player moves to software output instead.
class MpvOpenGlRenderer : public QQuickFramebufferObject::Renderer
{
public:
    MpvOpenGlRenderer(std::shared_ptr<MpvCore> core, MpvMediaPlayer *player);
    ~MpvOpenGlRenderer() override;

    void render() override;
    void synchronize(QQuickFramebufferObject *item) override;

private:
    bool createContext();

    std::shared_ptr<MpvCore> m_core;
    QPointer<MpvMediaPlayer> m_player;
    QPointer<QQuickWindow> m_window;
    mpv_render_context *m_context = nullptr;
    // The player has a picture of its item, so this render draws video (start-up trace).
    bool m_videoFrameDue = false;
    // The player moved to software output: this renderer only waits to be replaced.
    bool m_drawsNothing = false;
};

} // namespace orvella
