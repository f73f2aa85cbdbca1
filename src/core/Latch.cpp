#include "core/Latch.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace orvella {

void Latch::Waiting::wake()
{
    if (woken)
        return;
    woken = true;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [h = handle] { h.resume(); }, Qt::QueuedConnection);
}

void Latch::Awaiter::await_suspend(std::coroutine_handle<> handle)
{
    m_waiting = std::make_shared<Waiting>(Waiting { handle });
    m_latch->m_waiters.push_back(m_waiting);
    m_onStop = std::make_unique<std::stop_callback<std::function<void()>>>(
        m_stop, [waiting = m_waiting] { waiting->wake(); });
}

bool Latch::Awaiter::await_resume() noexcept
{
    m_onStop.reset();
    return m_latch->m_open;
}

void Latch::open()
{
    if (m_open)
        return;
    m_open = true;
    for (const auto &waiting : std::exchange(m_waiters, {}))
        waiting->wake();
}

} // namespace orvella
