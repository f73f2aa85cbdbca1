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

void PlaybackSleepGuard::follow(bool awake)
{
    setActive(awake, QString::fromLatin1(awake ? onReason : offReason));
}

void PlaybackSleepGuard::playerShown(const void *player, bool awake)
{
    m_onScreen = player;
    follow(awake);
}

void PlaybackSleepGuard::playerWantsAwake(const void *player, bool awake)
{
    if (player && player == m_onScreen)
        follow(awake);
}

void PlaybackSleepGuard::playerHidden(const void *player)
{
    if (!player || player != m_onScreen)
        return;
    m_onScreen = nullptr;
    follow(false);
}

void PlaybackSleepGuard::setInhibitor(std::unique_ptr<SleepInhibitor> inhibitor)
{
    setActive(false, {});
    m_inhibitor = std::move(inhibitor);
}

} // namespace orvella
