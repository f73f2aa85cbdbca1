#pragma once

#include "platform/SleepInhibitor.h"

#include <QString>
#include <cstdint>
#include <memory>

namespace orvella {

// The one holder of the display and idle-sleep claims. Switching it on twice holds the claims
// once; switching it off releases both.
//
// The claim follows whichever player is on screen: the live channel holds it for as long as it
// is on screen, an episode while it plays. Owners tell the guard when their player comes on
// screen and goes, and episodes when they start and stop playing; news about a player that is
// not the one on screen changes nothing, so a screen going away after another came cannot
// release the newcomer's claim.
class PlaybackSleepGuard
{
public:
    // The reasons the desktop shows: switching on, and switching off.
    static constexpr const char *onReason = "Orvella Live";
    static constexpr const char *offReason = "Orvella TV playback";

    static PlaybackSleepGuard &shared();

    explicit PlaybackSleepGuard(std::unique_ptr<SleepInhibitor> inhibitor);
    PlaybackSleepGuard(const PlaybackSleepGuard &) = delete;
    PlaybackSleepGuard &operator=(const PlaybackSleepGuard &) = delete;
    ~PlaybackSleepGuard();

    void setActive(bool active, const QString &reason);

    // `player` is on screen now; `awake` says whether it wants the claim.
    void playerShown(const void *player, bool awake);
    // `player` started (true) or stopped wanting the claim; counts only while it is on screen.
    void playerWantsAwake(const void *player, bool awake);
    // `player` left the screen: the claim goes with it, unless another one came meanwhile.
    void playerHidden(const void *player);
    [[nodiscard]] const void *playerOnScreen() const { return m_onScreen; }
    [[nodiscard]] bool isActive() const { return m_isActive; }
    [[nodiscard]] std::uint32_t displayAssertionId() const { return m_displayAssertionId; }
    [[nodiscard]] std::uint32_t systemAssertionId() const { return m_systemAssertionId; }

    // Replaces the platform claims (tests); releases whatever the old one held first.
    void setInhibitor(std::unique_ptr<SleepInhibitor> inhibitor);

private:
    void follow(bool awake);

    std::unique_ptr<SleepInhibitor> m_inhibitor;
    const void *m_onScreen = nullptr;
    std::uint32_t m_displayAssertionId = 0;
    std::uint32_t m_systemAssertionId = 0;
    bool m_isActive = false;
};

} // namespace orvella
