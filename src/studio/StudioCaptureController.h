#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

namespace orvella {

// Owner of the studio's capture session and recording. Built once by the app model; building
// it prepares devices and the chosen background but starts no capture.
class StudioCaptureController : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Held by the app model")
    Q_PROPERTY(QString statusMessage READ statusMessage NOTIFY statusMessageChanged)

public:
    explicit StudioCaptureController(QObject *parent = nullptr);

    [[nodiscard]] QString statusMessage() const { return m_statusMessage; }

signals:
    void statusMessageChanged();

private:
    QString m_statusMessage;
};

} // namespace orvella
