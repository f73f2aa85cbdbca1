#include "platform/HlsPlaylistCut.h"

#include <gtest/gtest.h>

using namespace orvella;

namespace {

const QUrl base(QStringLiteral("https://media.example/show/480p/index.m3u8"));

QByteArray lines(std::initializer_list<const char *> all)
{
    QByteArray text;
    for (const char *line : all)
        text += QByteArray(line) + '\n';
    return text;
}

TEST(HlsPlaylistCutTest, KeepsTheTagsInForceAtTheCutAndMakesEveryAddressAbsolute)
{
    const QByteArray text = lines({ "#EXTM3U", "#EXT-X-VERSION:4", "#EXT-X-TARGETDURATION:2",
        "#EXT-X-MEDIA-SEQUENCE:10", "#EXT-X-KEY:METHOD=AES-128,URI=\"../key.bin\"",
        "#EXT-X-MAP:URI=\"init_1.mp4\"", "#EXTINF:2.0,", "#EXT-X-BYTERANGE:100@0", "part1.ts",
        "#EXTINF:2.0,", "#EXT-X-BYTERANGE:150", "part1.ts", "#EXT-X-DISCONTINUITY",
        "#EXT-X-MAP:URI=\"init_2.mp4\"", "#EXTINF:2.0,", "#EXT-X-BYTERANGE:120@0", "part2.ts",
        "#EXTINF:2.0,", "#EXT-X-BYTERANGE:130", "part2.ts", "#EXTINF:2.0,", "#EXT-X-BYTERANGE:140",
        "part2.ts", "#EXT-X-ENDLIST" });

    // Inside the second part's second segment: its offset follows the segment before.
    const auto cut = cutHlsMediaPlaylist(text, base, 7.5);
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->start, 6);
    EXPECT_EQ(cut->text,
        lines({ "#EXTM3U", "#EXT-X-VERSION:4", "#EXT-X-TARGETDURATION:2",
            "#EXT-X-MEDIA-SEQUENCE:13", "#EXT-X-DISCONTINUITY-SEQUENCE:1",
            "#EXT-X-KEY:METHOD=AES-128,URI=\"https://media.example/show/key.bin\"",
            "#EXT-X-MAP:URI=\"https://media.example/show/480p/init_2.mp4\"", "#EXTINF:2.0,",
            "#EXT-X-BYTERANGE:130@120", "https://media.example/show/480p/part2.ts", "#EXTINF:2.0,",
            "#EXT-X-BYTERANGE:140", "https://media.example/show/480p/part2.ts",
            "#EXT-X-ENDLIST" }));
    EXPECT_EQ(QByteArray::fromBase64(cut->address().section(u',', 1).toLatin1()), cut->text);
    EXPECT_TRUE(cut->address().startsWith(u"lavf://data:"));

    // Past the end: the last segment; at 0: all of it.
    EXPECT_EQ(cutHlsMediaPlaylist(text, base, 99)->start, 8);
    EXPECT_EQ(cutHlsMediaPlaylist(text, base, 0)->text.count("#EXTINF"), 5);
}

TEST(HlsPlaylistCutTest, LeavesOutWhatIsNotOnTheWebAndRefusesWhatCannotBeCut)
{
    const QByteArray segments = lines({ "#EXTM3U", "#EXT-X-MEDIA-SEQUENCE:0", "#EXTINF:2,", "a.ts",
        "#EXTINF:2,", "file:///etc/passwd", "#EXTINF:2,", "data:video/mp2t;base64,AAAA",
        "#EXTINF:2,", "d.ts" });
    const auto cut = cutHlsMediaPlaylist(segments + "#EXT-X-ENDLIST\n", base, 0);
    ASSERT_TRUE(cut);
    EXPECT_FALSE(cut->text.contains("file:")) << cut->text.constData();
    EXPECT_FALSE(cut->text.contains("data:"));
    EXPECT_EQ(cut->text.count("#EXTINF"), 2);
    EXPECT_EQ(cutHlsMediaPlaylist(segments + "#EXT-X-ENDLIST\n", base, 3)->text.count("#EXTINF"), 1)
        << "segments off the web count no time";

    EXPECT_FALSE(cutHlsMediaPlaylist(segments, base, 0)) << "a live window has no cut";
    EXPECT_FALSE(cutHlsMediaPlaylist("not a playlist", base, 0));
    EXPECT_FALSE(
        cutHlsMediaPlaylist(lines({ "#EXTM3U", "#EXT-X-KEY:METHOD=AES-128,URI=\"file:///k\"",
                                "#EXTINF:2,", "a.ts", "#EXT-X-ENDLIST" }),
            base, 0))
        << "a key off the web";
}

} // namespace
