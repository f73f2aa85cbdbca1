#include "studio/RecordingTransport.h"

#include <algorithm>
#include <cmath>

namespace orvella {

namespace {

using State = StudioCaptureController::State;
using Style = TransportItem::Style;

QString styleName(Style style)
{
    switch (style) {
    case Style::Gold:
        return QStringLiteral("gold");
    case Style::Bordered:
        return QStringLiteral("bordered");
    case Style::Progress:
        return QStringLiteral("progress");
    case Style::Upload:
        return QStringLiteral("upload");
    }
    return {};
}

TransportItem uploadItem(bool isUploading)
{
    return { QStringLiteral("upload"), QStringLiteral("Upload to Orvella"),
        QStringLiteral("arrow.up.circle.fill"), Style::Upload, !isUploading, isUploading };
}

} // namespace

QString formatTime(double seconds)
{
    // NaN compares false, so it lands on 0 with the negatives; the cap only keeps the cast defined.
    const double whole = std::trunc(seconds);
    const long long total = whole > 0 ? static_cast<long long>(std::min(whole, 1.0e15)) : 0;
    return QString::asprintf("%02lld:%02lld", total / 60, total % 60);
}

QString stateLabel(State state)
{
    switch (state) {
    case State::Failed:
        return QStringLiteral("CHECK SETUP");
    case State::Idle:
        return QStringLiteral("READY");
    case State::Recording:
        return QStringLiteral("RECORDING");
    case State::Paused:
        return QStringLiteral("PAUSED");
    case State::Processing:
        return QStringLiteral("PROCESSING");
    case State::Ready:
        return QStringLiteral("READY TO SEND");
    }
    return {};
}

TransportRow transportRow(State state, bool isUploading)
{
    TransportRow row;
    switch (state) {
    case State::Idle:
    case State::Failed:
        row.items = { { QStringLiteral("start"), QStringLiteral("Start Recording"),
            QStringLiteral("record.circle"), Style::Gold } };
        break;
    case State::Recording:
        row.items = { { QStringLiteral("pause"), QStringLiteral("Pause"),
                          QStringLiteral("pause.fill"), Style::Bordered },
            { QStringLiteral("finish"), QStringLiteral("Finish"), QStringLiteral("stop.fill"),
                Style::Gold } };
        break;
    case State::Paused:
        row.items = { { QStringLiteral("resume"), QStringLiteral("Continue"),
                          QStringLiteral("play.fill"), Style::Gold },
            { QStringLiteral("finish"), QStringLiteral("Finish"), QString(), Style::Bordered } };
        break;
    case State::Processing:
        row.items = { { QString(), QStringLiteral("Processing…"), QString(), Style::Progress } };
        break;
    case State::Ready:
        row.items = { { QStringLiteral("recordAgain"), QStringLiteral("Record Again"),
                          QStringLiteral("record.circle"), Style::Bordered, !isUploading },
            uploadItem(isUploading) };
        break;
    }
    row.resetEnabled = state != State::Recording && state != State::Processing && !isUploading;
    return row;
}

RecordingTransport::RecordingTransport(QObject *parent)
    : QObject(parent)
{ }

void RecordingTransport::setCapture(StudioCaptureController *capture)
{
    if (!m_capture.repoint(capture))
        return;
    for (auto signal :
        { &StudioCaptureController::stateChanged, &StudioCaptureController::elapsedChanged,
            &StudioCaptureController::isUploadingChanged })
        m_capture.forward(signal, this, &RecordingTransport::changed);
    emit captureChanged();
    emit changed();
}

void RecordingTransport::setDelivery(RecordingDelivery *delivery)
{
    if (m_delivery == delivery)
        return;
    m_delivery = delivery;
    emit deliveryChanged();
}

QString RecordingTransport::clockText() const
{
    return formatTime(m_capture ? m_capture->elapsed() : 0);
}

bool RecordingTransport::isRecording() const
{
    return m_capture && m_capture->state() == State::Recording;
}

QString RecordingTransport::currentStateLabel() const
{
    return stateLabel(m_capture ? m_capture->state() : State::Idle);
}

TransportRow RecordingTransport::row() const
{
    if (!m_capture)
        return transportRow(State::Idle, false);
    return transportRow(m_capture->state(), m_capture->isUploading());
}

QVariantList RecordingTransport::items() const
{
    QVariantList list;
    for (const TransportItem &item : row().items) {
        list << QVariantMap { { QStringLiteral("action"), item.action },
            { QStringLiteral("title"), item.title }, { QStringLiteral("symbol"), item.symbol },
            { QStringLiteral("style"), styleName(item.style) },
            { QStringLiteral("enabled"), item.enabled }, { QStringLiteral("busy"), item.busy } };
    }
    return list;
}

bool RecordingTransport::resetEnabled() const
{
    return row().resetEnabled;
}

void RecordingTransport::trigger(const QString &action)
{
    if (!m_capture)
        return;
    const TransportRow current = row();
    if (action == u"reset") {
        if (current.resetEnabled)
            m_capture->reset();
        return;
    }
    const auto offered = std::find_if(current.items.cbegin(), current.items.cend(),
        [&](const TransportItem &item) { return item.enabled && item.action == action; });
    if (offered == current.items.cend())
        return;
    if (action == u"start" || action == u"recordAgain")
        m_capture->startRecording();
    else if (action == u"pause")
        m_capture->pauseRecording();
    else if (action == u"resume")
        m_capture->resumeRecording();
    else if (action == u"finish")
        m_capture->stopRecording();
    else if (action == u"upload" && m_delivery)
        m_delivery->upload();
}

} // namespace orvella
