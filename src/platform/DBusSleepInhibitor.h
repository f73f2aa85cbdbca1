#pragma once

#include "platform/SleepInhibitor.h"

#include <memory>

namespace orvella {

// Keeps the display awake through the session's org.freedesktop.ScreenSaver and idle sleep away
// through logind's idle inhibitor (held for as long as its descriptor stays open). The claims
// are asked for without waiting, since a slow bus must not hold up the window: a claim has its
// id at once, and a claim released before the bus granted it is given back as soon as it is.
// Without a session or system bus the claims fail at once; a refused claim is logged.
class DBusSleepInhibitor : public SleepInhibitor
{
public:
    DBusSleepInhibitor();
    ~DBusSleepInhibitor() override;
    DBusSleepInhibitor(const DBusSleepInhibitor &) = delete;
    DBusSleepInhibitor &operator=(const DBusSleepInhibitor &) = delete;

    [[nodiscard]] std::uint32_t inhibitDisplaySleep(const QString &reason) override;
    [[nodiscard]] std::uint32_t inhibitIdleSleep(const QString &reason) override;
    void release(std::uint32_t id) override;

private:
    struct Claims;
    // Shared with the replies still on their way, which may arrive after this object is gone.
    std::shared_ptr<Claims> m_claims;
};

} // namespace orvella
