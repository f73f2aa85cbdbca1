#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>
#include <optional>

namespace orvella {

// What the episode player does when an episode ends. QML: EpisodeRepeatMode.Off/One/All.
class EpisodeRepeatMode
{
    Q_GADGET
    QML_ELEMENT
    QML_UNCREATABLE("EpisodeRepeatMode only names repeat choices")

public:
    enum Value : int { Off, One, All };
    Q_ENUM(Value)

    // "off", "one", "all".
    [[nodiscard]] static QString rawValue(Value mode);
    // Exact match of the whole text; anything else is no mode.
    [[nodiscard]] static std::optional<Value> fromRawValue(QStringView raw);
    [[nodiscard]] static const QList<Value> &allCases();
};

} // namespace orvella
