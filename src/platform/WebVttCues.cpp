#include "platform/WebVttCues.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <optional>

namespace orvella {

namespace {
constexpr double mpegTsClock = 90000.0;

// [hh:]mm:ss.ttt
std::optional<double> parseTimestamp(QStringView text)
{
    const auto parts = text.trimmed().split(u':');
    if (parts.size() < 2 || parts.size() > 3)
        return std::nullopt;
    double seconds = 0;
    for (const auto &part : parts) {
        bool ok = false;
        const double value = part.toDouble(&ok);
        if (!ok)
            return std::nullopt;
        seconds = seconds * 60 + value;
    }
    if (!std::isfinite(seconds))
        return std::nullopt;
    return seconds;
}

QString formatTimestamp(double seconds)
{
    // Beyond any stream's clock (MPEG-TS time wraps after about 26 hours).
    constexpr double latest = 1e9;
    const qint64 ms = std::llround(std::clamp(seconds, 0.0, latest) * 1000.0);
    return QStringLiteral("%1:%2:%3.%4")
        .arg(ms / 3600000, 2, 10, QLatin1Char('0'))
        .arg((ms / 60000) % 60, 2, 10, QLatin1Char('0'))
        .arg((ms / 1000) % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}
} // namespace

QList<WebVttCue> parseWebVtt(const QByteArray &text)
{
    const QStringList lines
        = QString::fromUtf8(text).replace(QLatin1String("\r\n"), "\n").split(u'\n');
    if (lines.isEmpty() || !lines.first().trimmed().startsWith(QLatin1String("WEBVTT")))
        return {};
    double shift = 0;
    QList<WebVttCue> cues;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.startsWith(QLatin1String("X-TIMESTAMP-MAP="))) {
            static const QRegularExpression mpegts(QStringLiteral("MPEGTS:(\\d+)"));
            static const QRegularExpression local(QStringLiteral("LOCAL:([0-9:.]+)"));
            const auto ts = mpegts.match(line);
            const auto loc = local.match(line);
            const double tsSeconds = ts.hasMatch() ? ts.captured(1).toDouble() / mpegTsClock : 0;
            const double localSeconds
                = loc.hasMatch() ? parseTimestamp(loc.captured(1)).value_or(0) : 0;
            shift = tsSeconds - localSeconds;
            continue;
        }
        const qsizetype arrow = line.indexOf(QLatin1String("-->"));
        if (arrow < 0)
            continue;
        const auto start = parseTimestamp(QStringView(line).left(arrow));
        const QString after = line.mid(arrow + 3).trimmed();
        const auto end = parseTimestamp(after.section(u' ', 0, 0));
        if (!start || !end || !std::isfinite(*start + shift) || !std::isfinite(*end + shift))
            continue;
        QStringList body;
        while (i + 1 < lines.size() && !lines[i + 1].trimmed().isEmpty())
            body.append(lines[++i].trimmed());
        cues.append({ *start + shift, *end + shift, body.join(u'\n') });
    }
    return cues;
}

QByteArray writeWebVtt(const QList<WebVttCue> &cues, double offset)
{
    QString out = QStringLiteral("WEBVTT\n\n");
    for (const WebVttCue &cue : cues) {
        const double start = cue.start + offset;
        const double end = cue.end + offset;
        if (end <= 0)
            continue;
        out += formatTimestamp(start) + QStringLiteral(" --> ") + formatTimestamp(end) + u'\n'
            + cue.text + QStringLiteral("\n\n");
    }
    return out.toUtf8();
}

} // namespace orvella
