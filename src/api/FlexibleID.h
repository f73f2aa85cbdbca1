#pragma once

#include <QHashFunctions>
#include <QString>

namespace orvella {

// An identifier the service sends as text or as a number, held as text.
struct FlexibleID
{
    QString stringValue;

    [[nodiscard]] const QString &description() const { return stringValue; }
    friend bool operator==(const FlexibleID &, const FlexibleID &) = default;
};

inline size_t qHash(const FlexibleID &id, size_t seed = 0) noexcept
{
    return qHash(id.stringValue, seed);
}

} // namespace orvella
