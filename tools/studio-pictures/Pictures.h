#pragma once

// The studio's pictures, each painted from nothing but code: the seventeen places, the three
// branded backdrops and the logos.

#include "Brushwork.h"

#include <QImage>
#include <QString>
#include <functional>
#include <vector>

namespace paint {

inline constexpr int pictureWidth = 1920;
inline constexpr int pictureHeight = 1080;

struct Picture
{
    QString name; // the asset name; the file is the name with the format's extension
    std::function<QImage()> paint;
    QByteArray format = "jpg";
    QString folder = QStringLiteral("studio/backgrounds"); // under the source folder
    int quality = 84; // JPEG only
};

[[nodiscard]] std::vector<Picture> placePictures();
[[nodiscard]] std::vector<Picture> brandedPictures();

// Repaints the scene in strokes and finishes it as a place picture.
[[nodiscard]] QImage painterly(const Canvas &scene, const BrushPlan &plan, float vignette = 0.22f);

} // namespace paint
