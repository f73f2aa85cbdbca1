#include "player/ChromeAutoHide.h"

#include "core/PublishedValue.h"
#include "platform/Clock.h"

#include <QPointer>

namespace orvella {

ChromeAutoHide::ChromeAutoHide(std::function<bool()> holdsShown, QObject *parent)
    : QObject(parent)
    , m_holdsShown(std::move(holdsShown))
    , m_clock(&Clock::system())
{ }

ChromeAutoHide::~ChromeAutoHide()
{
    stop();
}

void ChromeAutoHide::setClock(Clock *clock)
{
    m_clock = clock ? clock : &Clock::system();
}

void ChromeAutoHide::setShown(bool shown)
{
    publish(this, m_shown, shown, &ChromeAutoHide::shownChanged);
}

void ChromeAutoHide::reveal()
{
    setShown(true);
    waitThen(hideAfter, [this] {
        if (!m_holdsShown())
            setShown(false);
    });
}

void ChromeAutoHide::waitThen(std::chrono::milliseconds span, std::function<void()> action)
{
    wait(span, std::move(action), renewStop(m_wait));
}

void ChromeAutoHide::stop()
{
    m_wait.request_stop();
}

bool ChromeAutoHide::pointerAt(QPointF scenePosition)
{
    if (m_pointer == scenePosition)
        return false;
    m_pointer = scenePosition;
    return true;
}

QCoro::Task<> ChromeAutoHide::wait(
    std::chrono::milliseconds span, std::function<void()> action, std::stop_token stop)
{
    QPointer self(this);
    co_await m_clock->sleep(span, stop);
    if (!self || stop.stop_requested())
        co_return;
    action();
}

} // namespace orvella
