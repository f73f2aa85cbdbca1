// The master playlist's side of a player: the variant that fits the caps, and the caption
// renditions, which the client reads and draws itself.
#include "platform/MpvCore.h"
#include "platform/MpvMediaPlayer.h"
#include "platform/PlatformLog.h"
#include "platform/WebVttCaptions.h"

#include <QCoro/QCoroNetworkReply>
#include <QNetworkReply>
#include <QTimer>

namespace orvella {

namespace {
constexpr int masterTimeoutMs = 10000;
} // namespace

bool MpvMediaPlayer::hasCaps() const
{
    return m_peak > 0 || (m_maxSize.width() > 0 && m_maxSize.height() > 0);
}

QUrl MpvMediaPlayer::playbackUrl() const
{
    // Given the master, mpv reads the first segments of every variant to learn their streams,
    // and keeps fetching a higher variant for its audio once the picture moved to a lower one:
    // a capped item is given only its variant. Audio of its own stays with the master.
    if (!hasCaps() || !m_master || m_master->separateAudio)
        return m_url;
    const auto index = variantForCaps(m_master->variants, m_peak, m_maxSize);
    if (!index || !isWebUrl(m_master->variants[*index].uri))
        return m_url;
    return m_master->variants[*index].uri;
}

void MpvMediaPlayer::applyVariantCap()
{
    // Before the load goes out the caps travel with it. Afterwards a change of playlist loads
    // the item again where it is (at the end of the turn, once both caps are set); with the
    // master loaded, mpv keeps every variant as a video track and the track switches variant.
    if (!m_issued)
        return;
    if (playbackUrl() != m_loadedUrl) {
        if (!m_reloadPending) {
            m_reloadPending = true;
            QTimer::singleShot(0, this, [this, generation = m_generation] {
                m_reloadPending = false;
                if (generation == m_generation && m_issued && playbackUrl() != m_loadedUrl)
                    reloadInPlace();
            });
        }
        return;
    }
    if (m_loadedUrl != m_url || !m_master || m_master->variants.isEmpty())
        return;
    auto index = variantForCaps(m_master->variants, m_peak, m_maxSize);
    if (!index) {
        index = 0;
        for (int i = 1; i < m_master->variants.size(); ++i) {
            if (m_master->variants[i].bandwidth > m_master->variants[*index].bandwidth)
                index = i;
        }
    }
    const QSize wanted = m_master->variants[*index].resolution;
    const QVariantList tracks = m_core->property("track-list").toList();
    for (const QVariant &entry : tracks) {
        const QVariantMap track = entry.toMap();
        if (track.value(QStringLiteral("type")).toString() != QLatin1String("video"))
            continue;
        const QSize size(track.value(QStringLiteral("demux-w")).toInt(),
            track.value(QStringLiteral("demux-h")).toInt());
        if (size != wanted)
            continue;
        if (!track.value(QStringLiteral("selected")).toBool())
            m_core->setProperty("vid", track.value(QStringLiteral("id")).toLongLong());
        return;
    }
}

QCoro::Task<> MpvMediaPlayer::fetchMaster(quint64 generation, QUrl url)
{
    QPointer self(this);
    std::optional<HlsMasterPlaylist> master;
    if (isWebUrl(url)) {
        QNetworkRequest request(url);
        request.setTransferTimeout(masterTimeoutMs);
        if (m_masterReply)
            m_masterReply->abort(); // the earlier item's fetch ends at once
        QNetworkReply *reply = m_network.get(request);
        m_masterReply = reply;
        co_await reply;
        // Deleted later: an abort resumes this inside the reply's own signal.
        reply->deleteLater();
        if (!self)
            co_return;
        if (reply->error() == QNetworkReply::NoError)
            master = parseHlsMaster(reply->readAll(), reply->url());
    }
    if (generation != m_generation)
        co_return;
    m_master = std::move(master);
    m_masterSettled = true;
    settleMaster();
    if (m_loadAwaitsMaster && m_hasItem && !m_issued && (m_surfaceReady || m_openGl))
        issueLoad();
    applyVariantCap();
}

void MpvMediaPlayer::reloadInPlace()
{
    // A live item comes back at its edge, an on-demand one where it was.
    std::optional<double> at;
    if (!m_settings.waitsToMinimizeStalling && m_fileLoaded && m_timeKnown)
        at = m_time;
    qCDebug(lcPlayer) << "Another variant for the caps:" << playbackUrl();
    m_fileLoaded = false;
    m_reattachCaptions = true;
    issueLoad(at);
    updateRate();
}

void MpvMediaPlayer::reattachCaptions()
{
    // A new file drops the external subtitle track: the captions are added to it again.
    if (!m_caption)
        return;
    const auto caption = m_caption;
    m_captions.reset();
    m_caption.reset();
    selectLegibleOption(caption);
}

void MpvMediaPlayer::dropMasterFetch()
{
    if (m_masterReply)
        m_masterReply->abort();
    settleMaster();
}

void MpvMediaPlayer::Waiters::resumeAll()
{
    for (std::coroutine_handle<> waiter : std::exchange(m_handles, {}))
        waiter.resume();
}

void MpvMediaPlayer::settleMaster()
{
    m_masterWaiters.resumeAll();
    emit masterPlaylistSettled();
}

QCoro::Task<std::optional<QList<LegibleOption>>> MpvMediaPlayer::loadLegibleOptions()
{
    QPointer self(this);
    const quint64 generation = m_generation;
    while (self && m_hasItem && generation == m_generation && !m_masterSettled) {
        auto settled = m_masterWaiters.next();
        co_await settled;
    }
    if (!self || !m_hasItem || generation != m_generation || !m_master
        || m_master->subtitles.isEmpty())
        co_return std::nullopt;
    QList<LegibleOption> options;
    for (const HlsRendition &rendition : m_master->subtitles)
        options.append({ rendition.language, rendition.name, rendition.isDefault });
    co_return options;
}

void MpvMediaPlayer::selectLegibleOption(std::optional<int> index)
{
    if (!m_hasItem)
        return;
    if (!index || !m_master || *index < 0 || *index >= m_master->subtitles.size()) {
        m_caption.reset();
        m_captions.reset();
        if (m_core)
            m_core->setProperty("sid", QStringLiteral("no"));
        return;
    }
    if (m_caption == index && m_captions)
        return;
    if (!core())
        return;
    m_caption = index;
    m_captions = std::make_unique<WebVttCaptions>(
        m_core, &m_network, m_master->subtitles[*index].uri, !m_settings.waitsToMinimizeStalling);
}

} // namespace orvella
