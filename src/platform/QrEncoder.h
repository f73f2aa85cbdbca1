#pragma once

#include <QByteArray>
#include <optional>
#include <vector>

namespace orvella {

// A QR symbol as a square of modules, with a light margin of one module on every side.
struct QrMatrix
{
    int size = 0; // modules per side, margin included
    std::vector<bool> dark; // row by row, size × size

    [[nodiscard]] bool isDark(int x, int y) const { return dark[std::size_t(y * size + x)]; }
};

// Encodes bytes as a QR code at error-correction level M (libqrencode). Nothing when the
// message does not fit a QR code or the encoder fails.
[[nodiscard]] std::optional<QrMatrix> encodeQr(const QByteArray &message);

} // namespace orvella
