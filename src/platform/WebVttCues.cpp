#include "platform/WebVttCues.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

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
    return qHashMulti(seed, cue.start, cue.end, cue.text);
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

void WebVttCueSet::dropEndingBefore(double time)
{
    for (auto it = m_cues.begin(); it != m_cues.end();) {
        if (it->end < time) {
            m_textBytes -= it->text.size() * qint64(sizeof(QChar));
            it = m_cues.erase(it);
        } else {
            ++it;
        }
    }
}

QByteArray WebVttCueSet::write(double offset) const
{
    std::vector<const WebVttCue *> ordered;
    ordered.reserve(size_t(m_cues.size()));
    for (const WebVttCue &cue : m_cues)
        ordered.push_back(&cue);
    std::sort(ordered.begin(), ordered.end(), [](const WebVttCue *a, const WebVttCue *b) {
        return a->start < b->start || (a->start == b->start && a->end < b->end);
    });
    return writeCues(offset, [&ordered](const auto &write) {
        for (const WebVttCue *cue : ordered)
            write(*cue);
    });
}

} // namespace orvella
