#include "screens/live/LiveScreenModel.h"

#include "app/AppModel.h"
#include "platform/Clock.h"
#include "platform/StartupTrace.h"
#include "player/PlaybackQuality.h"
#include "player/PlaybackSleepGuard.h"
#include "player/PlayerController.h"

#include <QTimer>

namespace orvella {

using namespace std::chrono_literals;

namespace {
constexpr auto hideAfter = 4s;
constexpr auto scheduleRefreshInterval = 300s;
constexpr auto welcomeHold = 900ms;

bool present(const std::optional<QString> &text)
{
    return text && !text->isEmpty();
}
} // namespace

LiveScreenModel::LiveScreenModel(QObject *parent)
    : QObject(parent)
    , m_clock(&Clock::system())
    , m_guard(&PlaybackSleepGuard::shared())
{ }

LiveScreenModel::~LiveScreenModel()
{
    disappear();
    m_welcomeFade.request_stop();
}

void LiveScreenModel::setApp(AppModel *app)
{
    if (m_app == app)
        return;
    if (m_app) {
        disconnect(m_app, nullptr, this, nullptr);
        if (m_app->livePlayer())
            disconnect(m_app->livePlayer(), nullptr, this, nullptr);
        if (m_app->settings())
            disconnect(m_app->settings(), nullptr, this, nullptr);
    }
    m_app = app;
    if (m_app) {
        connect(m_app, &AppModel::routeChanged, this, &LiveScreenModel::routeChanged);
        connect(
            m_app, &AppModel::menuPresentedChanged, this, &LiveScreenModel::menuPresentedChanged);
        connect(m_app, &AppModel::liveStreamCacheChanged, this, &LiveScreenModel::streamChanged);
        connect(m_app, &AppModel::liveScheduleChanged, this, &LiveScreenModel::labelsChanged);
        connect(m_app, &AppModel::configChanged, this, &LiveScreenModel::labelsChanged);
        connect(m_app->settings(), &SettingsModel::changed, this, &LiveScreenModel::labelsChanged);
        PlayerController *controller = m_app->livePlayer();
        connect(controller, &PlayerController::failedGenerationChanged, this,
            &LiveScreenModel::failureCounterChanged);
        connect(controller, &PlayerController::stalledGenerationChanged, this,
            &LiveScreenModel::stallCounterChanged);
        connect(controller, &PlayerController::endedGenerationChanged, this,
            &LiveScreenModel::endCounterChanged);
    }
    emit appChanged();
    emit streamChanged();
    emit labelsChanged();
    emit menuPresentedChanged();
}

PlayerController *LiveScreenModel::player() const
{
    return m_app ? m_app->livePlayer() : nullptr;
}

bool LiveScreenModel::menuPresented() const
{
    return m_app && m_app->menuPresented();
}

bool LiveScreenModel::livePlaybackAllowed() const
{
    return m_app && m_app->route() == MacRoute::Live;
}

// State setters.

void LiveScreenModel::setShowControls(bool value)
{
    if (m_showControls == value)
        return;
    m_showControls = value;
    emit showControlsChanged();
}

void LiveScreenModel::setShowSchedule(bool value)
{
    if (m_showSchedule == value)
        return;
    m_showSchedule = value;
    emit showScheduleChanged();
}

void LiveScreenModel::setQualityOpen(bool value)
{
    if (m_qualityOpen == value)
        return;
    m_qualityOpen = value;
    emit qualityOpenChanged();
}

void LiveScreenModel::setShowWelcome(bool value)
{
    if (m_showWelcome == value)
        return;
    m_showWelcome = value;
    if (value) {
        // The fade belongs to the overlay: it starts when the overlay is shown.
        welcomeFade(restart(m_welcomeFade));
    } else {
        markStartup(StartupMilestone::WelcomeLifted);
        // Removing the overlay ends its fade: the remaining steps run without waiting.
        m_welcomeFade.request_stop();
    }
    emit showWelcomeChanged();
}

void LiveScreenModel::setWelcomeOpacity(double value)
{
    if (m_welcomeOpacity == value)
        return;
    m_welcomeOpacity = value;
    emit welcomeOpacityChanged();
}

void LiveScreenModel::setErrorText(std::optional<QString> text)
{
    if (m_errorText == text)
        return;
    m_errorText = std::move(text);
    emit errorTextChanged();
}

void LiveScreenModel::setRecoveringPlayback(bool value)
{
    if (m_recoveringPlayback == value)
        return;
    m_recoveringPlayback = value;
    emit recoveringPlaybackChanged();
}

void LiveScreenModel::setStream(std::optional<LiveStreamData> stream)
{
    m_stream = std::move(stream);
    emit streamChanged();
}

std::stop_token LiveScreenModel::restart(Stop &source)
{
    source.request_stop();
    source = Stop();
    return source.get_token();
}

// Shared steps.

void LiveScreenModel::playNudge()
{
    if (PlayerController *controller = player())
        controller->nudgePlay();
}

void LiveScreenModel::guardOn()
{
    m_guard->setActive(true, QString::fromLatin1(onReason));
}

bool LiveScreenModel::isBuffering() const
{
    const MediaPlayer *media = player() ? player()->player() : nullptr;
    return media && (!media->isPlaybackLikelyToKeepUp() || media->isPlaybackBufferEmpty());
}

double LiveScreenModel::playerRate() const
{
    return player() ? player()->player()->rate() : 0;
}

// Appearing.

void LiveScreenModel::appear()
{
    if (!m_app)
        return;
    if (m_app->hasSeenLiveWelcome()) {
        setShowWelcome(false);
        setWelcomeOpacity(0);
    } else {
        setWelcomeOpacity(1);
        setShowWelcome(true);
    }
    enterLive();
    revealControls();
    if (livePlaybackAllowed())
        guardOn();
    startPlaybackWatchdog();
    scheduleRefreshLoop(restart(m_scheduleRefreshTask));
}

void LiveScreenModel::disappear()
{
    m_scheduleRefreshTask.request_stop();
    m_hideTask.request_stop();
    m_offlinePollTask.request_stop();
    m_watchdogTask.request_stop();
}

QCoro::Task<> LiveScreenModel::enterLive()
{
    QPointer self(this);
    if (!m_app)
        co_return;
    if (m_app->liveStreamCache())
        setStream(m_app->liveStreamCache());
    if (player()->hasCurrentItem()) {
        m_app->setHasSeenLiveWelcome(true);
        setShowWelcome(false);
        setWelcomeOpacity(0);
        if (livePlaybackAllowed()) {
            playNudge();
            guardOn();
        }
        loadSchedule(false);
        co_return;
    }
    // Set before anything loads, so the welcome shows at most once per run.
    m_app->setHasSeenLiveWelcome(true);
    auto streamLoad = loadStream(false);
    auto scheduleLoad = loadSchedule(false);
    co_await std::move(streamLoad);
    if (!self)
        co_return;
    if (livePlaybackAllowed()) {
        playNudge();
        guardOn();
    }
    co_await std::move(scheduleLoad);
}

QCoro::Task<> LiveScreenModel::loadSchedule(bool force)
{
    QPointer<AppModel> app = m_app;
    if (app)
        co_await app->loadLiveSchedule(force);
}

QCoro::Task<> LiveScreenModel::scheduleRefreshLoop(std::stop_token stop)
{
    QPointer self(this);
    Clock *clock = m_clock;
    for (;;) {
        if (stop.stop_requested())
            co_return;
        co_await clock->sleep(scheduleRefreshInterval, stop);
        if (!self || stop.stop_requested())
            co_return;
        if (livePlaybackAllowed()) {
            co_await loadSchedule(true);
            if (!self)
                co_return;
        }
    }
}

QCoro::Task<> LiveScreenModel::welcomeFade(std::stop_token stop)
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

QCoro::Task<> LiveScreenModel::hideTimer(std::stop_token stop)
{
    QPointer self(this);
    co_await m_clock->sleep(hideAfter, stop);
    if (!self || stop.stop_requested())
        co_return;
    if (m_showSchedule || m_qualityOpen || menuPresented())
        co_return;
    setShowControls(false);
}

// Handlers.

void LiveScreenModel::routeChanged()
{
    switch (m_app->route()) {
    case MacRoute::Menu:
        // The menu lies over a playing channel.
        break;
    case MacRoute::Live:
        guardOn();
        if (player()->hasCurrentItem())
            playNudge();
        revealControls();
        break;
    default:
        m_guard->setActive(false, QString::fromLatin1(offReason));
        break;
    }
}

void LiveScreenModel::failureCounterChanged(int value)
{
    if (value < 1)
        return;
    recoverPlayback();
}

void LiveScreenModel::stallCounterChanged(int value)
{
    if (value < 1)
        return;
    scheduleStallRecovery();
}

void LiveScreenModel::endCounterChanged(int value)
{
    if (value < 1)
        return;
    if (player()->isLive() && player()->wantsPlayback())
        resumeAtEdge();
}

QCoro::Task<> LiveScreenModel::resumeAtEdge()
{
    QPointer<PlayerController> controller = player();
    if (controller)
        co_await controller->resumeLiveAtEdge();
}

// Viewer actions.

void LiveScreenModel::revealControls()
{
    setShowControls(true);
    hideTimer(restart(m_hideTask));
}

void LiveScreenModel::hover(bool entered)
{
    if (entered && !m_showSchedule && !menuPresented())
        revealControls();
}

void LiveScreenModel::tapVideo()
{
    // A tap on hidden chrome only shows it.
    if (m_showControls && player() && player()->isReady())
        player()->togglePlay();
    revealControls();
}

void LiveScreenModel::toggleCaptions()
{
    if (!m_app)
        return;
    SettingsModel *settings = m_app->settings();
    settings->setCaptionsEnabled(!settings->captionsEnabled());
    settings->persist();
    applyCaptions();
    revealControls();
}

void LiveScreenModel::toggleQuality()
{
    setQualityOpen(!m_qualityOpen);
    revealControls();
}

void LiveScreenModel::setQuality(const QString &id)
{
    if (!m_app)
        return;
    SettingsModel *settings = m_app->settings();
    settings->setPreferredQuality(id);
    settings->persist();
    player()->setQuality(id);
    revealControls();
}

void LiveScreenModel::selectQuality(const QString &id)
{
    setQuality(id);
    setQualityOpen(false);
}

void LiveScreenModel::dismissQuality()
{
    setQualityOpen(false);
    revealControls();
}

void LiveScreenModel::openSchedule()
{
    setQualityOpen(false);
    setShowSchedule(true);
    revealControls();
    loadSchedule(true);
}

void LiveScreenModel::closeSchedule()
{
    setShowSchedule(false);
    revealControls();
}

void LiveScreenModel::openMenu()
{
    setQualityOpen(false);
    if (m_app)
        m_app->presentMenuSoon();
}

void LiveScreenModel::toggleFullScreen()
{
    emit fullScreenToggleRequested();
    revealControls();
}

void LiveScreenModel::toggleWindowFullScreen(QWindow *window)
{
    if (!window)
        return;
    if (window->visibility() == QWindow::FullScreen)
        window->showNormal();
    else
        window->showFullScreen();
}

void LiveScreenModel::retry()
{
    loadStream(true);
}

void LiveScreenModel::refresh()
{
    refreshLive();
}

void LiveScreenModel::open(MacRoute::Value route)
{
    if (m_app)
        m_app->navigate(route);
}

// Labels.

QString LiveScreenModel::liveDisplayTitle() const
{
    if (m_stream && present(m_stream->title))
        return *m_stream->title;
    if (m_app && m_app->liveStreamCache() && present(m_app->liveStreamCache()->title))
        return *m_app->liveStreamCache()->title;
    return QString::fromUtf8(slogan);
}

QString LiveScreenModel::minister() const
{
    return m_stream ? m_stream->minister.value_or(QString()) : QString();
}

QString LiveScreenModel::viewersLabel() const
{
    return m_stream ? m_stream->viewers_label.value_or(QString()) : QString();
}

bool LiveScreenModel::hasPoster() const
{
    if (m_stream && m_stream->poster)
        return true;
    return m_app && m_app->liveStreamCache() && m_app->liveStreamCache()->poster;
}

QString LiveScreenModel::posterUrl() const
{
    if (m_stream && m_stream->poster)
        return *m_stream->poster;
    if (m_app && m_app->liveStreamCache() && m_app->liveStreamCache()->poster)
        return *m_app->liveStreamCache()->poster;
    return {};
}

QString LiveScreenModel::selectedQuality() const
{
    return m_app ? m_app->settings()->preferredQuality() : QString();
}

bool LiveScreenModel::captionsEnabled() const
{
    return m_app && m_app->settings()->captionsEnabled();
}

QString LiveScreenModel::qualityLabel() const
{
    const QString trimmed = selectedQuality().trimmed();
    if (trimmed.isEmpty())
        return QStringLiteral("Auto");
    return PlaybackQuality::option(trimmed).id;
}

QString LiveScreenModel::dataRateLabel() const
{
    const PlaybackQuality &row = PlaybackQuality::option(selectedQuality());
    if (row.id == QLatin1String("Auto"))
        return QStringLiteral("~Auto");
    if (row.maxBitrate && *row.maxBitrate > 0)
        return QString::asprintf("%.1f Mbps", *row.maxBitrate / 1'000'000.0);
    return QStringLiteral("—");
}

QString LiveScreenModel::showingNextTitle() const
{
    if (!m_app)
        return QStringLiteral("—");
    std::optional<QString> eventTitle;
    if (m_app->config() && m_app->config()->event)
        eventTitle = m_app->config()->event->title;
    if (m_app->liveSchedule())
        return m_app->liveSchedule()->showingNextTitle(eventTitle);
    return eventTitle ? *eventTitle : QStringLiteral("—");
}

} // namespace orvella
