#pragma once

#include "platform/CapturedMedia.h"

#include <QString>
#include <functional>
#include <memory>
#include <mutex>

namespace orvella {

class MediaClock;

// A microphone delivering mono samples stamped with the shared media clock. open/start/stop run
// on the studio's session thread.
class MicrophoneSource
{
public:
    using ChunkHandler = std::function<void(AudioChunk)>;

    virtual ~MicrophoneSource() = default;

    // Opens the microphone with this id, else the first one; false when none could be opened.
    virtual bool open(const QString &deviceId) = 0;
    virtual void close() = 0;
    virtual void start() = 0;
    virtual void stop() = 0;
    [[nodiscard]] virtual bool isRunning() const = 0;

    void setChunkHandler(ChunkHandler handler);

protected:
    void deliver(AudioChunk chunk);

private:
    std::mutex m_handlerMutex;
    ChunkHandler m_handler;
};

// QAudioSource, mono at 44.1 kHz where offered.
[[nodiscard]] std::unique_ptr<MicrophoneSource> makeSystemMicrophoneSource(const MediaClock &clock);

// A microphone whose samples the test or benchmark hands in.
class SyntheticMicrophoneSource final : public MicrophoneSource
{
public:
    bool open(const QString &deviceId) override;
    void close() override;
    void start() override;
    void stop() override;
    [[nodiscard]] bool isRunning() const override;

    void push(AudioChunk chunk);
    [[nodiscard]] QString openedDeviceId() const;

private:
    mutable std::mutex m_mutex;
    QString m_deviceId;
    bool m_open = false;
    bool m_running = false;
};

} // namespace orvella
