#include "studio/StudioScreenModel.h"

namespace orvella {

StudioScreenModel::StudioScreenModel(QObject *parent)
    : QObject(parent)
    , m_transport(new RecordingTransport(this))
    , m_delivery(new RecordingDelivery(this))
    , m_picker(new BackgroundPickerModel(this))
    , m_teleprompter(defaultTeleprompter())
{
    m_transport->setDelivery(m_delivery);
    connect(this, &StudioScreenModel::previewingChanged, this,
        &StudioScreenModel::teleprompterVisibleChanged);
    connect(this, &StudioScreenModel::teleprompterChanged, this,
        &StudioScreenModel::teleprompterVisibleChanged);
}

StudioScreenModel::~StudioScreenModel()
{
    hidden();
}

QString StudioScreenModel::defaultTeleprompter()
{
    return QStringLiteral("Share what happened, what you could not do before, and how your life "
                          "changed after receiving healing.");
}

void StudioScreenModel::setCapture(StudioCaptureController *capture)
{
    if (!m_capture.repoint(capture))
        return;
    m_capture.forward(&StudioCaptureController::previewPlayerChanged, this,
        &StudioScreenModel::previewingChanged);
    m_transport->setCapture(capture);
    m_delivery->setCapture(capture);
    m_picker->setCapture(capture);
    emit captureChanged();
    emit previewingChanged();
}

void StudioScreenModel::setTeleprompter(const QString &text)
{
    if (m_teleprompter == text)
        return;
    m_teleprompter = text;
    emit teleprompterChanged();
}

void StudioScreenModel::setShowControlsPanel(bool show)
{
    if (m_showControlsPanel == show)
        return;
    m_showControlsPanel = show;
    emit showControlsPanelChanged();
}

bool StudioScreenModel::isPreviewing() const
{
    return m_capture && m_capture->previewPlayer();
}

bool StudioScreenModel::teleprompterVisible() const
{
    return !isPreviewing() && !m_teleprompter.isEmpty();
}

void StudioScreenModel::shown()
{
    if (!m_capture)
        return;
    m_active = true;
    m_capture->startCamera();
}

void StudioScreenModel::hidden()
{
    if (!m_capture || !m_active)
        return;
    m_active = false;
    m_capture->clearPreviewPlayer();
    m_capture->suspend();
}

} // namespace orvella
