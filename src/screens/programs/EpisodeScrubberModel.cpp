#include "screens/programs/EpisodeScrubberModel.h"

#include "player/PlayerController.h"
#include "screens/programs/EpisodeText.h"

#include <algorithm>

namespace orvella {

EpisodeScrubberModel::EpisodeScrubberModel(std::function<void()> activity, QObject *parent)
    : QObject(parent)
    , m_activity(std::move(activity))
{ }

void EpisodeScrubberModel::setPlayer(PlayerController *player)
{
    if (m_player)
        disconnect(m_player, nullptr, this, nullptr);
    m_player = player;
    if (m_player) {
        for (auto signal : { &PlayerController::durationChanged,
                 &PlayerController::currentTimeChanged, &PlayerController::bufferedChanged }) {
            connect(m_player, signal, this, &EpisodeScrubberModel::changed);
        }
    }
    emit changed();
}

QString EpisodeScrubberModel::elapsedText() const
{
    return episodes::formatTime(m_player ? m_player->currentTime() : 0);
}

QString EpisodeScrubberModel::totalText() const
{
    const double duration = m_player ? m_player->duration() : 0;
    return duration > 0 ? episodes::formatTime(duration) : QStringLiteral("--:--");
}

double EpisodeScrubberModel::maximum() const
{
    return std::max(m_player ? m_player->duration() : 0.0, 1.0);
}

double EpisodeScrubberModel::position() const
{
    return std::min(m_player ? m_player->currentTime() : 0.0, maximum());
}

double EpisodeScrubberModel::bufferedFraction() const
{
    if (!m_player)
        return 0;
    return std::clamp(m_player->buffered() / maximum(), 0.0, 1.0);
}

void EpisodeScrubberModel::moved(double seconds)
{
    m_drag = seconds;
    emit changed();
    if (m_activity)
        m_activity();
}

void EpisodeScrubberModel::released()
{
    const std::optional<double> target = std::exchange(m_drag, std::nullopt);
    if (!target)
        return;
    if (m_player)
        m_player->seekTo(*target);
    emit changed();
}

} // namespace orvella
