// Reading a caption rendition of one large WebVTT file while the 240p fixture plays: the GUI
// thread's longest block from choosing the captions until the client gave mpv the file (or gave
// the captions up, past their bounds) and for two seconds after, while mpv reads it, against the
// longest block of the same playback without captions in the same run. Cases: 20,000, 100,000
// and 200,000 cues.
#include "PlayerBench.h"
#include "platform/MpvMediaPlayer.h"
#include "player/PlayerController.h"
#include "support/TestAsync.h"

#include <QElapsedTimer>

using namespace orvella;
using namespace std::chrono_literals;
using namespace Qt::StringLiterals;

namespace {

using bench::service;

QByteArray captionFile(int cues)
{
    QByteArray text = "WEBVTT\nX-TIMESTAMP-MAP=MPEGTS:126000,LOCAL:00:00:00.000\n\n";
    text.reserve(cues * 64);
    for (int i = 0; i < cues; ++i) {
        const auto stamp = [](qint64 ms) {
            return QStringLiteral("%1:%2:%3.%4")
                .arg(ms / 3600000, 2, 10, QLatin1Char('0'))
                .arg(ms / 60000 % 60, 2, 10, QLatin1Char('0'))
                .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
                .arg(ms % 1000, 3, 10, QLatin1Char('0'))
                .toLatin1();
        };
        text += stamp(i * 500LL) + " --> " + stamp(i * 500LL + 450) + "\nCaption number "
            + QByteArray::number(i) + " of the long file\n\n";
    }
    return text;
}

void serveRendition(int cues)
{
    test::ServiceDouble &double_ = service();
    const auto playlist = [](const QString &text) {
        return test::ScriptedAnswer::raw(text.toUtf8(), "application/vnd.apple.mpegurl");
    };
    double_.on("GET", u"/media/bench/master.m3u8"_s,
        playlist(u"#EXTM3U\n#EXT-X-MEDIA:TYPE=SUBTITLES,GROUP-ID=\"s\",NAME=\"English\","
                 "LANGUAGE=\"en\",URI=\"subs.m3u8\"\n"
                 "#EXT-X-STREAM-INF:BANDWIDTH=400000,RESOLUTION=426x240,SUBTITLES=\"s\"\n"
                 "../multi/240p/index.m3u8\n"_s));
    double_.on("GET", u"/media/bench/subs.m3u8"_s,
        playlist(u"#EXTM3U\n#EXT-X-TARGETDURATION:6\n#EXT-X-PLAYLIST-TYPE:VOD\n"
                 "#EXTINF:6.0,\ncues.vtt\n#EXT-X-ENDLIST\n"_s));
    double_.on("GET", u"/media/bench/cues.vtt"_s,
        test::ScriptedAnswer::raw(captionFile(cues), "text/vtt"));
}

// The longest time between two turns of the GUI thread's event loop while it runs.
class BlockMeter
{
public:
    BlockMeter()
    {
        m_tick.setTimerType(Qt::PreciseTimer);
        m_tick.setInterval(1);
        QObject::connect(&m_tick, &QTimer::timeout, [this] {
            m_longest = std::max(m_longest, m_since.nsecsElapsed());
            m_since.restart();
        });
        m_since.start();
        m_tick.start();
    }
    [[nodiscard]] double longestMs() const { return double(m_longest) / 1e6; }

private:
    QTimer m_tick;
    QElapsedTimer m_since;
    qint64 m_longest = 0;
};

bool hasSubtitleTrack(MpvMediaPlayer &player)
{
    for (const QVariant &track : player.mpvProperty("track-list").toList()) {
        if (track.toMap().value(u"type"_s) == u"sub"_s)
            return true;
    }
    return false;
}

// The captions were given up, by a client that bounds them.
template<typename Captions>
bool leftOut(const Captions *captions)
{
    if constexpr (requires { captions->isLeftOut(); })
        return captions->isLeftOut();
    else
        return false;
}

// The client published the captions to mpv, or gave them up.
bool captionsSettled(const MpvMediaPlayer &player, qsizetype published)
{
    return player.captions() && (published > 0 || leftOut(player.captions()));
}

struct Run
{
    double longestMs = 0;
    double settledMs = 0;
    bool shown = false;
};

// Plays the stream; with captions, chooses them and watches until mpv has the subtitle track
// or the window (measured from the choice) closes.
Run play(bool captions, std::chrono::milliseconds window)
{
    auto owned = std::make_unique<MpvMediaPlayer>(MpvMediaPlayer::Output::Software);
    MpvMediaPlayer &player = *owned;
    player.setMuted(true);
    PlayerController controller(std::move(owned));
    controller.load(service().mediaUrl(u"bench/master.m3u8"_s), true, std::nullopt, false);
    Run run;
    if (!test::waitUntil([&] { return controller.isReady(); }, 10s))
        return run;
    BlockMeter meter;
    QElapsedTimer clock;
    clock.start();
    qsizetype published = 0;
    if (captions) {
        controller.setCaptions(true, u"en"_s);
        test::waitUntil([&] { return player.captions() != nullptr; }, 5s);
        if (player.captions())
            QObject::connect(player.captions(), &WebVttCaptions::cuesUpdated, [&] { ++published; });
    }
    test::waitUntil([&] { return captions && captionsSettled(player, published); }, window);
    run.settledMs = double(clock.nsecsElapsed()) / 1e6;
    // The seconds after mpv was given the file, which it reads on its own thread.
    test::spinFor(2s);
    run.longestMs = meter.longestMs();
    run.shown = hasSubtitleTrack(player);
    controller.tearDown();
    test::spinFor(200ms);
    return run;
}

void BM_ReadCaptionFile(benchmark::State &state)
{
    const int cues = int(state.range(0));
    serveRendition(cues);
    Run with;
    Run without;
    for (auto _ : state) {
        without = play(false, 3s);
        with = play(true, 120s);
    }
    state.counters["cues"] = cues;
    state.counters["longest_block_ms"] = with.longestMs;
    state.counters["baseline_block_ms"] = without.longestMs;
    state.counters["ratio"] = with.longestMs / std::max(without.longestMs, 1.0);
    state.counters["shown"] = with.shown ? 1 : 0;
    state.counters["settled_ms"] = with.settledMs;
}

BENCHMARK(BM_ReadCaptionFile)
    ->Arg(20'000)
    ->Arg(100'000)
    ->Arg(200'000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    return bench::runBenchmarks(argc, argv);
}
