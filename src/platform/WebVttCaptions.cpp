#include "platform/WebVttCaptions.h"

#include "platform/HlsPlaylist.h"
#include "platform/MpvCore.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <algorithm>

namespace orvella {

namespace {
constexpr int fetchTimeoutMs = 10000;
} // namespace

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
