#include "core/TvEventSchedule.h"

#include <algorithm>

namespace orvella::TvEventSchedule {

QList<CountdownEventItem> resolve(
    const std::optional<TvConfig> &config, const std::optional<QString> &homeSubtitle)
{
    if (!config)
        return {};
    QList<CountdownEventItem> items;
    for (const ConfigEventListItem &entry :
        config->events.value_or(QList<ConfigEventListItem> {})) {
        if (auto item = entry.toCountdown(homeSubtitle))
            items.append(std::move(*item));
    }
    if (!items.isEmpty()) {
        std::stable_sort(items.begin(), items.end(),
            [](const CountdownEventItem &a, const CountdownEventItem &b) {
                return a.startsAtEpochMs < b.startsAtEpochMs;
            });
        return items;
    }

    const std::optional<ConfigEvent> &event = config->event;
    if (!event || !event->active.value_or(false) || !event->starts_at)
        return {};
    // The single event follows the list entries' rules for title, start, subtitle, badge and
    // call to action; only its identifier is its own.
    ConfigEventListItem single;
    single.id = QStringLiteral("config_event_%1").arg(*event->starts_at);
    single.title = event->title;
    single.starts_at = event->starts_at;
    if (auto item = single.toCountdown(homeSubtitle))
        return { std::move(*item) };
    return {};
}

} // namespace orvella::TvEventSchedule
