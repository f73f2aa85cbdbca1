#include "studio/StudioCaptureController.h"

namespace orvella {

StudioCaptureController::StudioCaptureController(QObject *parent)
    : QObject(parent)
    , m_statusMessage(QStringLiteral("Preparing camera…"))
{
}

} // namespace orvella
