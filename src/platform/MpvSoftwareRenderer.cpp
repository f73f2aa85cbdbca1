#include "platform/MpvSoftwareRenderer.h"

#include "platform/MpvLibrary.h"
#include "platform/PlatformLog.h"

#include <array>
#include <mpv/render.h>

namespace orvella {

MpvSoftwareRenderer::MpvSoftwareRenderer(
    std::shared_ptr<MpvCore> core, std::function<void()> onFrame)
    : m_core(std::move(core))
    , m_onFrame(std::move(onFrame))
{
    mpv_render_param params[] = {
        { MPV_RENDER_PARAM_API_TYPE, const_cast<char *>(MPV_RENDER_API_TYPE_SW) },
        { MPV_RENDER_PARAM_INVALID, nullptr },
    };
    if (const int error = mpvLibrary().render_context_create(&m_context, m_core->handle(), params);
        error < 0) {
        qCWarning(lcPlayer) << "No video: mpv render context refused:"
                            << mpvLibrary().error_string(error);
        m_context = nullptr;
        return;
    }
    mpvLibrary().render_context_set_update_callback(
        m_context, &MpvSoftwareRenderer::onUpdate, this);
    m_thread = std::thread([this] { run(); });
}

MpvSoftwareRenderer::~MpvSoftwareRenderer()
{
    if (!m_context)
        return;
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
    mpvLibrary().render_context_set_update_callback(m_context, nullptr, nullptr);
    mpvLibrary().render_context_free(m_context);
}

void MpvSoftwareRenderer::onUpdate(void *self)
{
    auto *renderer = static_cast<MpvSoftwareRenderer *>(self);
    {
        std::lock_guard lock(renderer->m_mutex);
        renderer->m_updatePending = true;
    }
    renderer->m_wake.notify_all();
}

QImage MpvSoftwareRenderer::frame() const
{
    std::lock_guard lock(m_mutex);
    return m_frame;
}

void MpvSoftwareRenderer::setFrameSize(QSize pixels)
{
    if (pixels.isEmpty())
        return;
    {
        std::lock_guard lock(m_mutex);
        if (m_size == pixels)
            return;
        m_size = pixels;
        m_updatePending = true;
    }
    m_wake.notify_all();
}

void MpvSoftwareRenderer::makeOpaque(QImage &canvas)
{
    // mpv's "bgr0" leaves the fourth byte undefined (zero), where the image's format promises
    // full opacity: the scene graph copies it into the window and blends with it. Asking mpv for
    // "bgra" instead costs two and a half times the processor time of the whole picture.
    const int pixels = canvas.bytesPerLine() / 4;
    for (int y = 0; y < canvas.height(); ++y) {
        auto *line = reinterpret_cast<quint32 *>(canvas.scanLine(y));
        for (int x = 0; x < pixels; ++x)
            line[x] |= 0xff000000u;
    }
}

void MpvSoftwareRenderer::run()
{
    // Frames are drawn into two canvases in turn. The one drawn last is shared with whoever
    // shows it; drawing into a canvas that is still shown copies it first (QImage detaches).
    std::array<QImage, 2> canvases;
    std::size_t next = 0;
    QSize drawnSize;
    bool drewFrame = false;
    for (;;) {
        QSize size;
        bool resized = false;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || m_updatePending; });
            if (m_stop)
                return;
            m_updatePending = false;
            size = m_size;
            resized = drawnSize != size;
        }
        const uint64_t flags = mpvLibrary().render_context_update(m_context);
        // A resize redraws the last frame at the new size once one has been drawn.
        if (!(flags & MPV_RENDER_UPDATE_FRAME) && !(resized && drewFrame))
            continue;
        QImage &canvas = canvases[next];
        if (canvas.size() != size)
            // Opaque: the scene graph draws it without blending and skips what lies under it.
            canvas = QImage(size, QImage::Format_RGB32);
        int renderSize[2] = { canvas.width(), canvas.height() };
        size_t stride = static_cast<size_t>(canvas.bytesPerLine());
        mpv_render_param params[] = {
            { MPV_RENDER_PARAM_SW_SIZE, renderSize },
            { MPV_RENDER_PARAM_SW_FORMAT, const_cast<char *>("bgr0") },
            { MPV_RENDER_PARAM_SW_STRIDE, &stride },
            { MPV_RENDER_PARAM_SW_POINTER, canvas.bits() },
            { MPV_RENDER_PARAM_INVALID, nullptr },
        };
        if (mpvLibrary().render_context_render(m_context, params) < 0)
            continue;
        makeOpaque(canvas);
        drewFrame = true;
        drawnSize = size;
        {
            std::lock_guard lock(m_mutex);
            m_frame = canvas;
        }
        next = 1 - next;
        m_onFrame();
    }
}

} // namespace orvella
