#pragma once

#include "platform/MpvCore.h"

#include <QImage>
#include <QSize>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

struct mpv_render_context;

namespace orvella {

// mpv's software renderer on a thread of its own: each new video frame is drawn into an image
// of the requested size, and onFrame is called (from that thread) once it is ready.
class MpvSoftwareRenderer
{
public:
    MpvSoftwareRenderer(std::shared_ptr<MpvCore> core, std::function<void()> onFrame);
    ~MpvSoftwareRenderer();
    MpvSoftwareRenderer(const MpvSoftwareRenderer &) = delete;
    MpvSoftwareRenderer &operator=(const MpvSoftwareRenderer &) = delete;

    [[nodiscard]] bool isValid() const { return m_context != nullptr; }
    [[nodiscard]] QImage frame() const;
    void setFrameSize(QSize pixels);

private:
    static void onUpdate(void *self);
    static void makeOpaque(QImage &canvas);
    void run();

    std::shared_ptr<MpvCore> m_core;
    std::function<void()> m_onFrame;
    mpv_render_context *m_context = nullptr;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_updatePending = false;
    bool m_stop = false;
    QSize m_size { 640, 360 };
    QImage m_frame;
    std::thread m_thread;
};

} // namespace orvella
