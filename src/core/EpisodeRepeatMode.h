#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>
#include <optional>

namespace orvella {

// What the episode player does when an episode ends. QML: EpisodeRepeatMode.Off/One/All.
namespace EpisodeRepeatMode {
Q_NAMESPACE
QML_ELEMENT

enum Value : int { Off, One, All };
Q_ENUM_NS(Value)

// "off", "one", "all".
[[nodiscard]] QString rawValue(Value mode);
// Exact match of the whole text; anything else is no mode.
[[nodiscard]] std::optional<Value> fromRawValue(QStringView raw);
[[nodiscard]] const QList<Value> &allCases();
} // namespace EpisodeRepeatMode

} // namespace orvella
