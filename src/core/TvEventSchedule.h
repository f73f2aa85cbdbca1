#pragma once

#include "api/ConfigModels.h"

#include <QList>
#include <QString>
#include <optional>

namespace orvella {

namespace TvEventSchedule {

// The countdown entries of a configuration: its published events in start order (stable), or,
// when none is usable, its single active event.
[[nodiscard]] QList<CountdownEventItem> resolve(
    const std::optional<TvConfig> &config, const std::optional<QString> &homeSubtitle);

} // namespace TvEventSchedule

} // namespace orvella
