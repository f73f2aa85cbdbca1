#pragma once

#include "core/LocalHistory.h"

// Where the viewer is in episodes whose position the service did not take (an error answer, a
// time-out, no network, or a process that ended first): the latest per episode, kept on this
// computer for the signed-in viewer and cleared when they sign out. Not the local history, which
// belongs to nobody signed in and is uploaded and deleted at sign-in.
namespace orvella::KeptPositions {

inline constexpr auto settingsKey = "history.unsent";
inline constexpr qsizetype maxEntries = 40;

[[nodiscard]] inline StoredEntries stored()
{
    return StoredEntries(settingsKey);
}

} // namespace orvella::KeptPositions
