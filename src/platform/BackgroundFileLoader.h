#pragma once

#include <QImage>
#include <QString>

namespace orvella {

// A custom background file as one still picture: images and GIFs (first frame) through
// QImageReader, else the first frame of a movie with its display rotation applied. A null image
// when the file is neither.
[[nodiscard]] QImage loadBackgroundPicture(const QString &path);

// The first video frame of a movie file, turned as the file's display rotation says.
[[nodiscard]] QImage firstMovieFrame(const QString &path);

} // namespace orvella
