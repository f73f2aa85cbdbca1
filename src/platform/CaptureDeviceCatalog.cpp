#include "platform/CaptureDeviceCatalog.h"

#include <QAudioDevice>
#include <QCameraDevice>
#include <QMediaDevices>

namespace orvella {

namespace {

class SystemCaptureDeviceCatalog final : public CaptureDeviceCatalog
{
public:
    [[nodiscard]] QList<CaptureDeviceInfo> videoInputs() const override
    {
        QList<CaptureDeviceInfo> list;
        for (const QCameraDevice &device : QMediaDevices::videoInputs())
            list.append({ QString::fromUtf8(device.id()), device.description() });
        return list;
    }

    [[nodiscard]] QList<CaptureDeviceInfo> audioInputs() const override
    {
        QList<CaptureDeviceInfo> list;
        for (const QAudioDevice &device : QMediaDevices::audioInputs())
            list.append({ QString::fromUtf8(device.id()), device.description() });
        return list;
    }
};

} // namespace

std::unique_ptr<CaptureDeviceCatalog> makeSystemCaptureDeviceCatalog()
{
    return std::make_unique<SystemCaptureDeviceCatalog>();
}

} // namespace orvella
