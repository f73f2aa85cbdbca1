#include "platform/WebVttCaptions.h"

#include "platform/HlsPlaylist.h"
#include "platform/MpvCore.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace orvella {

namespace {
constexpr int fetchTimeoutMs = 10000;
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
    return seconds;
}

QString formatTimestamp(double seconds)
{
    const qint64 ms = std::llround(std::max(0.0, seconds) * 1000.0);
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
        if (!start || !end)
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

WebVttCaptions::WebVttCaptions(
    std::shared_ptr<MpvCore> core, QNetworkAccessManager *network, QUrl playlist, bool onDemand)
    : m_core(std::move(core))
    , m_network(network)
    , m_playlist(std::move(playlist))
    , m_onDemand(onDemand)
    , m_path(m_dir.filePath(QStringLiteral("captions.vtt")))
{
    connect(&m_poll, &QTimer::timeout, this, &WebVttCaptions::refresh);
    refresh();
}

WebVttCaptions::~WebVttCaptions()
{
    if (m_added)
        m_core->setProperty("sid", QStringLiteral("no"));
}

void WebVttCaptions::refresh()
{
    if (!isWebUrl(m_playlist))
        return;
    QNetworkRequest request(m_playlist);
    request.setTransferTimeout(fetchTimeoutMs);
    QNetworkReply *reply = m_network->get(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        if (reply->error() != QNetworkReply::NoError) {
            if (!m_onDemand && !m_poll.isActive())
                m_poll.start(2000);
            return;
        }
        const auto playlist = parseHlsMedia(reply->readAll(), reply->url());
        if (!playlist)
            return;
        for (const HlsSegment &segment : playlist->segments) {
            if (!m_requested.contains(segment.uri)) {
                m_requested.insert(segment.uri);
                fetchSegment(segment.uri);
            }
        }
        // A live rendition is read again about once a target duration, as its window slides.
        if (!playlist->ended && !m_onDemand) {
            const int interval = int(std::clamp(playlist->targetDuration, 1.0, 10.0) * 1000);
            m_poll.start(interval);
        } else {
            m_poll.stop();
        }
    });
}

void WebVttCaptions::fetchSegment(const QUrl &url)
{
    QNetworkRequest request(url);
    request.setTransferTimeout(fetchTimeoutMs);
    QNetworkReply *reply = m_network->get(request);
    ++m_pending;
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        --m_pending;
        if (reply->error() == QNetworkReply::NoError) {
            for (const WebVttCue &cue : parseWebVtt(reply->readAll())) {
                if (!m_cues.contains(cue))
                    m_cues.append(cue);
            }
        } else {
            // Asked again with the next playlist read.
            m_requested.remove(reply->request().url());
        }
        if (m_pending == 0)
            publish();
    });
}

void WebVttCaptions::publish()
{
    std::sort(m_cues.begin(), m_cues.end(),
        [](const WebVttCue &a, const WebVttCue &b) { return a.start < b.start; });
    // Cues live on the MPEG-TS clock; mpv counts playback time from the stream's first
    // timestamp.
    const QVariant start = m_core->property("demuxer-start-time");
    if (!start.isValid()) {
        // Not known before the stream is open: try again shortly.
        QTimer::singleShot(200, this, &WebVttCaptions::publish);
        return;
    }
    m_offset = -start.toDouble();
    // A live rendition keeps sliding: only the recent cues are kept.
    constexpr qsizetype keptCues = 400;
    if (m_cues.size() > keptCues)
        m_cues.erase(m_cues.begin(), m_cues.end() - keptCues);
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    file.write(writeWebVtt(m_cues, m_offset));
    file.close();
    if (!m_added) {
        m_added = true;
        m_core->commandAsync({ QStringLiteral("sub-add"), m_path, QStringLiteral("select"),
            QStringLiteral("captions") });
    } else {
        m_core->commandAsync({ QStringLiteral("sub-reload") });
    }
    emit cuesUpdated();
}

} // namespace orvella
