#pragma once

#include "platform/SleepInhibitor.h"

#include <QString>
#include <cstdint>
#include <memory>

namespace orvella {

// The one holder of the display and idle-sleep claims while live playback is on screen.
// Switching it on twice holds the claims once; switching it off releases both.
class PlaybackSleepGuard
{
public:
    static PlaybackSleepGuard &shared();

    explicit PlaybackSleepGuard(std::unique_ptr<SleepInhibitor> inhibitor);
    PlaybackSleepGuard(const PlaybackSleepGuard &) = delete;
    PlaybackSleepGuard &operator=(const PlaybackSleepGuard &) = delete;
    ~PlaybackSleepGuard();

    void setActive(bool active, const QString &reason);
    // The live channel's claim, held while live plays on screen (with the reason texts the
    // desktop shows for it).
    void holdForLive(bool live);
    [[nodiscard]] bool isActive() const { return m_isActive; }
    [[nodiscard]] std::uint32_t displayAssertionId() const { return m_displayAssertionId; }
    [[nodiscard]] std::uint32_t systemAssertionId() const { return m_systemAssertionId; }

    // Replaces the platform claims (tests); releases whatever the old one held first.
    void setInhibitor(std::unique_ptr<SleepInhibitor> inhibitor);

private:
    std::unique_ptr<SleepInhibitor> m_inhibitor;
    std::uint32_t m_displayAssertionId = 0;
    std::uint32_t m_systemAssertionId = 0;
    bool m_isActive = false;
};

} // namespace orvella
