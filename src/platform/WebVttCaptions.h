#pragma once

#include "platform/WebVttCues.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <memory>
#include <optional>

class QNetworkAccessManager;

namespace orvella {

class MpvCore;

// Follows a subtitle rendition of an HLS stream: fetches its segments (and, for a live
// rendition, its playlist again as the window slides), merges their cues into one file and shows
// that through mpv as an external subtitle track.
class WebVttCaptions : public QObject
{
    Q_OBJECT
public:
    WebVttCaptions(std::shared_ptr<MpvCore> core, QNetworkAccessManager *network, QUrl playlist,
        bool onDemand);
    ~WebVttCaptions() override;

    [[nodiscard]] const QList<WebVttCue> &cues() const { return m_cues; }

signals:
    void cuesUpdated();

private:
    void refresh();
    void fetchSegment(const QUrl &url);
    void publish();

    std::shared_ptr<MpvCore> m_core;
    QNetworkAccessManager *m_network;
    QUrl m_playlist;
    bool m_onDemand;
    QTimer m_poll;
    QSet<QUrl> m_requested;
    QList<WebVttCue> m_cues;
    QTemporaryDir m_dir;
    QString m_path;
    bool m_added = false;
    int m_pending = 0;
    double m_offset = 0;
};

} // namespace orvella
