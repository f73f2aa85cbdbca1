// What a player reports of its item's progress and buffer, from mpv's state as last observed.
#include "platform/MpvMediaPlayer.h"

#include <cmath>

namespace orvella {

double MpvMediaPlayer::rate() const
{
    const bool advancing = m_hasItem && m_fileLoaded && !m_paused && !m_coreIdle
        && !m_pausedForCache && !m_eofReached;
    return advancing ? 1.0 : 0.0;
}

double MpvMediaPlayer::currentTime() const
{
    return m_hasItem && m_timeKnown ? itemTime() : std::nan("");
}

double MpvMediaPlayer::duration() const
{
    if (!m_hasItem || !m_durationKnown)
        return std::nan("");
    // A live stream has no length.
    if (m_settings.waitsToMinimizeStalling && !m_seekable)
        return INFINITY;
    return itemLength();
}

QList<MediaTimeRange> MpvMediaPlayer::loadedTimeRanges() const
{
    return m_hasItem ? m_timeline.itemRanges(m_cacheRanges) : QList<MediaTimeRange> {};
}

QList<MediaTimeRange> MpvMediaPlayer::seekableTimeRanges() const
{
    if (!m_hasItem || !m_fileLoaded)
        return {};
    if (m_seekable && m_durationKnown && std::isfinite(itemLength()) && itemLength() > 0)
        return { { 0, itemLength() } };
    return m_timeline.itemRanges(m_cacheRanges);
}

bool MpvMediaPlayer::isPlaybackLikelyToKeepUp() const
{
    return m_fileLoaded && !m_pausedForCache && !m_underrun;
}

bool MpvMediaPlayer::isPlaybackBufferEmpty() const
{
    if (!m_fileLoaded)
        return true;
    return m_underrun || (m_pausedForCache && m_cacheDuration < 0.1);
}

} // namespace orvella
