#include "platform/FakeMediaPlayer.h"

namespace orvella {

void FakeMediaPlayer::replaceCurrentItem(const QUrl &url, const MediaItemSettings &settings)
{
    loads.push_back({ url, settings });
    m_hasItem = true;
    m_url = url;
    m_status = ItemStatus::Unknown;
    m_peak = 0;
    m_maxSize = {};
    m_selected.reset();
    m_loaded.clear();
    m_seekable.clear();
    emit currentItemChanged();
}

void FakeMediaPlayer::clearCurrentItem()
{
    m_hasItem = false;
    m_url = QUrl();
    m_status = ItemStatus::Unknown;
    setRate(0);
    emit currentItemChanged();
}

void FakeMediaPlayer::play()
{
    ++playCalls;
    setPaused(false);
    setRate(m_hasItem ? playRate : 0);
}

void FakeMediaPlayer::pause()
{
    ++pauseCalls;
    setPaused(true);
    setRate(0);
}

void FakeMediaPlayer::setPaused(bool paused)
{
    if (m_paused == paused)
        return;
    m_paused = paused;
    emit pausedChanged();
}

void FakeMediaPlayer::finishItem()
{
    setPaused(true);
    setRate(0);
    emit playedToEnd();
}

void FakeMediaPlayer::setRate(double rate)
{
    if (m_rate == rate)
        return;
    m_rate = rate;
    emit rateChanged();
}

void FakeMediaPlayer::setItemStatus(ItemStatus status)
{
    m_status = status;
    emit itemStatusChanged();
}

QCoro::Task<bool> FakeMediaPlayer::seek(double seconds)
{
    seeks.push_back(seconds);
    if (holdSeeks)
        co_await qCoro(this, &FakeMediaPlayer::seeksCompleted);
    m_time = seconds;
    co_return true;
}

void FakeMediaPlayer::completeSeeks()
{
    emit seeksCompleted();
}

QCoro::Task<std::optional<QList<LegibleOption>>> FakeMediaPlayer::loadLegibleOptions()
{
    co_return m_hasItem ? legibleOptions : std::nullopt;
}

void FakeMediaPlayer::selectLegibleOption(std::optional<int> index)
{
    ++legibleSelections;
    m_selected = index;
}

} // namespace orvella
