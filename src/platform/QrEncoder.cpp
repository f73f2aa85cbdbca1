#include "platform/QrEncoder.h"

#include <memory>
#include <qrencode.h>

namespace orvella {

std::optional<QrMatrix> encodeQr(const QByteArray &message)
{
    if (message.isEmpty())
        return std::nullopt;
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeData(int(message.size()),
            reinterpret_cast<const unsigned char *>(message.constData()), 0, QR_ECLEVEL_M),
        &QRcode_free);
    if (!code || code->width <= 0)
        return std::nullopt;

    constexpr int margin = 1;
    QrMatrix matrix;
    matrix.size = code->width + 2 * margin;
    matrix.dark.assign(std::size_t(matrix.size) * std::size_t(matrix.size), false);
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            const bool dark = code->data[y * code->width + x] & 1;
            matrix.dark[std::size_t((y + margin) * matrix.size + x + margin)] = dark;
        }
    }
    return matrix;
}

} // namespace orvella
