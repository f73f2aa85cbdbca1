#pragma once

#include "ui/PictureItem.h"

#include <QImage>
#include <QString>
#include <QUrl>
#include <QtQml/qqmlregistration.h>
#include <optional>

namespace orvella {

struct DeviceCodeData;

// Turns text into a QR picture: one pixel per module, dark modules on white, margin included.
namespace QRCodeGenerator {
// A null image when no code can be made.
[[nodiscard]] QImage image(const QString &text);
// The factor that makes a picture of `modules` pixels fill `size` points; not rounded.
[[nodiscard]] double scaleFactor(double size, int modules);
} // namespace QRCodeGenerator

// The address the sign-in QR code encodes: the complete verification address, else the QR
// address, else the verification address (each only when it parses), else the service's
// activation page.
namespace QRPayload {
[[nodiscard]] QUrl url(const std::optional<QString> &verificationUrlComplete,
    const std::optional<QString> &qrUrl, const std::optional<QString> &verificationUrl);
[[nodiscard]] QUrl url(const DeviceCodeData &data);
} // namespace QRPayload

// The module picture of QRCodeView, scaled to the item without smoothing.
class QrCodeItem : public PictureItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
    Q_PROPERTY(bool available READ available NOTIFY imageChanged)
    Q_PROPERTY(int moduleCount READ moduleCount NOTIFY imageChanged)
    Q_PROPERTY(QString unavailableText READ unavailableText CONSTANT)

public:
    explicit QrCodeItem(QQuickItem *parent = nullptr);

    [[nodiscard]] QString text() const { return m_text; }
    void setText(const QString &text);
    [[nodiscard]] bool available() const { return !picture().isNull(); }
    [[nodiscard]] int moduleCount() const { return picture().width(); }
    [[nodiscard]] static QString unavailableText() { return QStringLiteral("QR unavailable"); }

signals:
    void textChanged();
    void imageChanged();

private:
    QString m_text;
};

} // namespace orvella
