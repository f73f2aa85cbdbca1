#pragma once

// A player controller over a real libmpv player (software output, muted) and a started service
// double that serves the generated HLS fixtures.
#include "platform/MpvMediaPlayer.h"
#include "player/PlayerController.h"
#include "support/ServiceDouble.h"
#include "support/TestAsync.h"

#include <QFile>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace orvella::test {

// The player's time-outs with `start` for the start bound and the others in proportion.
inline MpvMediaPlayer::Timeouts timeoutsInProportion(std::chrono::milliseconds start)
{
    const auto scaled = [start](std::chrono::milliseconds full) {
        return full * start.count() / MpvMediaPlayer::defaultStartTimeout.count();
    };
    return { start, scaled(MpvMediaPlayer::defaultRenditionReadTimeout),
        scaled(MpvMediaPlayer::defaultLiveRequestTimeout),
        scaled(MpvMediaPlayer::defaultProgressTimeout) };
}

// The picture of the fixture of picture and sound apart fails from 4 s on while `out` holds.
inline void failPictureApartWhile(ServiceDouble &service, const bool &out)
{
    service.handle(
        "GET", QStringLiteral("/media/apart/240p/seg_*"), [&out](const RecordedRequest &r) {
            const bool early = r.path.endsWith(u"seg_000.ts") || r.path.endsWith(u"seg_001.ts");
            return out && !early ? ScriptedAnswer::error(404, QStringLiteral("out"))
                                 : ScriptedAnswer::file();
        });
}

// Where FFmpeg's muxer stamps the first picture of MPEG-TS.
inline constexpr double ffmpegFirstStamp = 1.421333;

// The time stamp of the picture libmpv shows, whatever part of a playlist it was given.
inline double pictureStamp(const MpvMediaPlayer &mpv)
{
    return mpv.mpvProperty("demuxer-start-time").toDouble()
        + mpv.mpvProperty("time-pos").toDouble();
}

// The text of the caption file mpv was given; empty without one.
inline QString captionFileText(const MpvMediaPlayer &mpv)
{
    for (const QVariant &entry : mpv.mpvProperty("track-list").toList()) {
        const QVariantMap track = entry.toMap();
        if (track.value(QStringLiteral("type")) != QStringLiteral("sub")
            || !track.value(QStringLiteral("external")).toBool())
            continue;
        QFile file(track.value(QStringLiteral("external-filename")).toString());
        if (file.open(QIODevice::ReadOnly))
            return QString::fromUtf8(file.readAll());
    }
    return {};
}

// How far libmpv has read the picture, on its clock; none before it knows.
inline std::optional<double> pictureReadEnd(const MpvMediaPlayer &mpv)
{
    const QVariant end
        = mpv.mpvProperty("demuxer-cache-state").toMap().value(QStringLiteral("cache-end"));
    return end.isValid() ? std::optional(end.toDouble()) : std::nullopt;
}

// The live fixture's segment (2 s each, from FFmpeg's first stamp) holding a time on mpv's clock.
inline int liveSegmentAt(const MpvMediaPlayer &mpv, double time)
{
    const double stamp = mpv.mpvProperty("demuxer-start-time").toDouble() + time;
    return int(std::floor((stamp - ffmpegFirstStamp) / 2.0));
}

// A live item paused at `pausedAt` was read a forward buffer ahead (12 s), and the captions mpv
// shows hold the cue of each live fixture segment from there to where the picture was read.
inline ::testing::AssertionResult captionsCoverReadAhead(
    const MpvMediaPlayer &mpv, double pausedAt, std::chrono::milliseconds deadline)
{
    QStringList missing;
    const bool covered = waitUntil(
        [&] {
            const std::optional<double> end = pictureReadEnd(mpv);
            if (!end || *end < pausedAt + 11.5)
                return false;
            const QString text = captionFileText(mpv);
            missing.clear();
            for (int segment = liveSegmentAt(mpv, pausedAt); segment < liveSegmentAt(mpv, *end);
                 ++segment) {
                if (!text.contains(QStringLiteral("Caption %1:").arg(segment + 1)))
                    missing.append(QString::number(segment + 1));
            }
            return missing.isEmpty();
        },
        deadline);
    if (covered)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
        << "paused at " << pausedAt << ", read to " << pictureReadEnd(mpv).value_or(-1)
        << "; cues missing: " << missing.join(u", ").toStdString();
}

// As in the client, the live player came first: FFmpeg's one log is its own.
inline std::unique_ptr<MpvMediaPlayer> livePlayerFirst(ServiceDouble &service)
{
    auto live = std::make_unique<MpvMediaPlayer>(MpvMediaPlayer::Output::Software);
    live->setMuted(true);
    live->replaceCurrentItem(service.mediaUrl(QStringLiteral("live/master.m3u8")), {});
    EXPECT_TRUE(waitUntil([&] { return live->itemStatus() != MediaPlayer::ItemStatus::Unknown; },
        std::chrono::seconds(10)));
    return live;
}

struct PlaybackFixture : ::testing::Test
{
    ServiceDouble service;
    MpvMediaPlayer *mpv = nullptr;
    std::unique_ptr<PlayerController> controller;

    void SetUp() override
    {
        ASSERT_TRUE(service.start());
        auto player = std::make_unique<MpvMediaPlayer>(MpvMediaPlayer::Output::Software);
        mpv = player.get();
        // No sound card on the test machines.
        mpv->setMuted(true);
        controller = std::make_unique<PlayerController>(std::move(player));
    }

    void load(const QString &media, bool autoplay, bool isLive)
    {
        controller->load(service.mediaUrl(media), autoplay, std::nullopt, isLive);
    }

    // The controller publishes once a second; tests read it sooner.
    double position() const
    {
        controller->refreshTime();
        return controller->currentTime();
    }
    void seek(double seconds) { runTask(controller->seek(seconds), std::chrono::seconds(10)); }
    // The loads libmpv started: each gives its playlist entry a new id.
    [[nodiscard]] qint64 loads() const { return mpv->mpvProperty("playlist/0/id").toLongLong(); }
};

} // namespace orvella::test
