#pragma once

#include "core/ObjectLink.h"
#include "studio/RecordingDelivery.h"
#include "studio/StudioCaptureController.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

namespace orvella {

// The clock text of a recording: whole minutes (not capped at 99) and seconds, "%02d:%02d".
// Seconds are truncated toward zero; a negative or unknown time shows 00:00.
[[nodiscard]] QString formatTime(double seconds);

// The pill text of each recording state.
[[nodiscard]] QString stateLabel(StudioCaptureController::State state);

// One control of the transport's state group.
struct TransportItem
{
    enum class Style { Gold, Bordered, Progress, Upload };

    QString action; // what trigger() does; empty for the progress item
    QString title;
    QString symbol; // empty: text only
    Style style = Style::Bordered;
    bool enabled = true;
    bool busy = false; // the upload button shows a spinner

    bool operator==(const TransportItem &) const = default;
};

struct TransportRow
{
    QList<TransportItem> items;
    bool resetEnabled = true;
};

// Exactly the controls that make sense in a state. While an upload runs the recording it sends
// must stay: Reset and Record Again are disabled with the upload button.
[[nodiscard]] TransportRow transportRow(StudioCaptureController::State state, bool isUploading);

// The row under the studio's stage: the clock, the state's controls and Reset, read from the
// capture controller. Also gives the per-state look that the pill and the stage border share.
class RecordingTransport : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(orvella::StudioCaptureController *capture READ capture WRITE setCapture NOTIFY
            captureChanged)
    Q_PROPERTY(
        orvella::RecordingDelivery *delivery READ delivery WRITE setDelivery NOTIFY deliveryChanged)
    Q_PROPERTY(QString clockText READ clockText NOTIFY changed)
    // The clock, the pill's dot and the stage border turn red while recording.
    Q_PROPERTY(bool recording READ isRecording NOTIFY changed)
    Q_PROPERTY(QString stateLabel READ currentStateLabel NOTIFY changed)
    // {action, title, symbol, style ("gold", "bordered", "progress", "upload"), enabled, busy}
    Q_PROPERTY(QVariantList items READ items NOTIFY changed)
    Q_PROPERTY(bool resetEnabled READ resetEnabled NOTIFY changed)

public:
    explicit RecordingTransport(QObject *parent = nullptr);

    [[nodiscard]] StudioCaptureController *capture() const { return m_capture.get(); }
    void setCapture(StudioCaptureController *capture);
    [[nodiscard]] RecordingDelivery *delivery() const { return m_delivery; }
    void setDelivery(RecordingDelivery *delivery);

    [[nodiscard]] QString clockText() const;
    [[nodiscard]] bool isRecording() const;
    [[nodiscard]] QString currentStateLabel() const;
    [[nodiscard]] QVariantList items() const;
    [[nodiscard]] bool resetEnabled() const;

    // Runs the action of a control ("start", "pause", "finish", "resume", "recordAgain",
    // "upload", "reset"); an action the current row does not offer enabled is ignored.
    Q_INVOKABLE void trigger(const QString &action);

signals:
    void captureChanged();
    void deliveryChanged();
    void changed();

private:
    [[nodiscard]] TransportRow row() const;

    ObjectLink<StudioCaptureController> m_capture;
    QPointer<RecordingDelivery> m_delivery;
};

} // namespace orvella
