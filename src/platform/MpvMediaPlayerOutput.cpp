// The video side of a player: drawing through OpenGL or in software, and holding a file's
// opening until there is a surface to draw on.
#include "platform/MpvCore.h"
#include "platform/MpvLibrary.h"
#include "platform/MpvMediaPlayer.h"
#include "platform/MpvOpenGlRenderer.h"
#include "platform/MpvSoftwareRenderer.h"
#include "platform/PlatformLog.h"

#include <QPointer>
#include <algorithm>
#include <cmath>

namespace orvella {

void MpvMediaPlayer::startSoftwareOutput()
{
    // Drawn as the OpenGL output draws it (bilinear scaling, no dither), which also keeps the
    // conversion cheap.
    m_core->setOption("zimg-scaler", "bilinear");
    m_core->setOption("zimg-dither", "no");
    QPointer self(this);
    m_software = std::make_unique<MpvSoftwareRenderer>(m_core, [self] {
        QMetaObject::invokeMethod(
            self,
            [self] {
                if (self)
                    self->noteFrame();
            },
            Qt::QueuedConnection);
    });
    if (!m_softwareFrameSize.isEmpty())
        m_software->setFrameSize(m_softwareFrameSize);
    m_surfaceReady = m_software->isValid();
}

void MpvMediaPlayer::useSoftwareOutput()
{
    if (!m_openGl)
        return;
    qCDebug(lcPlayer) << "The OpenGL driver draws in software: video is scaled in software";
    m_openGl = false;
    startSoftwareOutput();
    emit outputChanged();
    if (m_surfaceReady) {
        // A file held for want of a surface goes on; a load held back goes out.
        releaseHeldOpening();
        loadWhenPossible();
        armStartBound();
    }
}

QImage MpvMediaPlayer::softwareFrame() const
{
    return m_software ? m_software->frame() : QImage();
}

void MpvMediaPlayer::setSoftwareFrameSize(QSize pixels)
{
    m_softwareFrameSize = pixels;
    if (m_software)
        m_software->setFrameSize(pixels);
}

void MpvMediaPlayer::setVideoFill(bool fill)
{
    m_fill = fill;
    if (m_core)
        m_core->setProperty("panscan", fill ? 1.0 : 0.0);
}

void MpvMediaPlayer::setCaptionInset(double share)
{
    // mpv places captions at a share of the surface's height: 100 is the bottom, 0 the top.
    m_captionPosition = std::lround(100.0 * (1.0 - std::clamp(share, 0.0, 1.0)));
    if (m_core)
        m_core->setProperty("sub-pos", m_captionPosition);
}

void MpvMediaPlayer::noteFrame()
{
    if (!m_firstFrameSeen && m_fileLoaded) {
        m_firstFrameSeen = true;
        m_startBound.stop();
        emit firstFrameRendered();
    }
    emit frameRendered();
}

QQuickFramebufferObject::Renderer *MpvMediaPlayer::createOpenGlRenderer()
{
    if (!m_openGl)
        return nullptr;
    if (!core())
        return nullptr;
    return new MpvOpenGlRenderer(m_core, this);
}

void MpvMediaPlayer::releaseHeldOpening()
{
    if (m_heldOpening == 0)
        return;
    mpvLibrary().hook_continue(m_core->handle(), m_heldOpening);
    m_heldOpening = 0;
}

void MpvMediaPlayer::surfaceAttached()
{
    // The OpenGL surface's news, queued from the render thread: once the player has moved to
    // software output it needs no surface, and a late word from the old one changes nothing.
    if (!m_openGl)
        return;
    m_surfaceReady = true;
    releaseHeldOpening();
    loadWhenPossible();
    armStartBound();
}

void MpvMediaPlayer::surfaceDetached()
{
    if (!m_openGl)
        return;
    m_surfaceReady = false;
    armStartBound();
    // Video stops with its surface: the item is loaded again when a surface returns.
    if (m_hasItem && m_issued && !m_givenUp) {
        m_issued = false;
        m_fileLoaded = false;
        m_currentEntry = noEntry;
        m_status = ItemStatus::Unknown;
        releaseHeldOpening();
        m_core->commandAsync({ QStringLiteral("stop") });
        emit itemStatusChanged();
    }
}

} // namespace orvella
