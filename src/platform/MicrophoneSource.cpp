#include "platform/MicrophoneSource.h"

namespace orvella {

void MicrophoneSource::setChunkHandler(ChunkHandler handler)
{
    std::lock_guard lock(m_handlerMutex);
    m_handler = std::move(handler);
}

void MicrophoneSource::deliver(AudioChunk chunk)
{
    ChunkHandler handler;
    {
        std::lock_guard lock(m_handlerMutex);
        handler = m_handler;
    }
    if (handler)
        handler(std::move(chunk));
}

bool SyntheticMicrophoneSource::open(const QString &deviceId)
{
    std::lock_guard lock(m_mutex);
    m_deviceId = deviceId;
    m_open = true;
    return true;
}

void SyntheticMicrophoneSource::close()
{
    std::lock_guard lock(m_mutex);
    m_open = false;
    m_running = false;
}

void SyntheticMicrophoneSource::start()
{
    std::lock_guard lock(m_mutex);
    m_running = m_open;
}

void SyntheticMicrophoneSource::stop()
{
    std::lock_guard lock(m_mutex);
    m_running = false;
}

bool SyntheticMicrophoneSource::isRunning() const
{
    std::lock_guard lock(m_mutex);
    return m_running;
}

void SyntheticMicrophoneSource::push(AudioChunk chunk)
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_running)
            return;
    }
    deliver(std::move(chunk));
}

QString SyntheticMicrophoneSource::openedDeviceId() const
{
    std::lock_guard lock(m_mutex);
    return m_deviceId;
}

} // namespace orvella
