#include "ui/ImagePrefetcher.h"

#include "ui/ImageCache.h"
#include "ui/ImageDecoder.h"
#include "ui/ImageNetwork.h"

#include <QSet>

namespace orvella {

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
    for (const QString &url : wanted) {
        ImageNetwork::shared().load(
            resolveImageUrl(url), ImageCache::key(url, pixelSize), limit, [](const QImage &) {});
    }
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
