#include "ui/ImagePrefetcher.h"

#include "ui/ImageCache.h"
#include "ui/ImageDecoder.h"
#include "ui/ImageNetwork.h"

#include <QCoreApplication>
#include <QSet>
#include <deque>

namespace orvella {

namespace {

// Prefetches run a few at a time, so that the pictures on screen always find free
// connections; a picture that reached the cache, or is on its way there, while it waited is
// not fetched again. Main thread only.
class PrefetchQueue
{
public:
    static constexpr int maxRunning = 2;

    struct Job
    {
        QUrl url;
        QString key;
        int pixelLimit = 0;
    };

    static PrefetchQueue &shared()
    {
        static PrefetchQueue queue;
        return queue;
    }

    void add(Job job)
    {
        m_waiting.push_back(std::move(job));
        startNext();
    }

private:
    void startNext()
    {
        while (m_running < maxRunning && !m_waiting.empty()) {
            Job job = std::move(m_waiting.front());
            m_waiting.pop_front();
            if (ImageCache::shared().contains(job.key) || ImageNetwork::shared().isLoading(job.key))
                continue;
            ++m_running;
            ImageNetwork::shared().load(job.url, job.key, job.pixelLimit, [this](const QImage &) {
                // Back to the main thread; a process that is ending starts nothing more.
                if (QCoreApplication *application = QCoreApplication::instance()) {
                    QMetaObject::invokeMethod(
                        application,
                        [this] {
                            --m_running;
                            startNext();
                        },
                        Qt::QueuedConnection);
                }
            });
        }
    }

    std::deque<Job> m_waiting;
    int m_running = 0;
};

} // namespace

ImagePrefetcher::ImagePrefetcher(QObject *parent)
    : QObject(parent)
{ }

QStringList ImagePrefetcher::plan(const std::vector<std::optional<QString>> &urls, double pixelSize)
{
    QStringList unique;
    QSet<QString> seen;
    for (const auto &url : urls) {
        if (!url || url->isEmpty() || seen.contains(*url))
            continue;
        seen.insert(*url);
        unique.append(*url);
        if (unique.size() == maxPerCall)
            break;
    }
    QStringList wanted;
    for (const QString &url : std::as_const(unique)) {
        if (ImageCache::shared().contains(ImageCache::key(url, pixelSize)))
            continue;
        if (!resolveImageUrl(url).isValid())
            continue;
        wanted.append(url);
    }
    return wanted;
}

int ImagePrefetcher::prefetch(const std::vector<std::optional<QString>> &urls, double pixelSize)
{
    const QStringList wanted = plan(urls, pixelSize);
    const int limit = ImageDecoder::pixelLimit(pixelSize);
    for (const QString &url : wanted)
        PrefetchQueue::shared().add(
            { resolveImageUrl(url), ImageCache::key(url, pixelSize), limit });
    return int(wanted.size());
}

int ImagePrefetcher::prefetch(const QVariantList &urls, double pixelSize)
{
    std::vector<std::optional<QString>> list;
    list.reserve(urls.size());
    for (const QVariant &value : urls) {
        if (value.isNull() || !value.isValid())
            list.emplace_back(std::nullopt);
        else
            list.emplace_back(value.toString());
    }
    return prefetch(list, pixelSize);
}

} // namespace orvella
