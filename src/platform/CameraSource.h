#pragma once

#include "platform/CapturedMedia.h"

#include <QString>
#include <functional>
#include <memory>
#include <mutex>

namespace orvella {

class MediaClock;

// A camera delivering BGRA frames stamped with the shared media clock. open/start/stop are called
// on the studio's session thread; frames arrive on whatever thread the device delivers them.
class CameraSource
{
public:
    using FrameHandler = std::function<void(CameraFrame)>;

    virtual ~CameraSource() = default;

    // Opens the camera with this id, else the first camera; false when none could be opened.
    virtual bool open(const QString &deviceId, bool mirrored) = 0;
    virtual void close() = 0;
    // False when the opened camera does not start delivering (busy, unplugged, refused).
    virtual bool start() = 0;
    virtual void stop() = 0;
    [[nodiscard]] virtual bool isRunning() const = 0;

    void setFrameHandler(FrameHandler handler);

protected:
    // Mirrors when asked to, then hands the frame on.
    void deliver(CameraFrame frame, bool mirrored);

private:
    std::mutex m_handlerMutex;
    FrameHandler m_handler;
};

// QCamera with a QVideoSink, preferring 1280x720 at about 30 frames per second.
[[nodiscard]] std::unique_ptr<CameraSource> makeSystemCameraSource(const MediaClock &clock);

// A camera whose frames the test or benchmark hands in.
class SyntheticCameraSource final : public CameraSource
{
public:
    bool open(const QString &deviceId, bool mirrored) override;
    void close() override;
    bool start() override;
    void stop() override;
    [[nodiscard]] bool isRunning() const override;

    // Delivers the frame as the device would (mirrored if opened so) when running.
    void push(const cv::Mat &bgra, qint64 timeUs);

    [[nodiscard]] QString openedDeviceId() const;
    [[nodiscard]] bool mirrored() const;
    [[nodiscard]] int openCount() const;
    void setFailsToOpen(bool fails);
    // Opens, but never starts delivering (a camera another program holds).
    void setFailsToStart(bool fails);

private:
    mutable std::mutex m_mutex;
    QString m_deviceId;
    bool m_mirrored = false;
    bool m_open = false;
    bool m_running = false;
    bool m_failsToOpen = false;
    bool m_failsToStart = false;
    int m_openCount = 0;
};

} // namespace orvella
