#pragma once

#include <QString>
#include <QUuid>

namespace orvella {

// One entry of the notifications list. Never stored: built anew, each time with a new identity.
struct LocalNote
{
    QUuid id = QUuid::createUuid();
    QString title;
    QString body;
    QString type; // "info", "live", "event" or "reminder"
};

} // namespace orvella
