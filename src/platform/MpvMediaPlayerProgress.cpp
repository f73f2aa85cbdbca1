// What a player reports of its item's progress and buffer, from mpv's state as last observed,
// and the checks on that progress: an end that came short, a picture lost, a position stuck.
#include "platform/MpvMediaPlayer.h"

#include <cmath>

namespace orvella {

namespace {
// A file that stops more than this short of its length was cut, not finished.
constexpr double endTolerance = 1.0;
// A picture that ends more than this short of the item's length was lost: a video may end a
// second or two before its sound.
constexpr double pictureEndTolerance = 3.0;
} // namespace

double MpvMediaPlayer::rate() const
{
    const bool advancing = m_hasItem && m_fileLoaded && !m_paused && !m_coreIdle
        && !m_pausedForCache && !m_eofReached;
    return advancing ? 1.0 : 0.0;
}

double MpvMediaPlayer::currentTime() const
{
    // A joined item's time stays known while a load made for a seek replaces its file.
    const bool known
        = m_timeKnown || (m_timeline.keepsTime() && (m_seekLoading || m_timeline.isSeeking()));
    return m_hasItem && known ? itemTime() : std::nan("");
}

double MpvMediaPlayer::duration() const
{
    // A joined item's length is its playlist's, whatever file mpv holds.
    if (!m_hasItem || !(m_durationKnown || m_timeline.keepsTime()))
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

void MpvMediaPlayer::watchProgress(bool moved)
{
    // Live passes over a hung request and has its owners' recovery; before the first picture the
    // start bound counts. Paused (by the viewer, or by mpv at the item's end) nothing should move.
    const bool seeking = m_seekSettled != m_seekRequested;
    const bool shouldMove = m_hasItem && !m_givenUp && !m_settings.waitsToMinimizeStalling
        && m_status == ItemStatus::ReadyToPlay && (seeking || (!m_paused && !m_eofReached));
    if (!shouldMove)
        m_progressBound.stop();
    else if (moved || !m_progressBound.isActive())
        m_progressBound.start(m_timeouts.progress);
}

void MpvMediaPlayer::updateRate()
{
    const double now = rate();
    if (now != m_lastRate) {
        m_lastRate = now;
        emit rateChanged();
    }
}

void MpvMediaPlayer::onEofReached()
{
    if (!m_hasItem)
        return;
    // The load ended at a join libmpv cannot play across: the item goes on from there.
    if (const auto join = m_timeline.loadEnd()) {
        if (!m_seekLoading && !m_givenUp)
            loadOnFromJoin(*join);
        return;
    }
    // A seek that reached the end without landing short of it is not where the item is: the end
    // counts from where the picture was.
    if (m_timeline.isSeeking() && m_timeline.position() < itemLength() - endTolerance)
        m_timeline.seekEnded();
    // A stream whose segments fail stops early as if it had ended: an on-demand item that
    // stops well short of its length failed.
    const bool cut = m_durationKnown && m_timeKnown && std::isfinite(itemLength())
        && itemLength() > 0 && itemTime() < itemLength() - endTolerance;
    if (cut)
        emit failedToPlayToEnd();
    else
        emit playedToEnd();
}

void MpvMediaPlayer::checkPictureLost()
{
    // libmpv passes over video segments that fail; once the video's playlist is read to its end
    // the separate sound plays on under the last picture, and the item seems to play. Only while
    // playback goes on: paused, waiting for data or seeking, the position tells nothing.
    if (!m_hasItem || m_givenUp || !m_fileLoaded || !m_movingPicture || !m_readerAtEnd
        || !m_timeKnown || m_seekSettled != m_seekRequested)
        return;
    // Nothing read before the end (a seek into what fails): the picture ended where playback was.
    if (!m_readEnd)
        m_readEnd = m_time;
    if (m_paused || m_pausedForCache)
        return;
    const double length = duration();
    const double readEnd = m_timeline.itemTime(*m_readEnd);
    if (!std::isfinite(length) || readEnd >= length - pictureEndTolerance)
        return;
    if (itemTime() > readEnd + endTolerance && itemTime() < length - endTolerance) {
        giveUp(QStringLiteral("its picture stopped at %1 s of %2 s while the sound went on")
                   .arg(QString::number(readEnd, 'f', 3), QString::number(length, 'f', 3)));
    }
}

} // namespace orvella
