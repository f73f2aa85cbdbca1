#pragma once

#include <QString>

namespace orvella::test {

// The generated media fixtures (made at build time with the ffmpeg CLI, cached by content
// outside the clone). Layout, relative to fixtureDirectory():
//   single/index.m3u8                 one 640x360 variant, 3 segments of 2 s, no subtitles
//   multi/master.m3u8                 426x240@400k, 854x480@1.2M, 1280x720@2.5M variants
//                                     (240p/ 480p/ 720p/ index.m3u8) and a WebVTT rendition
//                                     subs/en.m3u8 (EXT-X-MEDIA TYPE=SUBTITLES, LANGUAGE "en")
//   vod/index.m3u8, vod/en.vtt        8 s single-variant VOD with one WebVTT file
//   audio/master.m3u8                 6 s: 426x240 and 854x480 variants of picture alone
//                                     (240p/ 480p/ index.m3u8) and their sound as an audio
//                                     rendition (sound/index.m3u8, EXT-X-MEDIA TYPE=AUDIO)
//   apart/master.m3u8                 12 s: one 426x240 variant of picture alone (240p/) and
//                                     its sound as an audio rendition (sound/); short.m3u8 the
//                                     same sound under an 11-s picture (short/)
//   joined/master.m3u8                20 s joined from parts of 6 and 14 s by FFmpeg's muxer:
//                                     426x240 and 854x480 variants (240p/ 480p/ index.m3u8),
//                                     each with a discontinuity after its third segment and the
//                                     second part's time stamps from 1000 s on
//   live/master.m3u8                  live: 240p/ 480p/ 720p/ index.source.m3u8 and
//                                     subs/en.source.m3u8, 12 segments of 2 s; the double
//                                     serves index.m3u8 / en.m3u8 as a sliding window
//   images/poster.jpg (1280x720), images/poster.png (640x360), images/poster-4k.jpg (3840x2160),
//   images/card-1.jpg ... card-6.jpg (640x360), images/square.png (512x512)
// Every segment is 2 s of testsrc2 video (H.264, keyframe every 2 s) with a sine tone (AAC).
[[nodiscard]] QString fixtureDirectory();
[[nodiscard]] QString fixturePath(const QString &relative);

// The sample answers (tests/support/sample) the tool and app-level tests can load.
[[nodiscard]] QString sampleDirectory();

} // namespace orvella::test
