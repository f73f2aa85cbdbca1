#pragma once

#include "api/ContentModels.h"

#include <QPointer>
#include <QString>
#include <chrono>
#include <optional>

namespace orvella {

class AppModel;

// The episode player's viewing history. An episode resumes where the local history, else its
// continue-watching entry, left it (a point in its last 10 seconds starts over). While it plays,
// one view is reported once playback reaches 10 seconds, and the position at once and then at
// most every 30 seconds; leaving makes one more record, with the last position seen while the
// player was ready, sent after the screen is gone. Nothing counts before the player has been
// ready with its start position applied. Each record updates the continue-watching entry and goes
// to the service (signed in) or to the local history (guest).
class EpisodeViewingHistory
{
public:
    static constexpr double viewAfterSeconds = 10;
    static constexpr std::chrono::seconds recordSpacing { 30 };

    void setEpisode(AppModel *app, const QString &episodeId);

    // Where playback of the episode starts; none leaves it to the player. `knownDuration` is the
    // length known so far (the item's, else the episode's).
    [[nodiscard]] std::optional<double> resumePosition(std::optional<double> knownDuration) const;
    // A resume point this close to the end starts the episode again.
    [[nodiscard]] static bool startsOver(double position, double duration);

    // A new load: nothing is reported until its start position is applied.
    void loadStarted() { m_ready = false; }
    void startApplied() { m_ready = true; }
    [[nodiscard]] bool ready() const { return m_ready; }
    [[nodiscard]] bool viewPosted() const { return m_viewPosted; }
    // Where playback was while last ready; none when it never was.
    [[nodiscard]] std::optional<double> lastReadyPosition() const { return m_lastReadyPosition; }

    // One time tick of the player: reports what is due.
    void tick(const EpisodeDetail &episode, double position, double playerDuration,
        std::chrono::milliseconds now);
    // The screen goes: the leave record, when the player was ever ready.
    void leave(const EpisodeDetail &episode, double playerDuration);

private:
    void record(const EpisodeDetail &episode, double position, double playerDuration);

    QPointer<AppModel> m_app;
    QString m_episodeId;
    bool m_ready = false;
    bool m_viewPosted = false;
    std::optional<std::chrono::milliseconds> m_lastRecordAt; // none: the distant past
    std::optional<double> m_lastReadyPosition;
};

} // namespace orvella
