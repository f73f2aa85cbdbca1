#pragma once

#include "api/ContentModels.h"
#include "core/LocalHistory.h"

#include <QCoro/QCoroTask>
#include <QPointer>
#include <chrono>
#include <optional>

namespace orvella {

class AppModel;

// When the episode player reports: one view once playback reaches 10 seconds, and the position
// at once and then at most every 30 seconds. Nothing counts before the player has been ready
// with its start position applied; the last position seen while ready is kept for the record
// made on leaving.
class EpisodeProgress
{
public:
    static constexpr double viewAfterSeconds = 10;
    static constexpr std::chrono::seconds recordSpacing { 30 };

    struct Step
    {
        bool postView = false;
        bool record = false;
    };

    // A new load: nothing is reported until its start position is applied.
    void loadStarted() { m_ready = false; }
    void startApplied() { m_ready = true; }
    [[nodiscard]] bool ready() const { return m_ready; }
    [[nodiscard]] bool viewPosted() const { return m_viewPosted; }

    // One time tick of the player; says what to send.
    Step tick(double seconds, std::chrono::milliseconds now);
    // Where playback was while last ready; none when it never was.
    [[nodiscard]] std::optional<double> lastReadyPosition() const { return m_lastReadyPosition; }

private:
    bool m_ready = false;
    bool m_viewPosted = false;
    std::optional<std::chrono::milliseconds> m_lastRecordAt; // none: the distant past
    std::optional<double> m_lastReadyPosition;
};

// One record of where the viewer is, made while the screen exists and sent on its own.
struct EpisodeRecord
{
    LocalHistoryEntry entry;
    bool guest = true;
};

// The record for `position` of an episode; the duration is the player's when known, else the
// episode's, else 0.
[[nodiscard]] EpisodeRecord makeEpisodeRecord(const QString &episodeId,
    const EpisodeDetail &episode, double position, double playerDuration, bool guest);

// Updates the app model's continue-watching entry, then posts the record (signed in) or writes
// it to the local history (guest). Needs nothing of the screen: it may run after the screen is
// gone. Failures are dropped.
QCoro::Task<> sendEpisodeRecord(QPointer<AppModel> app, EpisodeRecord record);
QCoro::Task<> postEpisodeView(QPointer<AppModel> app, QString episodeId);

} // namespace orvella
