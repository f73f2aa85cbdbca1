#include "screens/home/CountdownScreenModel.h"

#include "app/AppModel.h"
#include "core/TvEventSchedule.h"
#include "platform/Clock.h"

namespace orvella {

using namespace std::chrono_literals;

namespace {
constexpr auto reloadPeriod = 60s;

// Holds only the app model and the clock, never the screen: a stop during the wait still lets
// one more reload run, after the screen may be gone.
QCoro::Task<> keepEventsFresh(QPointer<AppModel> app, Clock *clock, std::stop_token stop)
{
    co_await app->refreshEventScheduleData();
    while (app && !stop.stop_requested()) {
        co_await clock->sleep(reloadPeriod, stop);
        if (!app)
            co_return;
        co_await app->refreshEventScheduleData();
    }
}
} // namespace

CountdownScreenModel::CountdownScreenModel(QObject *parent)
    : QObject(parent)
    , m_clock(&Clock::system())
{
    m_ticks.setInterval(1s);
    m_ticks.setTimerType(Qt::PreciseTimer);
    connect(&m_ticks, &QTimer::timeout, this, &CountdownScreenModel::tick);
    connect(
        &m_events, &QAbstractItemModel::rowsInserted, this, &CountdownScreenModel::isEmptyChanged);
    connect(
        &m_events, &QAbstractItemModel::rowsRemoved, this, &CountdownScreenModel::isEmptyChanged);
}

CountdownScreenModel::~CountdownScreenModel()
{
    m_reloadStop.request_stop();
}

void CountdownScreenModel::setApp(AppModel *app)
{
    if (m_app == app)
        return;
    if (m_app)
        disconnect(m_app, nullptr, this, nullptr);
    m_app = app;
    emit appChanged();
    const std::stop_token stop = renewStop(m_reloadStop);
    if (!app) {
        m_ticks.stop();
        return;
    }
    connect(app, &AppModel::configChanged, this, &CountdownScreenModel::updateEvents);
    connect(app, &AppModel::homeChanged, this, &CountdownScreenModel::updateEvents);
    tick();
    updateEvents();
    m_ticks.start();
    keepEventsFresh(app, m_clock, stop);
}

void CountdownScreenModel::tick()
{
    m_events.setNow(m_clock->sinceEpoch().count());
}

void CountdownScreenModel::refresh()
{
    if (m_app)
        m_app->refreshEventScheduleData();
}

void CountdownScreenModel::watchLive()
{
    if (m_app)
        m_app->navigate(MacRoute::Live);
}

void CountdownScreenModel::updateEvents()
{
    std::optional<QString> subtitle;
    if (const auto &home = m_app->home(); home && home->hero)
        subtitle = home->hero->subtitle;
    m_events.setEvents(TvEventSchedule::resolve(m_app->config(), subtitle));
}

} // namespace orvella
