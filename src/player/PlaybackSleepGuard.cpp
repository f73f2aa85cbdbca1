#include "player/PlaybackSleepGuard.h"

#include "platform/DBusSleepInhibitor.h"

namespace orvella {

PlaybackSleepGuard &PlaybackSleepGuard::shared()
{
    static PlaybackSleepGuard guard(std::make_unique<DBusSleepInhibitor>());
    return guard;
}

PlaybackSleepGuard::PlaybackSleepGuard(std::unique_ptr<SleepInhibitor> inhibitor)
    : m_inhibitor(std::move(inhibitor))
{ }

PlaybackSleepGuard::~PlaybackSleepGuard()
{
    setActive(false, {});
}

void PlaybackSleepGuard::setActive(bool active, const QString &reason)
{
    if (active) {
        if (m_isActive)
            return;
        m_displayAssertionId = m_inhibitor->inhibitDisplaySleep(reason);
        m_systemAssertionId = m_inhibitor->inhibitIdleSleep(reason);
        m_isActive = m_displayAssertionId != 0 || m_systemAssertionId != 0;
        return;
    }
    if (!m_isActive)
        return;
    if (m_displayAssertionId != 0) {
        m_inhibitor->release(m_displayAssertionId);
        m_displayAssertionId = 0;
    }
    if (m_systemAssertionId != 0) {
        m_inhibitor->release(m_systemAssertionId);
        m_systemAssertionId = 0;
    }
    m_isActive = false;
}

void PlaybackSleepGuard::holdForLive(bool live)
{
    setActive(live, live ? QStringLiteral("Orvella Live") : QStringLiteral("Orvella TV playback"));
}

void PlaybackSleepGuard::setInhibitor(std::unique_ptr<SleepInhibitor> inhibitor)
{
    setActive(false, {});
    m_inhibitor = std::move(inhibitor);
}

} // namespace orvella
