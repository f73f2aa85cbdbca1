#pragma once

#include <QHash>
#include <QImage>
#include <QString>
#include <list>
#include <mutex>
#include <optional>

namespace orvella {

// The decoded-picture memory cache shared by every remote image and the prefetcher. Entries
// cost their width times height in pixels; the least recently used go first once either the
// count or the pixel budget is exceeded. Safe to use from any thread.
class ImageCache
{
public:
    static constexpr qsizetype defaultCountLimit = 500;
    static constexpr qint64 defaultCostLimit = 134217728;

    explicit ImageCache(
        qsizetype countLimit = defaultCountLimit, qint64 costLimit = defaultCostLimit);

    static ImageCache &shared();

    // The key of a picture at a size: the address as given, "#", the size truncated to a
    // whole number. A size that is not finite counts as 0.
    [[nodiscard]] static QString key(const QString &url, double targetPixelSize);

    void insert(const QImage &image, const QString &key);
    [[nodiscard]] std::optional<QImage> find(const QString &key);
    [[nodiscard]] bool contains(const QString &key) const;
    void clear();

    [[nodiscard]] qsizetype count() const;
    [[nodiscard]] qint64 totalCost() const;

private:
    struct Entry
    {
        QString key;
        QImage image;
        qint64 cost = 1;
    };
    void evictLocked();

    const qsizetype m_countLimit;
    const qint64 m_costLimit;
    mutable std::mutex m_mutex;
    std::list<Entry> m_entries; // most recently used first
    QHash<QString, std::list<Entry>::iterator> m_index;
    qint64 m_totalCost = 0;
};

} // namespace orvella
