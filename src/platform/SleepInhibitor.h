#pragma once

#include <QString>
#include <cstdint>

namespace orvella {

// Holds the platform's claims that keep the display and the system awake. Each claim is
// identified by a non-zero id; 0 means the claim could not be made.
class SleepInhibitor
{
public:
    virtual ~SleepInhibitor() = default;
    [[nodiscard]] virtual std::uint32_t inhibitDisplaySleep(const QString &reason) = 0;
    [[nodiscard]] virtual std::uint32_t inhibitIdleSleep(const QString &reason) = 0;
    virtual void release(std::uint32_t id) = 0;
};

} // namespace orvella
