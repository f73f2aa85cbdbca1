#pragma once

#include "platform/CapturedMedia.h"

#include <QList>
#include <memory>

namespace orvella {

// The cameras and microphones of this computer.
class CaptureDeviceCatalog
{
public:
    virtual ~CaptureDeviceCatalog() = default;
    [[nodiscard]] virtual QList<CaptureDeviceInfo> videoInputs() const = 0;
    [[nodiscard]] virtual QList<CaptureDeviceInfo> audioInputs() const = 0;
};

// The system's devices through Qt Multimedia.
[[nodiscard]] std::unique_ptr<CaptureDeviceCatalog> makeSystemCaptureDeviceCatalog();

// Fixed lists that tests change at will.
class SyntheticCaptureDeviceCatalog final : public CaptureDeviceCatalog
{
public:
    [[nodiscard]] QList<CaptureDeviceInfo> videoInputs() const override { return cameras; }
    [[nodiscard]] QList<CaptureDeviceInfo> audioInputs() const override { return microphones; }

    QList<CaptureDeviceInfo> cameras;
    QList<CaptureDeviceInfo> microphones;
};

} // namespace orvella
