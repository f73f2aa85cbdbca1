#pragma once

#include <QByteArrayView>
#include <QSize>
#include <optional>

namespace orvella {

// What a picture's bytes say of the work decoding it takes, beyond the size its header declares:
// read from the bytes alone, bounded by their length, allocating nothing.
namespace DecodeBounds {

// The scans a JPEG's decoder reads, counted up to `enough` (the count stops just past it): the
// marker segments are walked as libjpeg walks them, each passed over by its length, so metadata
// and the pictures it embeds count nothing; coded data is searched for its next real marker
// (entropy coding stuffs each FF it holds as FF 00), as are bytes between segments; the walk ends
// at the end-of-image marker, leaving out anything appended, or where the data ends. Where libjpeg
// would fail on a malformed marker, the walk goes on, so the count is never below its own.
[[nodiscard]] qsizetype jpegScans(QByteArrayView data, qsizetype enough);

// The first frame of a GIF declaring more than `maxPixels` by itself, as its image descriptor
// gives it: the screen's size, which readers report, bounds no frame. Walks the blocks by their
// length bytes without decompressing anything. Where the block structure ends early or breaks,
// the walk ends having found nothing further.
[[nodiscard]] std::optional<QSize> gifFrameOver(QByteArrayView data, qint64 maxPixels);

} // namespace DecodeBounds

} // namespace orvella
