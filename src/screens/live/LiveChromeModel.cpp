#include "screens/live/LiveChromeModel.h"

#include "core/PublishedValue.h"
#include "platform/Clock.h"
#include "platform/StartupTrace.h"

#include <QPointer>

namespace orvella {

using namespace std::chrono_literals;

namespace {
constexpr auto welcomeHold = 900ms;
} // namespace

LiveChromeModel::LiveChromeModel(std::function<bool()> menuOpen, QObject *parent)
    : QObject(parent)
    , m_menuOpen(std::move(menuOpen))
    , m_clock(&Clock::system())
    , m_autoHide([this] { return m_showSchedule || m_qualityOpen || m_menuOpen(); })
{
    connect(
        &m_autoHide, &ChromeAutoHide::shownChanged, this, &LiveChromeModel::showControlsChanged);
}

void LiveChromeModel::setClock(Clock *clock)
{
    m_clock = clock;
    m_autoHide.setClock(clock);
}

LiveChromeModel::~LiveChromeModel()
{
    stop();
    m_welcomeFade.request_stop();
}

void LiveChromeModel::stop()
{
    m_autoHide.stop();
}

void LiveChromeModel::setShowSchedule(bool value)
{
    publish(this, m_showSchedule, value, &LiveChromeModel::showScheduleChanged);
}

void LiveChromeModel::setQualityOpen(bool value)
{
    publish(this, m_qualityOpen, value, &LiveChromeModel::qualityOpenChanged);
}

void LiveChromeModel::setShowWelcome(bool value)
{
    if (m_showWelcome == value)
        return;
    m_showWelcome = value;
    // The fade belongs to the overlay: it starts once the overlay is on screen.
    m_welcomeFading = false;
    if (!value) {
        markStartup(StartupMilestone::WelcomeLifted);
        // Removing the overlay ends its fade: the remaining steps run without waiting.
        m_welcomeFade.request_stop();
    }
    emit showWelcomeChanged();
}

void LiveChromeModel::welcomeOnScreen()
{
    // Timed from the first frame viewers see, not from when the overlay was made: a window
    // still coming up would eat into the hold.
    if (!m_showWelcome || m_welcomeFading)
        return;
    m_welcomeFading = true;
    welcomeFade(renewStop(m_welcomeFade));
}

void LiveChromeModel::setWelcomeOpacity(double value)
{
    publish(this, m_welcomeOpacity, value, &LiveChromeModel::welcomeOpacityChanged);
}

void LiveChromeModel::reveal()
{
    m_autoHide.reveal();
}

void LiveChromeModel::pointerAt(QPointF scenePosition)
{
    if (m_autoHide.pointerAt(scenePosition))
        reveal();
}

void LiveChromeModel::hover(bool entered)
{
    if (entered && !m_showSchedule && !m_menuOpen())
        reveal();
}

void LiveChromeModel::toggleQuality()
{
    setQualityOpen(!m_qualityOpen);
    reveal();
}

void LiveChromeModel::dismissQuality()
{
    setQualityOpen(false);
    reveal();
}

void LiveChromeModel::openSchedule()
{
    setQualityOpen(false);
    setShowSchedule(true);
    reveal();
}

void LiveChromeModel::closeSchedule()
{
    setShowSchedule(false);
    reveal();
}

void LiveChromeModel::presentWelcome(bool seen)
{
    if (seen) {
        endWelcome();
        return;
    }
    setWelcomeOpacity(1);
    setShowWelcome(true);
}

void LiveChromeModel::endWelcome()
{
    setShowWelcome(false);
    setWelcomeOpacity(0);
}

QCoro::Task<> LiveChromeModel::welcomeFade(std::stop_token stop)
{
    QPointer self(this);
    Clock *clock = m_clock;
    co_await clock->sleep(welcomeHold, stop);
    if (!self)
        co_return;
    markStartup(StartupMilestone::WelcomeLifted);
    setWelcomeOpacity(0);
    co_await clock->sleep(welcomeHold, stop);
    if (!self)
        co_return;
    setShowWelcome(false);
}

} // namespace orvella
