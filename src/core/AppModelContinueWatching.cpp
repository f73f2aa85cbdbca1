#include "core/AppModel.h"

namespace orvella {

void AppModel::updateContinueWatching(const ContinueWatchingItem &item)
{
    QList<ContinueWatchingItem> items = m_continueWatching;
    const auto found = std::find_if(items.begin(), items.end(),
        [&](const ContinueWatchingItem &entry) { return entry.episode_id == item.episode_id; });
    if (found == items.end()) {
        items.prepend(item);
    } else {
        found->position = item.position;
        found->duration = item.duration;
        found->progress_pct = item.progress_pct;
        found->updated_at = item.updated_at;
        if (item.title)
            found->title = item.title;
        if (item.program_title)
            found->program_title = item.program_title;
        if (item.image)
            found->image = item.image;
    }
    setContinueWatching(std::move(items));
}

} // namespace orvella
