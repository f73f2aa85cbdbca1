#include "platform/HlsPlaylist.h"
#include "platform/HlsPlaylistCut.h"

#include <gtest/gtest.h>

using namespace orvella;
using namespace Qt::StringLiterals;

namespace {
const QUrl base(QStringLiteral("http://127.0.0.1:9/media/live/master.m3u8"));

TEST(HlsPlaylistTest, ReadsVariantsAndSubtitleRenditions)
{
    const QByteArray text = "#EXTM3U\n"
                            "#EXT-X-MEDIA:TYPE=SUBTITLES,GROUP-ID=\"subs\",NAME=\"English, UK\","
                            "LANGUAGE=\"en-GB\",DEFAULT=YES,URI=\"subs/en.m3u8\"\n"
                            "#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"a\",NAME=\"Main\",URI=\"a.m3u8\"\n"
                            "#EXT-X-STREAM-INF:BANDWIDTH=400000,RESOLUTION=426x240,"
                            "CODECS=\"avc1.42c01f,mp4a.40.2\",AUDIO=\"a\"\n"
                            "240p/index.m3u8\n"
                            "#EXT-X-STREAM-INF:BANDWIDTH=2500000,RESOLUTION=1280x720\n"
                            "http://cdn.example/720p.m3u8\n";
    const auto master = parseHlsMaster(text, base);
    ASSERT_TRUE(master);
    ASSERT_EQ(master->variants.size(), 2);
    EXPECT_EQ(master->variants[0].bandwidth, 400000);
    EXPECT_EQ(master->variants[0].resolution, QSize(426, 240));
    EXPECT_EQ(master->variants[0].uri.toString(),
        QStringLiteral("http://127.0.0.1:9/media/live/240p/index.m3u8"));
    EXPECT_EQ(master->variants[1].uri.host(), QStringLiteral("cdn.example"));
    ASSERT_EQ(master->subtitles.size(), 1) << "audio renditions are not captions";
    EXPECT_EQ(master->subtitles[0].name, QStringLiteral("English, UK")) << "commas inside quotes";
    EXPECT_EQ(master->subtitles[0].language, QStringLiteral("en-GB"));
    EXPECT_TRUE(master->subtitles[0].isDefault);
    ASSERT_EQ(master->audio.size(), 1);
    EXPECT_EQ(audioRenditionFor(*master, master->variants[0]),
        QUrl(QStringLiteral("http://127.0.0.1:9/media/live/a.m3u8")));
    EXPECT_EQ(audioRenditionFor(*master, master->variants[1]), std::nullopt)
        << "audio inside the variant";

    const auto odd = parseHlsMaster("#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=nan\na.m3u8\n"
                                    "#EXT-X-STREAM-INF:BANDWIDTH=-5\nb.m3u8\n"
                                    "#EXT-X-STREAM-INF:BANDWIDTH=inf\nc.m3u8\n",
        base);
    ASSERT_TRUE(odd);
    for (const HlsVariant &variant : odd->variants)
        EXPECT_EQ(variant.bandwidth, 0) << "a bandwidth that orders nothing counts as none";
}

TEST(HlsPlaylistTest, AMediaPlaylistIsNoMaster)
{
    const QByteArray media = "#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXT-X-MEDIA-SEQUENCE:41\n"
                             "#EXTINF:2.000000,\nseg_041.ts\n#EXTINF:1.5,\nseg_042.ts\n";
    EXPECT_FALSE(parseHlsMaster(media, base));
    EXPECT_FALSE(parseHlsMaster("<html>not found</html>", base));
    const auto playlist = parseHlsMedia(media, base);
    ASSERT_TRUE(playlist);
    EXPECT_FALSE(playlist->ended);
    EXPECT_EQ(playlist->targetDuration, 2);
    ASSERT_EQ(playlist->segments.size(), 2);
    EXPECT_EQ(playlist->segments[1].sequence, 42);
    EXPECT_EQ(playlist->segments[1].duration, 1.5);
    EXPECT_TRUE(parseHlsMedia(media + "#EXT-X-ENDLIST\n", base)->ended);
}

TEST(HlsPlaylistTest, SegmentsKeepTheirByteRangesAndTheMapInForce)
{
    const QByteArray media
        = "#EXTM3U\n#EXT-X-VERSION:7\n"
          "#EXTINF:2,\nplain.ts\n"
          "#EXT-X-MAP:URI=\"init_1.mp4\"\n"
          "#EXTINF:2,\np1_000.m4s\n"
          "#EXT-X-BYTERANGE:1000@500\n#EXTINF:2,\nparts.m4s\n"
          "#EXT-X-BYTERANGE:700\n#EXTINF:2,\nparts.m4s\n"
          "#EXT-X-DISCONTINUITY\n"
          "#EXT-X-MAP:URI=\"https://cdn.example/init_2.mp4\",BYTERANGE=\"720@64\"\n"
          "#EXTINF:2,\np2_000.m4s\n"
          "#EXT-X-MAP:URI=\"init_3.mp4\",BYTERANGE=\"900\"\n"
          "#EXT-X-BYTERANGE:300\n#EXTINF:2,\nfile:///tmp/p3_000.m4s\n"
          "#EXT-X-BYTERANGE:100\n#EXTINF:2,\np3_001.m4s\n"
          "#EXT-X-MAP:URI=\"file:///etc/passwd\"\n"
          "#EXTINF:2,\np4_000.m4s\n";
    const auto playlist = parseHlsMedia(media, base);
    ASSERT_TRUE(playlist);
    const auto &segments = playlist->segments;
    ASSERT_EQ(segments.size(), 7);
    using Range = std::optional<std::pair<qint64, qint64>>;
    const QUrl firstMap(u"http://127.0.0.1:9/media/live/init_1.mp4"_s);
    EXPECT_FALSE(segments[0].fragmented);
    EXPECT_TRUE(segments[0].mapUri.isEmpty());
    EXPECT_EQ(segments[0].byteRange, Range());
    EXPECT_EQ(segments[1].mapUri, firstMap);
    EXPECT_EQ(segments[1].mapRange, Range());
    EXPECT_EQ(segments[1].byteRange, Range());
    EXPECT_EQ(segments[2].byteRange, Range(std::pair(500, 1000)));
    EXPECT_EQ(segments[3].byteRange, Range(std::pair(1500, 700))) << "on from the last range";
    EXPECT_EQ(segments[3].mapUri, firstMap);
    EXPECT_EQ(segments[4].mapUri, QUrl(u"https://cdn.example/init_2.mp4"_s));
    EXPECT_EQ(segments[4].mapRange, Range(std::pair(64, 720)));
    EXPECT_EQ(segments[4].byteRange, Range()) << "a range is the next segment's alone";
    EXPECT_EQ(segments[5].mapRange, Range(std::pair(0, 900))) << "a map's range starts the file";
    EXPECT_EQ(segments[5].byteRange, Range(std::pair(2500, 100)))
        << "the segment off the web still counts its bytes";
    EXPECT_TRUE(segments[6].fragmented);
    EXPECT_TRUE(segments[6].mapUri.isEmpty()) << "a map off the web is never read";
    EXPECT_EQ(segments[6].mapRange, Range());
}

TEST(HlsPlaylistTest, CapsChooseTheHighestVariantWithinBoth)
{
    const QUrl web("http://a/v.m3u8");
    const QList<HlsVariant> variants { { 400000, { 426, 240 }, web, {} },
        { 1200000, { 854, 480 }, web, {} }, { 2500000, { 1280, 720 }, web, {} } };
    const auto chosen = [&](double bitrate, QSize size) {
        return variantPreference(variants, bitrate, size).value(0, -1);
    };
    EXPECT_EQ(chosen(0, {}), 2) << "no cap";
    EXPECT_EQ(chosen(1'000'000, { 640, 360 }), 0);
    EXPECT_EQ(chosen(2'000'000, { 854, 480 }), 1);
    EXPECT_EQ(chosen(51'000'000, { 3840, 2160 }), 2);
    EXPECT_EQ(chosen(5'000'000, { 854, 480 }), 1) << "the size cap binds";
    EXPECT_EQ(chosen(300'000, { 426, 240 }), 0) << "nothing fits: the lowest";
    EXPECT_TRUE(variantPreference({}, 300'000, {}).isEmpty());
}

TEST(HlsPlaylistTest, VariantsArePreferredWithinTheCapsFromTheHighestDown)
{
    const auto variant = [](double bandwidth, int height, const char *uri) {
        return HlsVariant { bandwidth, { height * 16 / 9, height }, QUrl(QString::fromLatin1(uri)),
            {} };
    };
    const QList<HlsVariant> variants { variant(1200000, 480, "http://a/480"),
        variant(400000, 240, "http://a/240"), variant(2500000, 720, "http://a/720"),
        variant(5000000, 1080, "file:///etc/1080"), variant(400000, 240, "http://a/240b") };
    EXPECT_EQ(variantPreference(variants, 0, {}), (QList<int> { 2, 0, 1, 4 }))
        << "without caps the highest first; only web addresses";
    EXPECT_EQ(variantPreference(variants, 2'000'000, { 854, 480 }), (QList<int> { 0, 1, 4, 2 }));
    EXPECT_EQ(variantPreference(variants, 300'000, {}), (QList<int> { 1, 4, 0, 2 }))
        << "nothing fits: the lowest first";
    EXPECT_EQ(variantPreference(variants, 51'000'000, { 3840, 2160 }).first(), 2)
        << "a variant off the web is never chosen";
}

TEST(HlsPlaylistTest, AudioRenditionsFollowTheVariantsGroupAndItsDefault)
{
    const auto master = parseHlsMaster(
        "#EXTM3U\n"
        "#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"lo\",NAME=\"Low\",URI=\"lo.m3u8\"\n"
        "#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"hi\",NAME=\"Other\",URI=\"hi-other.m3u8\"\n"
        "#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"hi\",NAME=\"Main\",DEFAULT=YES,URI=\"hi.m3u8\"\n"
        "#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"in\",NAME=\"Muxed\"\n"
        "#EXT-X-STREAM-INF:BANDWIDTH=1,AUDIO=\"lo\"\nv1.m3u8\n"
        "#EXT-X-STREAM-INF:BANDWIDTH=2,AUDIO=\"hi\"\nv2.m3u8\n"
        "#EXT-X-STREAM-INF:BANDWIDTH=3,AUDIO=\"in\"\nv3.m3u8\n",
        base);
    ASSERT_TRUE(master);
    ASSERT_EQ(master->variants.size(), 3);
    EXPECT_EQ(audioRenditionFor(*master, master->variants[0])->fileName(), u"lo.m3u8"_s);
    EXPECT_EQ(audioRenditionFor(*master, master->variants[1])->fileName(), u"hi.m3u8"_s);
    EXPECT_EQ(audioRenditionFor(*master, master->variants[2]), std::nullopt)
        << "a rendition without an address is the variant's own audio";
}

TEST(HlsPlaylistTest, OnlyWebAddressesAreKept)
{
    const QByteArray master
        = "#EXTM3U\n"
          "#EXT-X-MEDIA:TYPE=SUBTITLES,GROUP-ID=\"s\",NAME=\"file\",URI=\"file:///etc/passwd\"\n"
          "#EXT-X-MEDIA:TYPE=SUBTITLES,GROUP-ID=\"s\",NAME=\"data\",URI=\"data:text/vtt,WEBVTT\"\n"
          "#EXT-X-MEDIA:TYPE=SUBTITLES,GROUP-ID=\"s\",NAME=\"qrc\",URI=\"qrc:/x.vtt\"\n"
          "#EXT-X-MEDIA:TYPE=SUBTITLES,GROUP-ID=\"s\",NAME=\"web\",URI=\"https://cdn.example/s\"\n"
          "#EXT-X-STREAM-INF:BANDWIDTH=1\nv.m3u8\n";
    const auto parsed = parseHlsMaster(master, base);
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed->subtitles.size(), 1);
    EXPECT_EQ(parsed->subtitles[0].name, QStringLiteral("web"));

    const QByteArray media = "#EXTM3U\n#EXT-X-MEDIA-SEQUENCE:7\n"
                             "#EXTINF:2,\nfile:///home/viewer/secret.vtt\n"
                             "#EXTINF:2,\nseg_008.vtt\n"
                             "#EXTINF:2,\nftp://cdn.example/seg_009.vtt\n"
                             "#EXTINF:2,\nhttps://cdn.example/seg_010.vtt\n";
    const auto playlist = parseHlsMedia(media, base);
    ASSERT_TRUE(playlist);
    ASSERT_EQ(playlist->segments.size(), 2);
    EXPECT_EQ(playlist->segments[0].sequence, 8) << "the sequence counts skipped lines";
    EXPECT_EQ(playlist->segments[1].uri.host(), QStringLiteral("cdn.example"));
    EXPECT_TRUE(
        parseHlsMedia(media, QUrl(QStringLiteral("file:///tmp/x.m3u8")))->segments.size() == 1)
        << "relative lines under a local base are local";
}

// Attribute lists read as FFmpeg's HLS reader reads them.

struct AttributeCase
{
    QByteArray list;
    QList<std::pair<QByteArray, QByteArray>> expected; // names and values, in order
    const char *why;
};

TEST(HlsAttributesTest, ReadsNamesAndValuesAsFfmpegDoes)
{
    const QList<AttributeCase> cases {
        { R"(A="x\"y",URI="file:///k")", { { "A", "x\"y" }, { "URI", "file:///k" } },
            "a backslash takes the quote after it" },
        { R"(A="x\\",URI="file:///k")", { { "A", "x\\" }, { "URI", "file:///k" } },
            "an escaped backslash takes nothing more" },
        { R"(A="x\",URI=\"file:///k\"")", { { "A", R"(x",URI="file:///k")" } },
            "a URI hidden inside a quoted value is none" },
        { R"(METHOD=AES-128,URI="k.bin",IV=0x1)",
            { { "METHOD", "AES-128" }, { "URI", "k.bin" }, { "IV", "0x1" } }, "URI not first" },
        { "URI=file:///etc/key", { { "URI", "file:///etc/key" } }, "unquoted" },
        { R"(URI="a",URI="b")", { { "URI", "a" }, { "URI", "b" } }, "several URI attributes" },
        { R"(uri="file:///x",KEYFORMATURI=y)", { { "uri", "file:///x" }, { "KEYFORMATURI", "y" } },
            "names are kept as written" },
        { "METHOD=AES-128 \tURI=file:///k", { { "METHOD", "AES-128" }, { "URI", "file:///k" } },
            "whitespace parts attributes" },
        { R"(A="x"URI=file:///k)", { { "A", "x" }, { "URI", "file:///k" } },
            "a closing quote parts attributes" },
        { R"( A B,URI="file:///k")", { { "A B,URI", "file:///k" } },
            "a name runs to the next equals sign" },
        { R"(A="x, y", B="unclosed)", { { "A", "x, y" }, { "B", "unclosed" } },
            "a quote left open runs to the end" },
        { "A=\"x\\", { { "A", "x" } }, "a backslash at the end takes nothing" },
        { QByteArray("A=1\0URI=file:///k", 18), { { "A", "1" } }, "a zero byte ends the list" },
        { "A=1\rURI=file:///k", { { "A", "1" }, { "URI", "file:///k" } },
            "a carriage return is whitespace to the list" },
        { ",, =x,", { { "", "x" } }, "an empty name" },
        { "no attributes, ", {}, "no equals sign" },
    };
    for (const AttributeCase &c : cases) {
        QList<std::pair<QByteArray, QByteArray>> read;
        for (const HlsAttribute &attribute : readHlsAttributes(c.list))
            read.append({ attribute.name, attribute.value });
        EXPECT_EQ(read, c.expected) << c.why << ": " << c.list.constData();
    }

    // Each value's place as written, quotes and backslashes included, so a cut can replace it.
    const QByteArray list = R"(A="x\"y",URI=k.bin,B="open\)";
    const auto attributes = readHlsAttributes(list);
    ASSERT_EQ(attributes.size(), 3);
    const auto written = [&](const HlsAttribute &attribute) {
        return list.sliced(attribute.valueBegin, attribute.valueEnd - attribute.valueBegin);
    };
    EXPECT_EQ(written(attributes[0]), R"("x\"y")");
    EXPECT_EQ(written(attributes[1]), "k.bin");
    EXPECT_EQ(written(attributes[2]), R"("open)") << "the backslash at the end stays outside";
}

TEST(HlsAttributesTest, TheParserReadsRenditionsAsFfmpegDoes)
{
    const QByteArray master
        = "#EXTM3U\n"
          R"(#EXT-X-MEDIA:TYPE=SUBTITLES,GROUP-ID="s",NAME="a\"b",URI="file:///etc/passwd")"
          "\n"
          R"(#EXT-X-MEDIA:TYPE=SUBTITLES,GROUP-ID="s",NAME="c\",URI=\"file:///x\"",URI="c.m3u8")"
          "\n"
          R"(#EXT-X-MEDIA:TYPE=SUBTITLES,GROUP-ID="s",NAME="d"URI="d.m3u8")"
          "\n"
          R"(#EXT-X-MEDIA:TYPE=SUBTITLES GROUP-ID="s" NAME=e URI="e.m3u8" uri="file:///e")"
          "\n"
          "#EXT-X-STREAM-INF:BANDWIDTH=1\nv.m3u8\n";
    const auto parsed = parseHlsMaster(master, base);
    ASSERT_TRUE(parsed);
    QList<std::pair<QString, QString>> subtitles;
    for (const HlsRendition &rendition : parsed->subtitles)
        subtitles.append({ rendition.name, rendition.uri.fileName() });
    EXPECT_EQ(subtitles,
        (QList<std::pair<QString, QString>> { { uR"(c",URI="file:///x")"_s, u"c.m3u8"_s },
            { u"d"_s, u"d.m3u8"_s }, { u"e"_s, u"e.m3u8"_s } }))
        << "the file address is left out; escaped quotes, a quote and whitespace part as in "
           "FFmpeg; only URI in capitals is the address";
}

// A playlist cut from one segment on.

const QUrl cutBase(QStringLiteral("https://media.example/show/480p/index.m3u8"));

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
    const auto cut = cutHlsMediaPlaylist(text, cutBase, 7.5);
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

    // Past the end: the last segment; at 0: all of it.
    EXPECT_EQ(cutHlsMediaPlaylist(text, cutBase, 99)->start, 8);
    EXPECT_EQ(cutHlsMediaPlaylist(text, cutBase, 0)->text.count("#EXTINF"), 5);
    EXPECT_EQ(cutHlsMediaPlaylist(text, cutBase, 0)->end, 10);

    // Up to the join: the first part alone, none of the second's tags, ended.
    const auto firstPart = cutHlsMediaPlaylist(text, cutBase, 0, 4);
    ASSERT_TRUE(firstPart);
    EXPECT_EQ(firstPart->end, 4);
    EXPECT_EQ(firstPart->text,
        lines(
            { "#EXTM3U", "#EXT-X-VERSION:4", "#EXT-X-TARGETDURATION:2", "#EXT-X-MEDIA-SEQUENCE:10",
                "#EXT-X-KEY:METHOD=AES-128,URI=\"https://media.example/show/key.bin\"",
                "#EXT-X-MAP:URI=\"https://media.example/show/480p/init_1.mp4\"", "#EXTINF:2.0,",
                "#EXT-X-BYTERANGE:100@0", "https://media.example/show/480p/part1.ts",
                "#EXTINF:2.0,", "#EXT-X-BYTERANGE:150", "https://media.example/show/480p/part1.ts",
                "#EXT-X-ENDLIST" }));
    // An end inside the first segment kept keeps it alone; one past the last keeps all.
    EXPECT_EQ(cutHlsMediaPlaylist(text, cutBase, 2.5, 3)->text.count("#EXTINF"), 1);
    EXPECT_EQ(cutHlsMediaPlaylist(text, cutBase, 2.5, 1)->text.count("#EXTINF"), 1);
    EXPECT_EQ(cutHlsMediaPlaylist(text, cutBase, 4, 99)->end, 10);
}

TEST(HlsPlaylistCutTest, LeavesOutWhatIsNotOnTheWebAndRefusesWhatCannotBeCut)
{
    const QByteArray segments = lines({ "#EXTM3U", "#EXT-X-MEDIA-SEQUENCE:0", "#EXTINF:2,", "a.ts",
        "#EXTINF:2,", "file:///etc/passwd", "#EXTINF:2,", "data:video/mp2t;base64,AAAA",
        "#EXTINF:2,", "d.ts" });
    const auto cut = cutHlsMediaPlaylist(segments + "#EXT-X-ENDLIST\n", cutBase, 0);
    ASSERT_TRUE(cut);
    EXPECT_FALSE(cut->text.contains("file:")) << cut->text.constData();
    EXPECT_FALSE(cut->text.contains("data:"));
    EXPECT_EQ(cut->text.count("#EXTINF"), 2);
    EXPECT_EQ(
        cutHlsMediaPlaylist(segments + "#EXT-X-ENDLIST\n", cutBase, 3)->text.count("#EXTINF"), 1)
        << "segments off the web count no time";

    EXPECT_FALSE(cutHlsMediaPlaylist(segments, cutBase, 0)) << "a live window has no cut";
    EXPECT_FALSE(cutHlsMediaPlaylist("not a playlist", cutBase, 0));
    EXPECT_FALSE(
        cutHlsMediaPlaylist(lines({ "#EXTM3U", "#EXT-X-KEY:METHOD=AES-128,URI=\"file:///k\"",
                                "#EXTINF:2,", "a.ts", "#EXT-X-ENDLIST" }),
            cutBase, 0))
        << "a key off the web";
}

TEST(HlsPlaylistCutTest, AMapIsWrittenUnderTheKeyThatWasInForceAtIt)
{
    // FFmpeg's reader decrypts a map with the key in force at its tag: a map in the clear before
    // the first key stays before it; a key that changes after a map stays after it.
    const QByteArray clearMap = lines({ "#EXTM3U", "#EXT-X-MAP:URI=\"init.mp4\"",
        "#EXT-X-KEY:METHOD=AES-128,URI=\"k1\"", "#EXTINF:2,", "a.m4s", "#EXTINF:2,", "b.m4s",
        "#EXT-X-ENDLIST" });
    const auto clear = cutHlsMediaPlaylist(clearMap, cutBase, 3);
    ASSERT_TRUE(clear);
    EXPECT_LT(clear->text.indexOf("#EXT-X-MAP:"), clear->text.indexOf("#EXT-X-KEY:"));

    const QByteArray rotated = lines({ "#EXTM3U", "#EXT-X-KEY:METHOD=AES-128,URI=\"k1\"",
        "#EXT-X-MAP:URI=\"init.mp4\"", "#EXTINF:2,", "a.m4s",
        "#EXT-X-KEY:METHOD=AES-128,URI=\"k2\"", "#EXTINF:2,", "b.m4s", "#EXT-X-ENDLIST" });
    const auto cut = cutHlsMediaPlaylist(rotated, cutBase, 3);
    ASSERT_TRUE(cut);
    const qsizetype first = cut->text.indexOf("URI=\"https://media.example/show/480p/k1\"");
    const qsizetype map = cut->text.indexOf("#EXT-X-MAP:");
    const qsizetype second = cut->text.indexOf("URI=\"https://media.example/show/480p/k2\"");
    EXPECT_TRUE(first >= 0 && first < map && map < second) << cut->text.constData();
}

TEST(HlsPlaylistCutTest, EveryAddressATagNamesMustBeOnTheWeb)
{
    const auto cutWith = [](const char *tag) {
        return cutHlsMediaPlaylist(
            lines({ "#EXTM3U", "#EXTINF:2,", "a.ts", tag, "#EXTINF:2,", "b.ts", "#EXT-X-ENDLIST" }),
            cutBase, 3);
    };
    // As FFmpeg's reader splits a tag's attributes: unquoted, a second one, after whitespace.
    for (const char *tag : { "#EXT-X-KEY:METHOD=AES-128,URI=file:///etc/key",
             "#EXT-X-MAP:URI=\"init.mp4\",URI=\"file:///etc/passwd\"",
             "#EXT-X-MAP:URI=\"data:video/mp4;base64,AAAA\"",
             "#EXT-X-KEY:METHOD=AES-128 URI=file:///k",
             "#EXT-X-MEDIA:TYPE=AUDIO,GROUP-ID=\"a\",URI=\"file:///a.m3u8\"",
             "#EXT-X-KEY:METHOD=NONE\r#EXT-X-MAP:URI=\"file:///m\"" })
        EXPECT_FALSE(cutWith(tag)) << tag;

    // Web addresses, quoted or not, are made absolute and written quoted; a name that only ends
    // in URI is no URI.
    const auto cut = cutWith("#EXT-X-KEY:METHOD=AES-128,URI=key.bin,KEYFORMATURI=file:x");
    ASSERT_TRUE(cut);
    EXPECT_TRUE(cut->text.contains("#EXT-X-KEY:METHOD=AES-128,"
                                   "URI=\"https://media.example/show/480p/key.bin\","
                                   "KEYFORMATURI=file:x\n"))
        << cut->text.constData();
}

TEST(HlsPlaylistCutTest, ChecksTheAddressesFfmpegReadsPastEscapedQuotes)
{
    const auto cutWith = [](const QByteArray &tag) {
        return cutHlsMediaPlaylist(
            "#EXTM3U\n#EXTINF:2,\na.ts\n" + tag + "\n#EXTINF:2,\nb.ts\n#EXT-X-ENDLIST\n", cutBase,
            3);
    };
    // A quoted value that ends only where FFmpeg ends it: every URI after it is checked.
    for (const char *tag : { R"(#EXT-X-KEY:METHOD=AES-128,A="x\"y",URI="file:///etc/key")",
             R"(#EXT-X-MAP:A="x\"y",URI="file:///etc/passwd")",
             R"(#EXT-X-MAP:BYTERANGE="1\\",URI=file:///m)",
             R"(#EXT-X-KEY:METHOD=AES-128,IV="\"",URI=data:text/plain;base64,AAAA)",
             R"(#EXT-X-KEY:METHOD=AES-128,A="x"URI=file:///k)",
             R"(#EXT-X-MAP:A="\"",URI="init.mp4",B="\"",URI="file:///m")",
             R"(#EXT-X-MEDIA:TYPE=AUDIO,NAME="a\"b",URI="file:///a.m3u8")" })
        EXPECT_FALSE(cutWith(tag)) << tag;

    // What FFmpeg reads as no URI stays as it is; each URI it reads is made absolute in its place.
    const QList<std::pair<QByteArray, QByteArray>> kept {
        { R"(#EXT-X-KEY:METHOD=NONE,A="x\",URI=\"file:///k\"")",
            R"(#EXT-X-KEY:METHOD=NONE,A="x\",URI=\"file:///k\"")" },
        { R"(#EXT-X-MAP:uri="file:///m",URI=init.mp4)",
            R"(#EXT-X-MAP:uri="file:///m",URI="https://media.example/show/480p/init.mp4")" },
        { R"(#EXT-X-MAP:A="x\"y",URI="init.mp4",B="z\\")",
            R"(#EXT-X-MAP:A="x\"y",URI="https://media.example/show/480p/init.mp4",B="z\\")" },
        { R"(#EXT-X-KEY:METHOD=AES-128,URI="k\"e\\y.bin")",
            R"(#EXT-X-KEY:METHOD=AES-128,URI="https://media.example/show/480p/k%22e%5Cy.bin")" },
    };
    for (const auto &[tag, written] : kept) {
        const auto cut = cutWith(tag);
        ASSERT_TRUE(cut) << tag.constData();
        EXPECT_TRUE(cut->text.contains('\n' + written + '\n')) << cut->text.constData();
        // Read again as FFmpeg reads it, every tag of the cut names only web addresses.
        for (const QByteArray &line : cut->text.split('\n')) {
            const qsizetype colon = line.indexOf(':');
            for (const HlsAttribute &attribute : readHlsAttributes(line.sliced(colon + 1)))
                EXPECT_TRUE(
                    attribute.name != "URI" || isWebUrl(QUrl(QString::fromUtf8(attribute.value))))
                    << line.constData();
        }
    }
}

TEST(HlsPlaylistCutTest, CountsSegmentsFromTheSameBoundedSequenceAsThePlayer)
{
    const QByteArray text = lines({ "#EXTM3U", "#EXT-X-MEDIA-SEQUENCE:9223372036854775807",
        "#EXT-X-DISCONTINUITY-SEQUENCE:9223372036854775807", "#EXTINF:2,", "a.ts",
        "#EXT-X-DISCONTINUITY", "#EXTINF:2,", "b.ts", "#EXT-X-ENDLIST" });
    const auto parsed = parseHlsMedia(text, cutBase);
    ASSERT_TRUE(parsed && parsed->segments.size() == 2);
    const auto cut = cutHlsMediaPlaylist(text, cutBase, 3);
    ASSERT_TRUE(cut);
    // The key's IV without an IV attribute: the same number the player counts, never negative.
    EXPECT_TRUE(cut->text.contains(
        "#EXT-X-MEDIA-SEQUENCE:" + QByteArray::number(parsed->segments[1].sequence) + '\n'))
        << cut->text.constData();
    EXPECT_GT(parsed->segments[1].sequence, 0);
    EXPECT_LE(parsed->segments[1].sequence, (qint64(1) << 52) + 1);
    EXPECT_TRUE(cut->text.contains(
        "#EXT-X-DISCONTINUITY-SEQUENCE:" + QByteArray::number(qint64(1) << 52) + '\n'));
}

} // namespace
