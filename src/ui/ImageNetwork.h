#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QNetworkRequest>
#include <QObject>
#include <QThread>
#include <QUrl>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace orvella {

class ImageNetworkWorker;

struct ImageNetworkLimits
{
    // The most bytes one picture's answer may hold, far above any real poster or hero; a longer
    // one fails as soon as it is known to be longer, and nothing of it stays in the disk cache.
    qint64 bodyBytes = 32LL * 1024 * 1024;
    qint64 diskCacheBytes = 134217728;
};

// The network path of remote pictures: its own access manager, with its own disk cache
// (128 MiB in the cache folder's "images" subfolder), living on its own thread so that
// neither the transfers nor the cache's disk work touch the main thread.
class ImageNetwork : public QObject
{
    Q_OBJECT

public:
    static constexpr int requestTimeoutMs = 5000; // idle limit of one transfer
    static constexpr int resourceTimeoutMs = 12000; // whole-transfer limit
    static constexpr qint64 diskCacheBytes = ImageNetworkLimits().diskCacheBytes;
    static constexpr qint64 maxBodyBytes = ImageNetworkLimits().bodyBytes;

    using BodyCallback = std::function<void(std::optional<QByteArray>)>;
    using ImageCallback = std::function<void(QImage)>;

    // The one instance, made on first use and owned by the application object.
    static ImageNetwork &shared();

    explicit ImageNetwork(const QString &cacheDirectory, QObject *parent = nullptr);
    ImageNetwork(
        const QString &cacheDirectory, ImageNetworkLimits limits, QObject *parent = nullptr);
    ~ImageNetwork() override;

    // The request every picture is fetched with: cached data when there is any, else the
    // network; no revalidation; each redirect checked before it is followed. Pictures on screen ask
    // with high priority, so that they go ahead of a prefetch queued before them.
    [[nodiscard]] static QNetworkRequest request(
        const QUrl &url, QNetworkRequest::Priority priority = QNetworkRequest::NormalPriority);

    // Fetches a body. `done` runs on the network thread with the body, or nothing on a
    // transport failure, time-out, abort or a body past the bound. Thread-safe; returns an id for
    // abort().
    quint64 fetch(const QUrl &url, BodyCallback done,
        QNetworkRequest::Priority priority = QNetworkRequest::NormalPriority);

    // Fetches, decodes at `maxPixelSize` on the decoder pool and, when a picture comes out,
    // inserts it into the shared image cache under `cacheKey`. `done` runs on a worker
    // thread with the picture, or a null image on any failure.
    quint64 load(const QUrl &url, const QString &cacheKey, int maxPixelSize, ImageCallback done,
        QNetworkRequest::Priority priority = QNetworkRequest::NormalPriority);

    // Stops a fetch still in flight; its callback then gets nothing. Unknown ids are ignored.
    void abort(quint64 id);

    // Whether a load() for this cache key has not finished yet.
    [[nodiscard]] bool isLoading(const QString &cacheKey) const;

    [[nodiscard]] QString cacheDirectory() const { return m_cacheDirectory; }

private:
    QString m_cacheDirectory;
    QThread m_thread;
    ImageNetworkWorker *m_worker = nullptr; // lives on m_thread
    std::atomic<quint64> m_nextId { 1 };
    // Cache keys with loads in flight; shared with the callbacks, which may outlive this.
    struct Loading
    {
        std::mutex mutex;
        QHash<QString, int> count;
    };
    std::shared_ptr<Loading> m_loading = std::make_shared<Loading>();
};

// Whether a picture may be fetched from this address, first or after a redirect: http(s) with a
// host, never a file, and never a link-local address written literally (169.254.0.0/16,
// fe80::/10), so that no service answer makes the client probe the local network.
[[nodiscard]] bool isPictureAddress(const QUrl &url);

// Whether a picture's fetch may follow a redirect from one address to the next: to a picture
// address, and never from https down to http.
[[nodiscard]] bool isPictureRedirect(const QUrl &from, const QUrl &to);

// Turns an address text from the service into an http(s) URL for a picture, or an invalid URL.
[[nodiscard]] QUrl resolveImageUrl(const QString &text);

} // namespace orvella
