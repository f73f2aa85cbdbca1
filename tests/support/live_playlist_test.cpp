#include "support/LivePlaylist.h"

#include <QList>
#include <gtest/gtest.h>

using orvella::test::liveWindow;

namespace {

QByteArray complete(int segments)
{
    QByteArray text = "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:2\n"
                      "#EXT-X-MEDIA-SEQUENCE:0\n#EXT-X-PLAYLIST-TYPE:VOD\n";
    for (int i = 0; i < segments; ++i)
        text += "#EXTINF:2.000000,\nseg_" + QByteArray::number(i) + ".ts\n";
    return text + "#EXT-X-ENDLIST\n";
}

QList<QByteArray> uris(const QByteArray &playlist)
{
    QList<QByteArray> found;
    for (const QByteArray &line : playlist.split('\n')) {
        if (!line.isEmpty() && !line.startsWith('#'))
            found.append(line);
    }
    return found;
}

TEST(LiveWindow, AdvancesOneSegmentPerSegmentDurationAndDropsVodTags)
{
    const QByteArray start = liveWindow(complete(6), 0, 3, true);
    EXPECT_TRUE(start.startsWith("#EXTM3U\n"));
    EXPECT_TRUE(start.contains("#EXT-X-TARGETDURATION:2\n"));
    EXPECT_TRUE(start.contains("#EXT-X-MEDIA-SEQUENCE:0\n"));
    EXPECT_FALSE(start.contains("PLAYLIST-TYPE"));
    EXPECT_FALSE(start.contains("ENDLIST"));
    EXPECT_EQ(uris(start), (QList<QByteArray> { "seg_0.ts", "seg_1.ts", "seg_2.ts" }));

    const QByteArray later = liveWindow(complete(6), 2999, 3, true);
    EXPECT_TRUE(later.contains("#EXT-X-MEDIA-SEQUENCE:1\n"));
    EXPECT_EQ(uris(later), (QList<QByteArray> { "seg_1.ts", "seg_2.ts", "seg_3.ts" }));
}

TEST(LiveWindow, LoopsWithADiscontinuityAndKeepsCountingSequenceNumbers)
{
    const QByteArray seam = liveWindow(complete(4), 3 * 2000, 3, true);
    EXPECT_TRUE(seam.contains("#EXT-X-MEDIA-SEQUENCE:3\n"));
    EXPECT_TRUE(seam.contains("#EXT-X-DISCONTINUITY-SEQUENCE:0\n"));
    EXPECT_EQ(uris(seam), (QList<QByteArray> { "seg_3.ts", "seg_0.ts", "seg_1.ts" }));
    EXPECT_TRUE(seam.contains("#EXT-X-DISCONTINUITY\n#EXTINF:2.000000,\nseg_0.ts"));

    // Once the seam has left the window, the discontinuity sequence counts it.
    const QByteArray after = liveWindow(complete(4), 5 * 2000, 3, true);
    EXPECT_TRUE(after.contains("#EXT-X-MEDIA-SEQUENCE:5\n"));
    EXPECT_TRUE(after.contains("#EXT-X-DISCONTINUITY-SEQUENCE:1\n"));
    EXPECT_EQ(uris(after), (QList<QByteArray> { "seg_1.ts", "seg_2.ts", "seg_3.ts" }));
}

TEST(LiveWindow, WithoutLoopingStopsAtTheEndAndThenEnds)
{
    const QByteArray nearEnd = liveWindow(complete(4), 3 * 2000, 3, false);
    EXPECT_EQ(uris(nearEnd), (QList<QByteArray> { "seg_1.ts", "seg_2.ts", "seg_3.ts" }));
    EXPECT_FALSE(nearEnd.contains("ENDLIST"));
    const QByteArray ended = liveWindow(complete(4), 4 * 2000, 3, false);
    EXPECT_EQ(uris(ended), (QList<QByteArray> { "seg_1.ts", "seg_2.ts", "seg_3.ts" }));
    EXPECT_TRUE(ended.endsWith("#EXT-X-ENDLIST\n"));
}

TEST(LiveWindow, LeavesAPlaylistWithoutSegmentsAlone)
{
    const QByteArray master = "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=1\na.m3u8\n";
    EXPECT_EQ(liveWindow(master, 5000, 3, true), master);
}

} // namespace
