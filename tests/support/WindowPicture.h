#pragma once

#include <QImage>
#include <QQuickWindow>

namespace orvella::test {

// The window's picture as the display shows it, opaque. Its alpha means nothing on screen (the
// window has no alpha channel), and the software scene graph leaves it below full where opaque
// video frames were copied in; a PNG would keep that alpha and show the picture washed out.
inline QImage windowPicture(QQuickWindow &window)
{
    QImage picture = window.grabWindow();
    switch (picture.format()) {
    case QImage::Format_ARGB32_Premultiplied:
        picture.reinterpretAsFormat(QImage::Format_RGB32);
        break;
    case QImage::Format_RGBA8888_Premultiplied:
        picture.reinterpretAsFormat(QImage::Format_RGBX8888);
        break;
    default:
        break;
    }
    return picture;
}

} // namespace orvella::test
