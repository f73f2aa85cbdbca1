#pragma once

#include "platform/SleepInhibitor.h"

#include <QDBusUnixFileDescriptor>
#include <QHash>

namespace orvella {

// Keeps the display awake through the session's org.freedesktop.ScreenSaver and idle sleep away
// through logind's idle inhibitor (held for as long as its descriptor stays open). Without a
// session or system bus the claims simply fail.
class DBusSleepInhibitor : public SleepInhibitor
{
public:
    DBusSleepInhibitor() = default;
    ~DBusSleepInhibitor() override;
    DBusSleepInhibitor(const DBusSleepInhibitor &) = delete;
    DBusSleepInhibitor &operator=(const DBusSleepInhibitor &) = delete;

    [[nodiscard]] std::uint32_t inhibitDisplaySleep(const QString &reason) override;
    [[nodiscard]] std::uint32_t inhibitIdleSleep(const QString &reason) override;
    void release(std::uint32_t id) override;

private:
    struct Claim
    {
        std::uint32_t screenSaverCookie = 0;
        QDBusUnixFileDescriptor idleDescriptor;
    };
    std::uint32_t m_nextId = 1;
    QHash<std::uint32_t, Claim> m_claims;
};

} // namespace orvella
