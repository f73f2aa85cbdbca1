#include "ui/QrCode.h"

#include "api/AccountModels.h"
#include "api/ServiceOrigin.h"
#include "platform/QrEncoder.h"

namespace orvella {

QImage QRCodeGenerator::image(const QString &text)
{
    const auto matrix = encodeQr(text.toUtf8());
    if (!matrix)
        return {};
    QImage picture(matrix->size, matrix->size, QImage::Format_RGB32);
    for (int y = 0; y < matrix->size; ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < matrix->size; ++x)
            line[x] = matrix->isDark(x, y) ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
    }
    return picture;
}

double QRCodeGenerator::scaleFactor(double size, int modules)
{
    return modules > 0 ? size / modules : 0.0;
}

QUrl QRPayload::url(const std::optional<QString> &verificationUrlComplete,
    const std::optional<QString> &qrUrl, const std::optional<QString> &verificationUrl)
{
    for (const auto *candidate : { &verificationUrlComplete, &qrUrl, &verificationUrl }) {
        if (!*candidate || (*candidate)->isEmpty())
            continue;
        const QUrl url(**candidate, QUrl::StrictMode);
        if (url.isValid())
            return url;
    }
    QUrl activation = servicePage(QStringLiteral("/activate"));
    activation.setScheme(QStringLiteral("https"));
    return activation;
}

QUrl QRPayload::url(const DeviceCodeData &data)
{
    return url(data.verification_url_complete, data.qr_url, data.verification_url);
}

QrCodeItem::QrCodeItem(QQuickItem *parent)
    // Modules stay sharp at any scale.
    : PictureItem(QSGTexture::Nearest, parent)
{ }

void QrCodeItem::setText(const QString &text)
{
    if (m_text == text)
        return;
    m_text = text;
    setPicture(QRCodeGenerator::image(text));
    emit textChanged();
    emit imageChanged();
}

} // namespace orvella
