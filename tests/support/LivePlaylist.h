#pragma once

#include <QByteArray>

namespace orvella::test {

// A live media playlist cut from a complete one: `window` segments starting at the segment that
// is on air `elapsedMs` after the stream began, with EXT-X-MEDIA-SEQUENCE counting from there.
// A looping stream starts over after its last segment, marking the seam with
// EXT-X-DISCONTINUITY; otherwise the window stops at the end and gains EXT-X-ENDLIST once the
// last segment has been on air for its full duration.
[[nodiscard]] QByteArray liveWindow(
    const QByteArray &completePlaylist, qint64 elapsedMs, int window, bool loops);

} // namespace orvella::test
