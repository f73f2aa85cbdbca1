#pragma once

#include <QObject>
#include <QStringList>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>
#include <optional>
#include <vector>

namespace orvella {

// Warms the shared image cache for rows of pictures before they scroll into view.
class ImagePrefetcher : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    static constexpr qsizetype maxPerCall = 160;

    explicit ImagePrefetcher(QObject *parent = nullptr);

    // Drops absent and empty entries and duplicates, keeps at most 160, and returns the
    // addresses that would be fetched (those not yet cached at that size).
    [[nodiscard]] static QStringList plan(
        const std::vector<std::optional<QString>> &urls, double pixelSize);

    // Queues one background fetch and decode per planned address and returns at once with
    // their number. They run two at a time behind the pictures on screen; nothing waits for
    // them or cancels them; failures end silently.
    static int prefetch(const std::vector<std::optional<QString>> &urls, double pixelSize);

    // For QML: a list of strings (null and undefined entries count as absent).
    Q_INVOKABLE static int prefetch(const QVariantList &urls, double pixelSize);
};

} // namespace orvella
