#pragma once

#include <QByteArrayView>
#include <QSize>
#include <optional>

namespace orvella {

// What a picture's bytes say of the work decoding it takes, beyond the size its header declares:
// read from the bytes alone, bounded by their length, allocating nothing.
namespace DecodeBounds {

// An upper bound of a JPEG's scans, counted up to `enough` (the count stops just past it): every
// start-of-scan marker (FF DA) of the body. Entropy-coded data stuffs each FF it holds as FF 00,
// so no scan's data reads as a marker; one inside another segment (an embedded thumbnail) only
// adds to the count.
[[nodiscard]] qsizetype jpegScanMarkers(QByteArrayView data, qsizetype enough);

// The first frame of a GIF declaring more than `maxPixels` by itself, as its image descriptor
// gives it: the screen's size, which readers report, bounds no frame. Walks the blocks by their
// length bytes without decompressing anything. Where the block structure ends early or breaks,
// the walk ends having found nothing further.
[[nodiscard]] std::optional<QSize> gifFrameOver(QByteArrayView data, qint64 maxPixels);

} // namespace DecodeBounds

} // namespace orvella
