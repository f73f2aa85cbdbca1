#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace orvella {

// The pictures the studio ships, by asset name: the twenty background pictures (1920x1080
// JPEG, aspect-filled behind the speaker) and, for the two logo assets, the emblem on a
// transparent ground that the animated backgrounds draw into squares. They live in a resource
// library of their own; a program that does not link it finds none, which the studio tolerates.
namespace studioPictures {

inline constexpr QSize pictureSize { 1920, 1080 };

// The resource path of the background picture; empty when it is not shipped.
[[nodiscard]] QString picturePath(const QString &assetName);
// Decoded, scaled while decoding when a size is given (the aspect ratio kept, covering it);
// null when the picture is not shipped or cannot be read.
[[nodiscard]] QImage loadPicture(const QString &assetName, QSize decodeSize = {});
// The emblem the animated backgrounds draw for OrvellaLogoTiles and OrvellaBrandBG; null for
// any other name or when it is not shipped.
[[nodiscard]] QImage loadLogo(const QString &assetName);

} // namespace studioPictures

} // namespace orvella
