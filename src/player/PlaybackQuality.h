#pragma once

#include <QList>
#include <QSize>
#include <QString>
#include <QVariantList>
#include <optional>

namespace orvella {

// One stream-quality choice: "Auto" or a cap on peak bit rate and picture size.
struct PlaybackQuality
{
    QString id;
    QString label;
    std::optional<double> maxBitrate; // bits per second
    std::optional<QSize> maxResolution;

    friend bool operator==(const PlaybackQuality &, const PlaybackQuality &) = default;

    // The ten rows, Auto first.
    [[nodiscard]] static const QList<PlaybackQuality> &all();
    // The row for a stored quality name; old resolution names ("720p", "4K", …) map to their
    // caps, anything unknown to Auto.
    [[nodiscard]] static const PlaybackQuality &option(QStringView name);
    [[nodiscard]] static const PlaybackQuality &automatic();

    // The rows as {id, label} maps, for menus built in QML.
    [[nodiscard]] static QVariantList menuRows();
};

size_t qHash(const PlaybackQuality &quality, size_t seed = 0) noexcept;

} // namespace orvella
