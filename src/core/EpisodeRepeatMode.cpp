#include "core/EpisodeRepeatMode.h"

namespace orvella::EpisodeRepeatMode {

QString rawValue(Value mode)
{
    switch (mode) {
    case One:
        return QStringLiteral("one");
    case All:
        return QStringLiteral("all");
    case Off:
        break;
    }
    return QStringLiteral("off");
}

std::optional<Value> fromRawValue(QStringView raw)
{
    for (const Value mode : allCases()) {
        if (raw == rawValue(mode))
            return mode;
    }
    return std::nullopt;
}

const QList<Value> &allCases()
{
    static const QList<Value> cases { Off, One, All };
    return cases;
}

} // namespace orvella::EpisodeRepeatMode
