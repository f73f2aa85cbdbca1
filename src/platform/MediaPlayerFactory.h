#pragma once

#include "platform/MediaPlayer.h"

#include <memory>

namespace orvella {

// The platform's media player (libmpv).
[[nodiscard]] std::unique_ptr<MediaPlayer> createMediaPlayer();

} // namespace orvella
