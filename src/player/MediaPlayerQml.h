#pragma once

#include "platform/MediaPlayer.h"

#include <QtQml/qqmlregistration.h>

namespace orvella {

// Makes the platform's player known to QML, which only reads it through the player controller;
// the platform layer itself knows nothing of QML.
struct MediaPlayerQml
{
    Q_GADGET
    QML_FOREIGN(orvella::MediaPlayer)
    QML_NAMED_ELEMENT(MediaPlayer)
    QML_UNCREATABLE("Created by the player controller")
};

} // namespace orvella
