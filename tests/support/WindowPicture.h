#pragma once

#include "support/TestAsync.h"

#include <QImage>
#include <QQuickWindow>
#include <QScreen>

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

// The window as the display holds it. A grab would draw the scene again from scratch and cover
// what earlier frames left behind.
inline QImage shownPicture(QQuickWindow &window)
{
    return window.screen()
        ->grabWindow(window.winId())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// Counts the frames a window shows; draw() asks for frames one at a time, each even where
// nothing moves.
class FrameCounter
{
public:
    explicit FrameCounter(QQuickWindow &window)
        : m_window(window)
        , m_counting(QObject::connect(
              &window, &QQuickWindow::frameSwapped, &window, [this] { ++m_frames; }))
    { }
    ~FrameCounter() { QObject::disconnect(m_counting); }
    FrameCounter(const FrameCounter &) = delete;
    FrameCounter &operator=(const FrameCounter &) = delete;

    [[nodiscard]] int frames() const { return m_frames; }

    bool draw(int count)
    {
        for (int i = 0; i < count; ++i) {
            const int next = m_frames + 1;
            m_window.update();
            if (!waitUntil([&] { return m_frames >= next; }))
                return false;
        }
        return true;
    }

private:
    QQuickWindow &m_window;
    int m_frames = 0;
    QMetaObject::Connection m_counting;
};

} // namespace orvella::test
