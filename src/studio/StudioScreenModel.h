#pragma once

#include "core/ObjectLink.h"
#include "studio/BackgroundPickerModel.h"
#include "studio/RecordingDelivery.h"
#include "studio/RecordingTransport.h"
#include "studio/StudioCaptureController.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>

namespace orvella {

// The testimony studio screen's own state (teleprompter text, controls panel) and its parts,
// all bound to the one capture controller. Created afresh with the screen, so the text and the
// panel start from their defaults on every visit; the controller keeps everything else.
class StudioScreenModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(orvella::StudioCaptureController *capture READ capture WRITE setCapture NOTIFY
            captureChanged)
    Q_PROPERTY(orvella::RecordingTransport *transport READ transport CONSTANT)
    Q_PROPERTY(orvella::RecordingDelivery *delivery READ delivery CONSTANT)
    Q_PROPERTY(orvella::BackgroundPickerModel *picker READ picker CONSTANT)
    Q_PROPERTY(
        QString teleprompter READ teleprompter WRITE setTeleprompter NOTIFY teleprompterChanged)
    Q_PROPERTY(bool showControlsPanel READ showControlsPanel WRITE setShowControlsPanel NOTIFY
            showControlsPanelChanged)
    // The recording plays in the stage instead of the camera picture.
    Q_PROPERTY(bool previewing READ isPreviewing NOTIFY previewingChanged)
    // The teleprompter text shows over the camera picture.
    Q_PROPERTY(bool teleprompterVisible READ teleprompterVisible NOTIFY teleprompterVisibleChanged)

public:
    explicit StudioScreenModel(QObject *parent = nullptr);
    ~StudioScreenModel() override;

    [[nodiscard]] StudioCaptureController *capture() const { return m_capture.get(); }
    void setCapture(StudioCaptureController *capture);
    [[nodiscard]] RecordingTransport *transport() const { return m_transport; }
    [[nodiscard]] RecordingDelivery *delivery() const { return m_delivery; }
    [[nodiscard]] BackgroundPickerModel *picker() const { return m_picker; }
    [[nodiscard]] QString teleprompter() const { return m_teleprompter; }
    void setTeleprompter(const QString &text);
    [[nodiscard]] bool showControlsPanel() const { return m_showControlsPanel; }
    void setShowControlsPanel(bool show);
    [[nodiscard]] bool isPreviewing() const;
    [[nodiscard]] bool teleprompterVisible() const;

    [[nodiscard]] static QString defaultTeleprompter();

    // The screen came on screen: start the camera.
    Q_INVOKABLE void shown();
    // The screen went away: stop a preview, and finish a recording or pause the camera.
    Q_INVOKABLE void hidden();
    Q_INVOKABLE void toggleControlsPanel() { setShowControlsPanel(!m_showControlsPanel); }

signals:
    void captureChanged();
    void teleprompterChanged();
    void showControlsPanelChanged();
    void previewingChanged();
    void teleprompterVisibleChanged();

private:
    ObjectLink<StudioCaptureController> m_capture;
    RecordingTransport *m_transport;
    RecordingDelivery *m_delivery;
    BackgroundPickerModel *m_picker;
    QString m_teleprompter;
    bool m_showControlsPanel = true;
    bool m_active = false;
};

} // namespace orvella
