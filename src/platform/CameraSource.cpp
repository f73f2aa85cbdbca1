#include "platform/CameraSource.h"

#include <opencv2/core.hpp>

namespace orvella {

void CameraSource::setFrameHandler(FrameHandler handler)
{
    std::lock_guard lock(m_handlerMutex);
    m_handler = std::move(handler);
}

void CameraSource::deliver(CameraFrame frame, bool mirrored)
{
    if (mirrored && !frame.bgra.empty())
        cv::flip(frame.bgra, frame.bgra, 1);
    FrameHandler handler;
    {
        std::lock_guard lock(m_handlerMutex);
        handler = m_handler;
    }
    if (handler)
        handler(std::move(frame));
}

bool SyntheticCameraSource::open(const QString &deviceId, bool mirrored)
{
    std::lock_guard lock(m_mutex);
    ++m_openCount;
    if (m_failsToOpen) {
        m_open = false;
        return false;
    }
    m_deviceId = deviceId;
    m_mirrored = mirrored;
    m_open = true;
    return true;
}

void SyntheticCameraSource::close()
{
    std::lock_guard lock(m_mutex);
    m_open = false;
    m_running = false;
}

bool SyntheticCameraSource::start()
{
    std::lock_guard lock(m_mutex);
    m_running = m_open && !m_failsToStart;
    return m_running;
}

void SyntheticCameraSource::stop()
{
    std::lock_guard lock(m_mutex);
    m_running = false;
}

bool SyntheticCameraSource::isRunning() const
{
    std::lock_guard lock(m_mutex);
    return m_running;
}

void SyntheticCameraSource::push(const cv::Mat &bgra, qint64 timeUs)
{
    bool mirrored = false;
    {
        std::lock_guard lock(m_mutex);
        if (!m_running)
            return;
        mirrored = m_mirrored;
    }
    deliver(CameraFrame { bgra.clone(), timeUs }, mirrored);
}

QString SyntheticCameraSource::openedDeviceId() const
{
    std::lock_guard lock(m_mutex);
    return m_deviceId;
}

bool SyntheticCameraSource::mirrored() const
{
    std::lock_guard lock(m_mutex);
    return m_mirrored;
}

int SyntheticCameraSource::openCount() const
{
    std::lock_guard lock(m_mutex);
    return m_openCount;
}

void SyntheticCameraSource::setFailsToStart(bool fails)
{
    std::lock_guard lock(m_mutex);
    m_failsToStart = fails;
}

void SyntheticCameraSource::setFailsToOpen(bool fails)
{
    std::lock_guard lock(m_mutex);
    m_failsToOpen = fails;
}

} // namespace orvella
