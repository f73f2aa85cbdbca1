// Captions of an episode joined from three parts whose time stamps all start again, on libmpv:
// the restart fixture's first part (8 s), its second (16 s) and its first once more (8 s), each
// part with a caption file per segment mapped to the same times, "Part N, second S". Only the
// cue of the part that plays shows: at the start, after a seek into each part, and across the
// joins, on a whole load and on one from a segment of the second part on.
#include "PlaybackFixture.h"
#include "support/TestAsync.h"

#include <gtest/gtest.h>

using namespace orvella;
using namespace orvella::test;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

struct ThreeRestartingParts : PlaybackFixture
{
    std::unique_ptr<MpvMediaPlayer> live;

    void SetUp() override
    {
        PlaybackFixture::SetUp();
        live = livePlayerFirst(service);
        serveEpisode();
    }

    void serveEpisode()
    {
        const QByteArray head
            = "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:2\n#EXT-X-PLAYLIST-TYPE:VOD\n";
        QByteArray video = head;
        QByteArray captions = head;
        // The fixture's segments of each part; the third part's are addresses of their own.
        const struct
        {
            int first;
            int count;
            const char *query;
        } parts[] = { { 0, 4, "" }, { 4, 8, "" }, { 0, 4, "?third" } };
        int file = 0;
        for (int part = 0; part < 3; ++part) {
            if (part > 0) {
                video += "#EXT-X-DISCONTINUITY\n";
                captions += "#EXT-X-DISCONTINUITY\n";
            }
            for (int i = 0; i < parts[part].count; ++i) {
                video += "#EXTINF:2.000000,\nseg_"
                    + QByteArray::number(parts[part].first + i).rightJustified(3, '0') + ".ts"
                    + parts[part].query + '\n';
                const QString name = u"three_%1.vtt"_s.arg(file++);
                captions += "#EXTINF:2.000000,\n" + name.toUtf8() + '\n';
                // A cue from its segment's start to 1.8 s into it: a part's first shows with its
                // first picture.
                const auto second = [i](int more) {
                    return QString::number(i * 2 + more).rightJustified(2, u'0');
                };
                service.on("GET", u"/media/restart/subs/"_s + name,
                    ScriptedAnswer::raw(u"WEBVTT\nX-TIMESTAMP-MAP=MPEGTS:126000,LOCAL:00:00:00.000"
                                        "\n\n00:00:%1.000 --> 00:00:%2.800\nPart %3, second %4\n"_s
                                            .arg(second(0), second(1))
                                            .arg(part + 1)
                                            .arg(i * 2)
                                            .toUtf8(),
                        "text/vtt"));
            }
        }
        video += "#EXT-X-ENDLIST\n";
        captions += "#EXT-X-ENDLIST\n";
        const QByteArray master = "#EXTM3U\n#EXT-X-VERSION:3\n"
                                  "#EXT-X-MEDIA:TYPE=SUBTITLES,GROUP-ID=\"subs\",NAME=\"English\","
                                  "LANGUAGE=\"en\",AUTOSELECT=YES,URI=\"subs/three.m3u8\"\n"
                                  "#EXT-X-STREAM-INF:BANDWIDTH=400000,RESOLUTION=426x240,"
                                  "CODECS=\"avc1.42c01f,mp4a.40.2\",SUBTITLES=\"subs\"\n"
                                  "240p/three.m3u8\n";
        const QByteArray playlistType = "application/vnd.apple.mpegurl";
        service.on(
            "GET", u"/media/restart/three.m3u8"_s, ScriptedAnswer::raw(master, playlistType));
        service.on(
            "GET", u"/media/restart/240p/three.m3u8"_s, ScriptedAnswer::raw(video, playlistType));
        service.on("GET", u"/media/restart/subs/three.m3u8"_s,
            ScriptedAnswer::raw(captions, playlistType));
    }

    // Once the captions of the file mpv holds are there.
    void waitForCaptions() const
    {
        ASSERT_TRUE(waitUntil(
            [&] { return mpv->captions() && mpv->captions()->publishedCues() > 0; }, 10s));
    }

    // Plays until the position passes `until` and returns each caption shown on the way, once.
    QStringList playUntil(double until)
    {
        mpv->play();
        QStringList shown;
        EXPECT_TRUE(waitUntil(
            [&] {
                const QString text = mpv->subtitleText();
                if (!text.isEmpty() && (shown.isEmpty() || shown.last() != text))
                    shown.append(text);
                return position() > until;
            },
            15s))
            << position();
        mpv->pause();
        return shown;
    }
};

TEST_F(ThreeRestartingParts, OneCueOfThePartPlayingShowsAtTheStartAfterSeeksAndAcrossTheJoins)
{
    controller->load(service.mediaUrl(u"restart/three.m3u8"_s), false, std::nullopt, false);
    ASSERT_TRUE(waitUntil([&] { return controller->isReady(); }, 10s));
    EXPECT_DOUBLE_EQ(mpv->duration(), 32);
    mpv->selectLegibleOption(0);
    waitForCaptions();
    EXPECT_EQ(playUntil(3.9), QStringList({ u"Part 1, second 0"_s, u"Part 1, second 2"_s }));

    // Into each part, and back into the first (each part's time stamps are the others').
    for (const auto &[target, cue] :
        { std::pair { 12.5, u"Part 2, second 4"_s }, std::pair { 27.0, u"Part 3, second 2"_s },
            std::pair { 5.0, u"Part 1, second 4"_s }, std::pair { 17.0, u"Part 2, second 8"_s } }) {
        seek(target);
        waitForCaptions();
        const QStringList shown = playUntil(target + 0.6);
        EXPECT_EQ(shown, QStringList({ cue })) << "after a seek to " << target;
    }

    // Across the first join on the whole playlist: the second part's first cue shows as the
    // picture crosses, and nothing of the first part's comes back.
    seek(6.5);
    waitForCaptions();
    EXPECT_EQ(playUntil(9.8), QStringList({ u"Part 1, second 6"_s, u"Part 2, second 0"_s }));

    // Across the second on a load from the second part's last segment on, where the third part
    // lies before the load's first time stamp.
    seek(22.5);
    waitForCaptions();
    EXPECT_EQ(playUntil(25.8), QStringList({ u"Part 2, second 14"_s, u"Part 3, second 0"_s }));
    EXPECT_EQ(controller->failedGeneration(), 0);
}

} // namespace
