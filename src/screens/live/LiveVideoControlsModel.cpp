#include "screens/live/LiveVideoControlsModel.h"

#include "player/PlayerController.h"

#include <algorithm>
#include <cmath>

namespace orvella {

LiveVideoControlsModel::LiveVideoControlsModel(QObject *parent)
    : QObject(parent)
{ }

void LiveVideoControlsModel::setPlayer(PlayerController *player)
{
    if (!m_player.repoint(player))
        return;
    for (auto signal : { &PlayerController::isPlayingChanged, &PlayerController::isMutedChanged,
             &PlayerController::volumeChanged, &PlayerController::currentTimeChanged,
             &PlayerController::durationChanged, &PlayerController::isLiveChanged,
             &PlayerController::seekableChanged })
        m_player.forward(signal, this, &LiveVideoControlsModel::changed);
    emit playerChanged();
    emit changed();
}

double LiveVideoControlsModel::spanStart() const
{
    return m_player && m_player->isLive() ? m_player->seekableStart() : 0;
}

double LiveVideoControlsModel::spanEnd() const
{
    if (!m_player)
        return 0;
    return m_player->isLive() ? m_player->seekableEnd() : m_player->duration();
}

QString LiveVideoControlsModel::timeLabel(double seconds)
{
    if (!std::isfinite(seconds) || !(seconds > 0))
        return QStringLiteral("0:00");
    const auto whole = static_cast<long long>(seconds);
    return QString::asprintf("%lld:%02lld", whole / 60, whole % 60);
}

QString LiveVideoControlsModel::qualityText(const QString &quality)
{
    const QString trimmed = quality.trimmed();
    return trimmed.isEmpty() ? QStringLiteral("Auto") : trimmed;
}

QString LiveVideoControlsModel::nextTitle(const QString &showingNext)
{
    const QString trimmed = showingNext.trimmed();
    return trimmed.isEmpty() ? QStringLiteral("—") : trimmed;
}

QString LiveVideoControlsModel::positionText() const
{
    return timeLabel(m_player ? m_player->currentTime() - spanStart() : 0);
}

QString LiveVideoControlsModel::endLabel() const
{
    if (!m_player)
        return timeLabel(0);
    if (!m_player->isLive())
        return timeLabel(m_player->duration());
    const double window = m_player->seekableEnd() - m_player->seekableStart();
    return window > 1 ? timeLabel(window) : QStringLiteral("LIVE");
}

double LiveVideoControlsModel::progress() const
{
    if (!m_player)
        return 0;
    const double p
        = (m_player->currentTime() - spanStart()) / std::max(spanEnd() - spanStart(), 1.0);
    return std::isnan(p) ? 0 : std::clamp(p, 0.0, 1.0);
}

QString LiveVideoControlsModel::playGlyph() const
{
    return m_player && m_player->isPlaying() ? QStringLiteral("⏸") : QStringLiteral("▶");
}

bool LiveVideoControlsModel::muteActive() const
{
    return m_player && !m_player->isMuted() && m_player->volume() > 0;
}

QString LiveVideoControlsModel::muteGlyph() const
{
    return muteActive() ? QStringLiteral("🔊") : QStringLiteral("🔇");
}

double LiveVideoControlsModel::volume() const
{
    return m_player ? m_player->volume() : 0;
}

void LiveVideoControlsModel::seekAt(double x, double width)
{
    const double fraction = std::clamp(x / std::max(width, 1.0), 0.0, 1.0);
    seekFraction(std::isnan(fraction) ? 0 : fraction);
}

void LiveVideoControlsModel::seekFraction(double fraction)
{
    if (!m_player)
        return;
    const double start = spanStart();
    m_player->seekTo(start + fraction * std::max(spanEnd() - start, 1.0));
}

void LiveVideoControlsModel::toggleMute()
{
    // The volume is left alone: unmuting at volume 0 still shows the muted glyph.
    if (m_player)
        m_player->setMuted(!m_player->isMuted());
}

void LiveVideoControlsModel::togglePlay()
{
    if (m_player)
        m_player->togglePlay();
}

void LiveVideoControlsModel::setVolume(double value)
{
    if (m_player)
        m_player->setVolume(float(value));
}

} // namespace orvella
