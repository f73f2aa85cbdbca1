#include "platform/WebVttCues.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <vector>

namespace orvella {

namespace {
constexpr double mpegTsClock = 90000.0;
// A part whose times run on begins its cues no earlier than the part before it began its last
// (a cue carried over the join is listed by both), give or take this.
constexpr double runOnOverlap = 1.0;

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

// The digits (and, with `clock`, the colons and dots) right after `key` in an X-TIMESTAMP-MAP
// line.
QStringView mapValue(QStringView line, QLatin1StringView key, bool clock)
{
    const qsizetype at = line.indexOf(key);
    if (at < 0)
        return {};
    const QStringView value = line.mid(at + key.size());
    qsizetype length = 0;
    while (length < value.size()
        && ((value[length] >= u'0' && value[length] <= u'9')
            || (clock && (value[length] == u':' || value[length] == u'.'))))
        ++length;
    return value.left(length);
}

// The segment's cue times move by this much onto the MPEG-TS clock.
double timestampShift(QStringView line)
{
    const QStringView ts = mapValue(line, QLatin1StringView("MPEGTS:"), false);
    const double tsSeconds = ts.isEmpty() ? 0 : ts.toDouble() / mpegTsClock;
    const QStringView local = mapValue(line, QLatin1StringView("LOCAL:"), true);
    const double localSeconds = local.isEmpty() ? 0 : parseTimestamp(local).value_or(0);
    return tsSeconds - localSeconds;
}

// The text's lines one by one, each trimmed, without holding them all.
class Lines
{
public:
    explicit Lines(const QByteArray &text)
        : m_text(text)
    { }
    [[nodiscard]] bool atEnd() const { return m_at > m_text.size(); }
    QString next()
    {
        qsizetype end = m_text.indexOf('\n', m_at);
        if (end < 0)
            end = m_text.size();
        const QString line
            = QString::fromUtf8(QByteArrayView(m_text).sliced(m_at, end - m_at)).trimmed();
        m_at = end + 1;
        return line;
    }

private:
    QByteArray m_text; // shares the caller's bytes
    qsizetype m_at = 0;
};
} // namespace

size_t qHash(const WebVttCue &cue, size_t seed) noexcept
{
    return qHashMulti(seed, cue.start, cue.end, cue.text, cue.part);
}

std::optional<WebVttCue> cueInWindow(const WebVttCue &cue, const CueWindow &window)
{
    if (window.part < 0)
        return cue;
    if (!window.handover)
        return cue.part == window.part ? std::optional(cue) : std::nullopt;
    const double at = *window.handover;
    WebVttCue shown = cue;
    if (cue.part == window.part && cue.end > at) {
        shown.start = std::max(cue.start, at);
        return shown;
    }
    // Played only once the picture went back to the next part's times.
    if (cue.part == window.part + 1 && cue.start < at) {
        shown.end = std::min(cue.end, at);
        return shown;
    }
    return std::nullopt;
}

QList<WebVttCue> parseWebVtt(const QByteArray &text, qsizetype maxCues)
{
    Lines lines(text);
    if (lines.atEnd() || !lines.next().startsWith(QLatin1String("WEBVTT")))
        return {};
    double shift = 0;
    QList<WebVttCue> cues;
    while (!lines.atEnd()) {
        const QString line = lines.next();
        if (line.startsWith(QLatin1String("X-TIMESTAMP-MAP="))) {
            shift = timestampShift(line);
            continue;
        }
        const qsizetype arrow = line.indexOf(QLatin1String("-->"));
        if (arrow < 0)
            continue;
        const auto start = parseTimestamp(QStringView(line).left(arrow));
        const QStringView after = QStringView(line).mid(arrow + 3).trimmed();
        const qsizetype space = after.indexOf(u' ');
        const auto end = parseTimestamp(space < 0 ? after : after.left(space));
        if (!start || !end || !std::isfinite(*start + shift) || !std::isfinite(*end + shift))
            continue;
        // The text runs to the next empty line.
        QString body;
        while (!lines.atEnd()) {
            const QString text = lines.next();
            if (text.isEmpty())
                break;
            if (!body.isEmpty())
                body += u'\n';
            body += text;
        }
        cues.append({ *start + shift, *end + shift, body });
        if (cues.size() > maxCues)
            break;
    }
    return cues;
}

namespace {
// The file's text for cues in the order `each` visits them.
template<class Visit>
QByteArray writeCues(double offset, Visit each)
{
    QString out = QStringLiteral("WEBVTT\n\n");
    each([&out, offset](const WebVttCue &cue) {
        const double start = cue.start + offset;
        const double end = cue.end + offset;
        if (end <= 0)
            return;
        out += formatTimestamp(start) + QStringLiteral(" --> ") + formatTimestamp(end) + u'\n'
            + cue.text + QStringLiteral("\n\n");
    });
    return out.toUtf8();
}
} // namespace

QByteArray writeWebVtt(const QList<WebVttCue> &cues, double offset)
{
    return writeCues(offset, [&cues](const auto &write) {
        for (const WebVttCue &cue : cues)
            write(cue);
    });
}

void WebVttCueSet::add(const QList<WebVttCue> &cues)
{
    for (const WebVttCue &cue : cues) {
        if (!m_cues.contains(cue)) {
            m_textBytes += cue.text.size() * qint64(sizeof(QChar));
            m_cues.insert(cue);
        }
    }
}

void WebVttCueSet::dropEndingBefore(double time, int part)
{
    for (auto it = m_cues.begin(); it != m_cues.end();) {
        if (part < 0 ? it->end < time : it->part < part || (it->part == part && it->end < time)) {
            m_textBytes -= it->text.size() * qint64(sizeof(QChar));
            it = m_cues.erase(it);
        } else {
            ++it;
        }
    }
}

bool WebVttCueSet::partsRestart() const
{
    // Each part's first and last start.
    std::map<int, std::pair<double, double>> starts;
    for (const WebVttCue &cue : m_cues) {
        auto &[first, last] = starts.try_emplace(cue.part, cue.start, cue.start).first->second;
        first = std::min(first, cue.start);
        last = std::max(last, cue.start);
    }
    double earlierLast = -INFINITY;
    for (const auto &[part, span] : starts) {
        const auto [first, last] = span;
        if (first < earlierLast - runOnOverlap)
            return true;
        earlierLast = std::max(earlierLast, last);
    }
    return false;
}

std::optional<double> WebVttCueSet::earliestStart() const
{
    std::optional<double> earliest;
    for (const WebVttCue &cue : m_cues)
        earliest = std::min(earliest.value_or(cue.start), cue.start);
    return earliest;
}

QByteArray WebVttCueSet::write(double offset, const CueWindow &window) const
{
    std::vector<WebVttCue> ordered;
    ordered.reserve(size_t(m_cues.size()));
    for (const WebVttCue &cue : m_cues) {
        if (auto shown = cueInWindow(cue, window))
            ordered.push_back(std::move(*shown));
    }
    std::sort(ordered.begin(), ordered.end(), [](const WebVttCue &a, const WebVttCue &b) {
        return a.start < b.start || (a.start == b.start && a.end < b.end);
    });
    return writeCues(offset, [&ordered](const auto &write) {
        for (const WebVttCue &cue : ordered)
            write(cue);
    });
}

} // namespace orvella
