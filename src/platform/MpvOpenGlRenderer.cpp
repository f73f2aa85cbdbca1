#include "platform/MpvOpenGlRenderer.h"

#include "platform/MpvCore.h"
#include "platform/MpvLibrary.h"
#include "platform/MpvMediaPlayer.h"
#include "platform/PlatformLog.h"
#include "platform/StartupTrace.h"

#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QQuickWindow>
#include <mpv/render_gl.h>

namespace orvella {

namespace {
void *procAddress(void *, const char *name)
{
    QOpenGLContext *context = QOpenGLContext::currentContext();
    return context ? reinterpret_cast<void *>(context->getProcAddress(name)) : nullptr;
}

// Mesa's rasterizers that run on the processor: every pass of mpv's shaders costs processor
// time there, while mpv's software scaler converts a frame in a fraction of it.
bool rasterizesInSoftware(QOpenGLContext *context)
{
    const auto *name
        = reinterpret_cast<const char *>(context->functions()->glGetString(GL_RENDERER));
    const QByteArray renderer = QByteArray(name ? name : "").toLower();
    return renderer.contains("llvmpipe") || renderer.contains("softpipe")
        || renderer.contains("software rasterizer") || renderer.contains("swrast");
}
} // namespace

MpvOpenGlRenderer::MpvOpenGlRenderer(std::shared_ptr<MpvCore> core, MpvMediaPlayer *player)
    : m_core(std::move(core))
    , m_player(player)
{ }

MpvOpenGlRenderer::~MpvOpenGlRenderer()
{
    if (!m_context)
        return;
    mpvLibrary().render_context_set_update_callback(m_context, nullptr, nullptr);
    mpvLibrary().render_context_free(m_context);
    if (MpvMediaPlayer *player = m_player.data())
        QMetaObject::invokeMethod(player, &MpvMediaPlayer::surfaceDetached, Qt::QueuedConnection);
}

void MpvOpenGlRenderer::synchronize(QQuickFramebufferObject *item)
{
    m_window = item->window();
    m_videoFrameDue = m_player && m_player->m_firstFrameSeen;
}

bool MpvOpenGlRenderer::createContext()
{
    QOpenGLContext *current = QOpenGLContext::currentContext();
    if (m_player && m_player->m_outputAutomatic && current && rasterizesInSoftware(current)) {
        m_drawsNothing = true;
        if (MpvMediaPlayer *player = m_player.data())
            QMetaObject::invokeMethod(
                player, &MpvMediaPlayer::useSoftwareOutput, Qt::QueuedConnection);
        return false;
    }
    mpv_opengl_init_params glInit { &procAddress, nullptr };
    int advanced = 0;
    mpv_render_param params[] = {
        { MPV_RENDER_PARAM_API_TYPE, const_cast<char *>(MPV_RENDER_API_TYPE_OPENGL) },
        { MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &glInit },
        { MPV_RENDER_PARAM_ADVANCED_CONTROL, &advanced },
        { MPV_RENDER_PARAM_INVALID, nullptr },
    };
    if (const int error = mpvLibrary().render_context_create(&m_context, m_core->handle(), params);
        error < 0) {
        qCWarning(lcPlayer) << "No video: mpv render context refused:"
                            << mpvLibrary().error_string(error);
        m_context = nullptr;
        return false;
    }
    // mpv asks for a redraw from its own threads; the player turns that into an item update.
    mpvLibrary().render_context_set_update_callback(
        m_context,
        [](void *context) {
            auto *renderer = static_cast<MpvOpenGlRenderer *>(context);
            if (MpvMediaPlayer *player = renderer->m_player.data())
                QMetaObject::invokeMethod(player, &MpvMediaPlayer::noteFrame, Qt::QueuedConnection);
        },
        this);
    if (MpvMediaPlayer *player = m_player.data())
        QMetaObject::invokeMethod(player, &MpvMediaPlayer::surfaceAttached, Qt::QueuedConnection);
    return true;
}

void MpvOpenGlRenderer::render()
{
    if (m_window)
        m_window->beginExternalCommands();
    if (!m_context && (m_drawsNothing || !createContext())) {
        // Nothing of an undefined framebuffer shows until the item goes.
        QOpenGLFunctions *gl = QOpenGLContext::currentContext()->functions();
        gl->glClearColor(0, 0, 0, 0);
        gl->glClear(GL_COLOR_BUFFER_BIT);
        if (m_window)
            m_window->endExternalCommands();
        return;
    }
    QOpenGLFramebufferObject *fbo = framebufferObject();
    mpv_opengl_fbo target { static_cast<int>(fbo->handle()), fbo->width(), fbo->height(), 0 };
    int flipY = 0;
    mpv_render_param params[] = {
        { MPV_RENDER_PARAM_OPENGL_FBO, &target },
        { MPV_RENDER_PARAM_FLIP_Y, &flipY },
        { MPV_RENDER_PARAM_INVALID, nullptr },
    };
    mpvLibrary().render_context_render(m_context, params);
    if (m_videoFrameDue)
        markStartup(StartupMilestone::FirstVideoFrameDrawn);
    if (m_window)
        m_window->endExternalCommands();
}

} // namespace orvella
