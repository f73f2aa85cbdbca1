// What a stream's server can make the player read: masters that name masters, masters of
// thousands of variants, loads that never show a picture, and caption renditions of every size.
// Real playback on libmpv against the service double.
#include "PlaybackFixture.h"
#include "support/TestAsync.h"

#include <QStringList>
#include <QTime>
#include <gtest/gtest.h>

using namespace orvella;
using namespace orvella::test;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

// Warnings of the player's category, collected while a test runs.
QStringList *playerWarnings = nullptr;
QtMessageHandler previousHandler = nullptr;
void collectPlayerWarnings(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    // The player's own, not libmpv's (which reach the same category).
    if (playerWarnings && type == QtWarningMsg && qstrcmp(context.category, "orvella.player") == 0
        && !text.startsWith(u"mpv "))
        playerWarnings->append(text);
    previousHandler(type, context, text);
}

struct PlaylistBounds : PlaybackFixture
{
    QStringList warnings;

    void SetUp() override
    {
        PlaybackFixture::SetUp();
        playerWarnings = &warnings;
        previousHandler = qInstallMessageHandler(collectPlayerWarnings);
    }
    void TearDown() override
    {
        qInstallMessageHandler(previousHandler);
        playerWarnings = nullptr;
    }

    void serve(const QString &path, const QString &text)
    {
        service.on(
            "GET", path, ScriptedAnswer::raw(text.toUtf8(), "application/vnd.apple.mpegurl"));
    }
    void load(const QString &media, bool autoplay = true)
    {
        PlaybackFixture::load(media, autoplay, false);
    }
    [[nodiscard]] QStringList playlistRequests() const
    {
        QStringList paths;
        for (const RecordedRequest &request : service.requests()) {
            if (request.path.endsWith(u".m3u8"_s))
                paths.append(request.path + u'?' + request.query.toString());
        }
        return paths;
    }
    // Plays on: the position moves by more than a second.
    [[nodiscard]] bool playsOn() const
    {
        const double from = position();
        return waitUntil([&] { return position() > from + 1.0; }, 10s);
    }
    // Fails as a failed item does, and nothing more is asked of the server afterwards.
    void expectRefusedWithin(qsizetype requests)
    {
        ASSERT_TRUE(waitUntil([&] { return controller->failedGeneration() >= 1; }, 5s));
        EXPECT_EQ(controller->statusText(), u"Connecting…"_s);
        EXPECT_FALSE(controller->isReady());
        spinFor(1500ms);
        EXPECT_LE(playlistRequests().size(), requests)
            << playlistRequests().join(u' ').toStdString();
        EXPECT_FALSE(mpv->mpvProperty("path").isValid()) << "nothing was given to mpv";
    }
};

QString masterOf(const QStringList &variants)
{
    QString text = u"#EXTM3U\n"_s;
    for (const QString &variant : variants)
        text += u"#EXT-X-STREAM-INF:BANDWIDTH=400000,RESOLUTION=426x240\n"_s + variant + u'\n';
    return text;
}

TEST_F(PlaylistBounds, AMasterNamingItselfFailsBeforeTheLoad)
{
    serve(u"/media/loop/self.m3u8"_s, masterOf({ u"self.m3u8"_s }));
    load(u"loop/self.m3u8"_s);
    expectRefusedWithin(2);
}

TEST_F(PlaylistBounds, TwoMastersNamingEachOtherFailBeforeTheLoad)
{
    serve(u"/media/loop/a.m3u8"_s, masterOf({ u"b.m3u8"_s }));
    serve(u"/media/loop/b.m3u8"_s, masterOf({ u"a.m3u8"_s }));
    load(u"loop/a.m3u8"_s);
    expectRefusedWithin(2);
    EXPECT_EQ(warnings.size(), 1) << warnings.join(u'\n').toStdString();
}

TEST_F(PlaylistBounds, AMasterOfTwoThousandVariantsCostsAFewPlaylistRequests)
{
    QStringList variants;
    for (int i = 0; i < 2000; ++i)
        variants.append(u"../single/index.m3u8?variant=%1"_s.arg(i));
    serve(u"/media/many/master.m3u8"_s, masterOf(variants));
    load(u"many/master.m3u8"_s);
    ASSERT_TRUE(waitUntil([&] { return controller->isReady(); }, 10s));
    EXPECT_TRUE(playsOn());
    // The master, and the chosen variant read by the player and twice by mpv (its probe and
    // its HLS reader).
    EXPECT_LE(playlistRequests().size(), 4) << playlistRequests().join(u' ').toStdString();
}

TEST_F(PlaylistBounds, ASeparateAudioRenditionPlaysBesideItsVariant)
{
    load(u"audio/master.m3u8"_s);
    ASSERT_TRUE(waitUntil([&] { return controller->isReady(); }, 10s));
    EXPECT_TRUE(playsOn());
    EXPECT_EQ(mpv->presentationSize(), QSize(854, 480)) << "the highest variant without a cap";
    const QVariantMap audio = mpv->mpvProperty("current-tracks/audio").toMap();
    EXPECT_EQ(audio.value(u"codec"_s), u"aac"_s);
    EXPECT_FALSE(service.requests("GET", u"/media/audio/sound/seg_*"_s).isEmpty());
    EXPECT_TRUE(service.requests("GET", u"/media/audio/240p/*"_s).isEmpty())
        << "the other variant is never read";

    controller->setQuality(u"1Mbps"_s);
    ASSERT_TRUE(waitUntil([&] { return mpv->presentationSize().height() == 240; }, 10s));
    EXPECT_TRUE(playsOn());
    EXPECT_TRUE(mpv->mpvProperty("current-tracks/audio").isValid()) << "the sound came along";
}

struct NoFirstFrame : PlaylistBounds
{
    void SetUp() override
    {
        PlaylistBounds::SetUp();
        mpv->setStartTimeout(1500ms);
    }
};

TEST_F(NoFirstFrame, ALoadThatShowsNoPictureWithinTheBoundFails)
{
    service.on("GET", u"/media/single/seg_*"_s, ScriptedAnswer::file().withDelay(60s));
    load(u"single/index.m3u8"_s);
    ASSERT_TRUE(waitUntil([&] { return controller->failedGeneration() >= 1; }, 5s));
    EXPECT_EQ(controller->statusText(), u"Connecting…"_s);
    EXPECT_EQ(warnings.size(), 1);
    const qsizetype asked = service.requestCount();
    spinFor(1s);
    EXPECT_EQ(service.requestCount(), asked) << "the load was stopped";
}

TEST_F(NoFirstFrame, APausedLoadShowsItsFirstPictureInTime)
{
    load(u"multi/master.m3u8"_s, false);
    ASSERT_TRUE(waitUntil([&] { return controller->isReady(); }, 5s));
    spinFor(2s);
    EXPECT_EQ(controller->failedGeneration(), 0);
    EXPECT_FALSE(mpv->softwareFrame().isNull());
}

// A master of the fixture's 240p variant whose one caption rendition is one WebVTT file.
struct CaptionFiles : PlaylistBounds
{
    void serveCaptions(const QByteArray &vtt)
    {
        serve(u"/media/cues/master.m3u8"_s,
            u"#EXTM3U\n#EXT-X-MEDIA:TYPE=SUBTITLES,GROUP-ID=\"s\",NAME=\"English\","
            "LANGUAGE=\"en\",URI=\"subs.m3u8\"\n"
            "#EXT-X-STREAM-INF:BANDWIDTH=400000,RESOLUTION=426x240,SUBTITLES=\"s\"\n"
            "../multi/240p/index.m3u8\n"_s);
        serve(u"/media/cues/subs.m3u8"_s,
            u"#EXTM3U\n#EXT-X-TARGETDURATION:6\n#EXT-X-PLAYLIST-TYPE:VOD\n"
            "#EXTINF:6.0,\ncues.vtt\n#EXT-X-ENDLIST\n"_s);
        service.on("GET", u"/media/cues/cues.vtt"_s, ScriptedAnswer::raw(vtt, "text/vtt"));
    }
    // `count` cues of `label` evenly over [from, to) seconds of the picture.
    static QByteArray cues(int count, double from, double to, const char *label)
    {
        QByteArray text;
        const double span = (to - from) / count;
        for (int i = 0; i < count; ++i) {
            const auto stamp = [](double s) {
                return QTime(0, 0).addMSecs(int(s * 1000)).toString(u"HH:mm:ss.zzz"_s).toLatin1();
            };
            text += stamp(from + i * span) + " --> " + stamp(from + (i + 1) * span) + '\n' + label
                + ' ' + QByteArray::number(i) + "\n\n";
        }
        return text;
    }
    static QByteArray vttFile(const QByteArray &cueText)
    {
        // The fixture's segments start at 1.4 s on the MPEG-TS clock.
        return "WEBVTT\nX-TIMESTAMP-MAP=MPEGTS:126000,LOCAL:00:00:00.000\n\n" + cueText;
    }
    void startWithCaptions()
    {
        load(u"cues/master.m3u8"_s);
        ASSERT_TRUE(waitUntil([&] { return controller->isReady(); }, 10s));
        runTask(controller->setCaptions(true, u"en"_s));
        ASSERT_TRUE(mpv->captions());
    }
};

TEST_F(CaptionFiles, AnEpisodeKeepsEveryCueOfALongFile)
{
    serveCaptions(vttFile(cues(600, 0.0, 3.0, "First half") + cues(400, 3.0, 6.0, "Second half")));
    startWithCaptions();
    ASSERT_TRUE(waitUntil([&] { return mpv->captions()->publishedCues() > 0; }, 10s));
    EXPECT_EQ(mpv->captions()->publishedCues(), 1000);
    // The first half of the episode shows its own captions.
    runTask(controller->seek(1.0));
    controller->togglePlay();
    EXPECT_TRUE(waitUntil([&] { return mpv->subtitleText().startsWith(u"First half"_s); }, 5s))
        << mpv->subtitleText().toStdString();
}

TEST_F(CaptionFiles, AVeryLargeFileIsReadWhileTheWindowKeepsTurning)
{
    serveCaptions(vttFile(cues(90'000, 0.0, 6.0, "Cue")));
    startWithCaptions();
    bool turned = false;
    bool turnedBeforePublishing = false;
    QObject::connect(mpv->captions(), &WebVttCaptions::readingCues, mpv, [&] {
        QMetaObject::invokeMethod(
            mpv, [&] { turned = true; }, Qt::QueuedConnection);
    });
    QObject::connect(mpv->captions(), &WebVttCaptions::cuesUpdated, mpv,
        [&] { turnedBeforePublishing = turned; });
    ASSERT_TRUE(waitUntil([&] { return mpv->captions()->publishedCues() > 0; }, 20s));
    EXPECT_TRUE(turnedBeforePublishing) << "an event queued meanwhile ran first";
    EXPECT_EQ(mpv->captions()->publishedCues(), 90'000);
    EXPECT_FALSE(mpv->captions()->isLeftOut());
}

TEST_F(CaptionFiles, AFilePastTheBoundsIsLeftOutAndPlayContinues)
{
    for (const auto &[limits, what] : { std::pair { CaptionLimits { 16 << 20, 5'000 }, "cues" },
             std::pair { CaptionLimits { 256 << 10, 100'000 }, "bytes" } }) {
        SCOPED_TRACE(what);
        warnings.clear();
        mpv->setCaptionLimits(limits);
        serveCaptions(vttFile(cues(20'000, 0.0, 6.0, "Cue")));
        startWithCaptions();
        ASSERT_TRUE(waitUntil([&] { return mpv->captions()->isLeftOut(); }, 10s));
        EXPECT_EQ(mpv->captions()->publishedCues(), 0);
        EXPECT_TRUE(playsOn());
        EXPECT_EQ(warnings.size(), 1) << "said once why";
        EXPECT_TRUE(warnings.value(0).contains(u"without captions"_s));
        EXPECT_EQ(controller->failedGeneration(), 0);
    }
}

} // namespace
