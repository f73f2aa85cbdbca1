#pragma once

#include "support/Fixtures.h"

#include <QByteArray>
#include <QString>

namespace orvella::test {

class ServiceDouble;

// Scripts a started double with the sample answers of tests/support/sample, enough for every
// screen to show something: configuration (languages, links, events), home (hero and rails),
// the live stream (the live fixture) and its schedule, 66 programmes in pages, programme 101
// with 130 episodes over two pages of 100, the kids' programme 79 with 112 and "Orvella
// Testimonies Live" (165, on the second page of 50) with 36 for the libraries, episode details
// with VOD playback and WebVTT subtitles, search, profile, continue-watching, device-code
// sign-in (one "pending" poll, then tokens), e-mail sign-in, token refresh, sign-out, history
// and view posts, and the testimony upload routes (the first two answer 404,
// "testimony/upload" accepts).
//
// Placeholders in the files, filled when answering: "{{ORIGIN}}", "{{MEDIA}}", "{{LANG}}",
// "{{TODAY}}", "{{TOMORROW}}" (yyyy-MM-dd in Africa/Lagos) inside texts, and the quoted
// "{{HOUR+N}}" / "{{HOUR_MS+N}}", replaced by the number: the current hour as epoch seconds
// (or milliseconds) plus N.
// The "user/..." routes want "Authorization: Bearer <anything>" and answer 401 without it.
void installSampleContent(ServiceDouble &service, const QString &directory = sampleDirectory());

// Fills the placeholders of one sample file's text for a double at `origin`.
[[nodiscard]] QByteArray expandSample(
    QByteArray text, const QString &origin, const QString &language = QStringLiteral("en"));

} // namespace orvella::test
