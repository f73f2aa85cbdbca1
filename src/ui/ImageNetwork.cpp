#include "ui/ImageNetwork.h"

#include "api/MediaURL.h"
#include "platform/PlatformLog.h"
#include "ui/ImageCache.h"
#include "ui/ImageDecoder.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QPointer>
#include <QStandardPaths>
#include <QThreadPool>
#include <QTimer>

namespace orvella {

// Qt makes room in the folder before it moves a finished entry in, so one large entry could
// leave the folder past its size until the next one arrives: room is made again once it is in.
class PictureDiskCache : public QNetworkDiskCache
{
public:
    using QNetworkDiskCache::QNetworkDiskCache;

    void insert(QIODevice *device) override
    {
        QNetworkDiskCache::insert(device);
        const qint64 size = maximumCacheSize();
        if (cacheSize() > size) {
            // Lowering the size expires at once and notes what is left; then it is put back.
            setMaximumCacheSize(size - 1);
            setMaximumCacheSize(size);
        }
    }
};

class ImageNetworkWorker : public QObject
{
public:
    ImageNetworkWorker(QString cacheDirectory, ImageNetworkLimits limits)
        : m_cacheDirectory(std::move(cacheDirectory))
        , m_limits(limits)
    { }

    // The status and type of the answer do not matter: a body that decodes is shown. A body cut
    // short (aborted, timed out, connection lost) is not, even after its status line arrived.
    static bool bodyIsWhole(const QNetworkReply &reply)
    {
        const QNetworkReply::NetworkError error = reply.error();
        const bool httpStatusError = (error >= QNetworkReply::ContentAccessDenied
                                         && error < QNetworkReply::ProtocolUnknownError)
            || (error >= QNetworkReply::InternalServerError
                && error <= QNetworkReply::UnknownServerError);
        return error == QNetworkReply::NoError
            || (httpStatusError
                && reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid());
    }

    // Qt 6.4 at times ends an answer whose connection closed before its announced length
    // without an error: such a body is cut short all the same. (Qt drops the length of an answer
    // it inflates.)
    static bool hasAnnouncedLength(const QNetworkReply &reply, const QByteArray &body)
    {
        const QVariant length = reply.header(QNetworkRequest::ContentLengthHeader);
        return !length.isValid() || length.toLongLong() == body.size();
    }

    void start(quint64 id, const QUrl &url, const ImageNetwork::BodyCallback &done,
        QNetworkRequest::Priority priority)
    {
        QNetworkReply *reply = manager().get(ImageNetwork::request(url, priority));
        // Qt holds no more than this of the body ahead of what is counted here.
        reply->setReadBufferSize(readBufferBytes);
        auto transfer = std::make_shared<Transfer>();
        transfer->hop = url;
        m_replies.insert(id, reply);
        // Each hop is checked as the first address was; Qt has already moved the reply's own
        // address on when it tells of the redirect, so the last hop is kept here.
        connect(reply, &QNetworkReply::redirected, reply, [reply, transfer](const QUrl &target) {
            if (isPictureRedirect(transfer->hop, target)) {
                transfer->hop = target;
                emit reply->redirectAllowed();
            } else {
                reply->abort();
            }
        });
        auto *limit = new QTimer(reply);
        limit->setSingleShot(true);
        connect(limit, &QTimer::timeout, reply, &QNetworkReply::abort);
        limit->start(ImageNetwork::resourceTimeoutMs);
        // The body is counted as it arrives: one announced or arriving past the bound is not read
        // on.
        const qint64 bound = m_limits.bodyBytes;
        const auto refuse = [reply, transfer, bound] {
            qCWarning(lcPlatform) << "Picture" << reply->url().toDisplayString()
                                  << "refused: more than" << bound << "bytes";
            transfer->tooLarge = true;
            transfer->body = QByteArray();
            reply->abort();
        };
        connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, transfer, bound, refuse] {
            const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
            if (!transfer->tooLarge && length.isValid() && length.toLongLong() > bound)
                refuse();
        });
        connect(reply, &QNetworkReply::readyRead, reply, [reply, transfer, bound, refuse] {
            if (transfer->tooLarge)
                return;
            transfer->take(*reply, bound);
            if (transfer->body.size() > bound)
                refuse();
        });
        connect(reply, &QNetworkReply::finished, this, [this, id, reply, transfer, bound, done] {
            m_replies.remove(id);
            reply->deleteLater();
            if (!transfer->tooLarge && bodyIsWhole(*reply)) {
                transfer->take(*reply, bound);
                if (transfer->body.size() <= bound && hasAnnouncedLength(*reply, transfer->body)) {
                    done(std::move(transfer->body));
                    return;
                }
            }
            done(std::nullopt);
        });
    }

    void abort(quint64 id)
    {
        // Requests and aborts from one thread arrive in order, so an unknown id has finished.
        if (QNetworkReply *reply = m_replies.value(id))
            reply->abort();
    }

private:
    static constexpr qint64 readBufferBytes = 1024 * 1024;

    struct Transfer
    {
        QUrl hop;
        QByteArray body;
        bool tooLarge = false;

        // Takes what is there, one byte past the bound at most.
        void take(QNetworkReply &from, qint64 bound)
        {
            body += from.read(std::min(from.bytesAvailable(), bound + 1 - body.size()));
        }
    };

    QNetworkAccessManager &manager()
    {
        if (!m_manager) {
            m_manager = new QNetworkAccessManager(this);
            auto *cache = new PictureDiskCache(m_manager);
            cache->setCacheDirectory(m_cacheDirectory);
            cache->setMaximumCacheSize(m_limits.diskCacheBytes);
            m_manager->setCache(cache);
        }
        return *m_manager;
    }

    QString m_cacheDirectory;
    ImageNetworkLimits m_limits;
    QNetworkAccessManager *m_manager = nullptr;
    QHash<quint64, QPointer<QNetworkReply>> m_replies;
};

ImageNetwork &ImageNetwork::shared()
{
    static QPointer<ImageNetwork> instance;
    if (!instance) {
        const QString base = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
        instance = new ImageNetwork(
            QDir(base).filePath(QStringLiteral("images")), QCoreApplication::instance());
    }
    return *instance;
}

ImageNetwork::ImageNetwork(const QString &cacheDirectory, QObject *parent)
    : ImageNetwork(cacheDirectory, ImageNetworkLimits(), parent)
{ }

ImageNetwork::ImageNetwork(
    const QString &cacheDirectory, ImageNetworkLimits limits, QObject *parent)
    : QObject(parent)
    , m_cacheDirectory(cacheDirectory)
{
    m_thread.setObjectName(QStringLiteral("ImageNetwork"));
    m_worker = new ImageNetworkWorker(cacheDirectory, limits);
    m_worker->moveToThread(&m_thread);
    // Deleted on its own thread as that thread ends: a deferred delete posted then may never run.
    connect(
        &m_thread, &QThread::finished, m_worker, [worker = m_worker] { delete worker; },
        Qt::DirectConnection);
    m_thread.start();
}

ImageNetwork::~ImageNetwork()
{
    m_thread.quit();
    m_thread.wait();
}

QNetworkRequest ImageNetwork::request(const QUrl &url, QNetworkRequest::Priority priority)
{
    QNetworkRequest request(url);
    request.setPriority(priority);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::PreferCache);
    request.setAttribute(
        QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setTransferTimeout(requestTimeoutMs);
    return request;
}

quint64 ImageNetwork::fetch(const QUrl &url, BodyCallback done, QNetworkRequest::Priority priority)
{
    const quint64 id = m_nextId.fetch_add(1);
    QMetaObject::invokeMethod(
        m_worker,
        [worker = m_worker, id, url, done = std::move(done), priority] {
            worker->start(id, url, done, priority);
        },
        Qt::QueuedConnection);
    return id;
}

quint64 ImageNetwork::load(const QUrl &url, const QString &cacheKey, int maxPixelSize,
    ImageCallback done, QNetworkRequest::Priority priority)
{
    {
        std::lock_guard lock(m_loading->mutex);
        ++m_loading->count[cacheKey];
    }
    auto finish = [loading = m_loading, cacheKey, done = std::move(done)](QImage image) {
        {
            std::lock_guard lock(loading->mutex);
            if (--loading->count[cacheKey] <= 0)
                loading->count.remove(cacheKey);
        }
        done(std::move(image));
    };
    return fetch(
        url,
        [cacheKey, maxPixelSize, finish = std::move(finish)](std::optional<QByteArray> body) {
            if (!body) {
                finish(QImage());
                return;
            }
            ImageDecoder::pool().start([body = std::move(*body), cacheKey, maxPixelSize, finish] {
                QImage image = ImageDecoder::downsample(body, maxPixelSize);
                if (!image.isNull())
                    ImageCache::shared().insert(image, cacheKey);
                finish(std::move(image));
            });
        },
        priority);
}

bool ImageNetwork::isLoading(const QString &cacheKey) const
{
    std::lock_guard lock(m_loading->mutex);
    return m_loading->count.contains(cacheKey);
}

void ImageNetwork::abort(quint64 id)
{
    QMetaObject::invokeMethod(
        m_worker, [worker = m_worker, id] { worker->abort(id); }, Qt::QueuedConnection);
}

bool isPictureAddress(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != u"http" && scheme != u"https") || url.host().isEmpty())
        return false;
    // QUrl has already written any numeric form of an IPv4 address as four decimals.
    QString host = url.host();
    if (host.endsWith(u'.'))
        host.chop(1);
    const QHostAddress literal(host);
    return literal.isNull() || !literal.isLinkLocal();
}

bool isPictureRedirect(const QUrl &from, const QUrl &to)
{
    const bool downgrade = from.scheme().compare(u"https", Qt::CaseInsensitive) == 0
        && to.scheme().compare(u"https", Qt::CaseInsensitive) != 0;
    return isPictureAddress(to) && !downgrade;
}

QUrl resolveImageUrl(const QString &text)
{
    QUrl url = MediaURL::make(text).value_or(QUrl(text));
    return isPictureAddress(url) ? url : QUrl();
}

} // namespace orvella
