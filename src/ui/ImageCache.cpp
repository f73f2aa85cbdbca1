#include "ui/ImageCache.h"

#include <cmath>

namespace orvella {

ImageCache::ImageCache(qsizetype countLimit, qint64 costLimit)
    : m_countLimit(countLimit)
    , m_costLimit(costLimit)
{ }

ImageCache &ImageCache::shared()
{
    static ImageCache cache;
    return cache;
}

QString ImageCache::key(const QString &url, double targetPixelSize)
{
    const double whole = std::isfinite(targetPixelSize) ? std::trunc(targetPixelSize) : 0.0;
    return url + u'#' + QString::number(whole == 0.0 ? 0.0 : whole, 'f', 0);
}

void ImageCache::insert(const QImage &image, const QString &key)
{
    if (image.isNull())
        return;
    const qint64 cost = std::max<qint64>(1, qint64(image.width()) * image.height());
    std::lock_guard lock(m_mutex);
    if (const auto it = m_index.find(key); it != m_index.end()) {
        m_totalCost -= it.value()->cost;
        m_entries.erase(it.value());
        m_index.erase(it);
    }
    m_entries.push_front(Entry { key, image, cost });
    m_index.insert(key, m_entries.begin());
    m_totalCost += cost;
    evictLocked();
}

std::optional<QImage> ImageCache::find(const QString &key)
{
    std::lock_guard lock(m_mutex);
    const auto it = m_index.find(key);
    if (it == m_index.end())
        return std::nullopt;
    m_entries.splice(m_entries.begin(), m_entries, it.value());
    return m_entries.front().image;
}

bool ImageCache::contains(const QString &key) const
{
    std::lock_guard lock(m_mutex);
    return m_index.contains(key);
}

void ImageCache::clear()
{
    std::lock_guard lock(m_mutex);
    m_entries.clear();
    m_index.clear();
    m_totalCost = 0;
}

qsizetype ImageCache::count() const
{
    std::lock_guard lock(m_mutex);
    return m_index.size();
}

qint64 ImageCache::totalCost() const
{
    std::lock_guard lock(m_mutex);
    return m_totalCost;
}

void ImageCache::evictLocked()
{
    // The newest entry stays even when it alone exceeds the budget, so a picture just decoded
    // is always shown.
    while (m_entries.size() > 1
        && (qsizetype(m_entries.size()) > m_countLimit || m_totalCost > m_costLimit)) {
        const Entry &oldest = m_entries.back();
        m_totalCost -= oldest.cost;
        m_index.remove(oldest.key);
        m_entries.pop_back();
    }
}

} // namespace orvella
