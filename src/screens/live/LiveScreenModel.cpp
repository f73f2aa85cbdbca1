#include "screens/live/LiveScreenModel.h"

#include "app/AppModel.h"
#include "platform/Clock.h"
#include "player/PlaybackQuality.h"
#include "player/PlaybackSleepGuard.h"
#include "player/PlayerController.h"

namespace orvella {

using namespace std::chrono_literals;

namespace {
constexpr auto scheduleRefreshInterval = 300s;

bool present(const std::optional<QString> &text)
{
    return text && !text->isEmpty();
}
} // namespace

LiveScreenModel::LiveScreenModel(QObject *parent)
    : QObject(parent)
    , m_clock(&Clock::system())
    , m_chrome([this] { return menuPresented(); })
{
    connect(&m_chrome, &LiveChromeModel::showControlsChanged, this,
        &LiveScreenModel::showControlsChanged);
    connect(&m_chrome, &LiveChromeModel::showScheduleChanged, this,
        &LiveScreenModel::showScheduleChanged);
    connect(&m_chrome, &LiveChromeModel::qualityOpenChanged, this,
        &LiveScreenModel::qualityOpenChanged);
    connect(&m_chrome, &LiveChromeModel::showWelcomeChanged, this,
        &LiveScreenModel::showWelcomeChanged);
    connect(&m_chrome, &LiveChromeModel::welcomeOpacityChanged, this,
        &LiveScreenModel::welcomeOpacityChanged);
}

LiveScreenModel::~LiveScreenModel()
{
    disappear();
    m_supervisor.reset();
}

void LiveScreenModel::setClock(Clock *clock)
{
    m_clock = clock;
    m_chrome.setClock(clock);
}

void LiveScreenModel::detach()
{
    m_supervisor.reset();
    if (!m_app)
        return;
    disconnect(m_app, nullptr, this, nullptr);
    disconnect(m_app->settings(), nullptr, this, nullptr);
}

void LiveScreenModel::setApp(AppModel *app)
{
    if (m_app == app)
        return;
    detach();
    m_app = app;
    if (m_app) {
        LivePlaybackHost &host = *this;
        // The app's one claim, which follows the player on screen.
        m_supervisor = std::make_unique<LivePlaybackSupervisor>(
            host, *m_app->livePlayer(), m_guard ? *m_guard : m_app->sleepGuard(), *m_clock);
        // The player belongs to the app: the supervisor goes with it.
        connect(m_app, &QObject::destroyed, this, [this] { m_supervisor.reset(); });
        connect(m_app, &AppModel::routeChanged, this, &LiveScreenModel::routeChanged);
        connect(
            m_app, &AppModel::menuPresentedChanged, this, &LiveScreenModel::menuPresentedChanged);
        connect(m_app, &AppModel::liveStreamCacheChanged, this, &LiveScreenModel::streamChanged);
        connect(m_app, &AppModel::liveScheduleChanged, this, &LiveScreenModel::labelsChanged);
        connect(m_app, &AppModel::configChanged, this, &LiveScreenModel::labelsChanged);
        connect(m_app->settings(), &SettingsModel::changed, this, &LiveScreenModel::labelsChanged);
    }
    emit appChanged();
    emit streamChanged();
    emit labelsChanged();
    emit menuPresentedChanged();
    emit errorTextChanged();
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

QString LiveScreenModel::errorText() const
{
    return m_supervisor ? m_supervisor->errorText().value_or(QString()) : QString();
}

bool LiveScreenModel::hasError() const
{
    return m_supervisor && m_supervisor->errorText().has_value();
}

bool LiveScreenModel::recoveringPlayback() const
{
    return m_supervisor && m_supervisor->recovering();
}

// The supervisor's host.

QCoro::Task<std::optional<LiveStreamData>> LiveScreenModel::fetchLiveStream(
    QString language, bool force)
{
    QPointer<AppModel> app = m_app;
    if (!app)
        co_return std::nullopt;
    auto load = app->loadLiveStream(language, force);
    std::optional<LiveStreamData> answer = co_await std::move(load);
    co_return answer;
}

LivePlaybackPreferences LiveScreenModel::preferences() const
{
    if (!m_app)
        return {};
    const SettingsModel *settings = m_app->settings();
    return { settings->streamLanguage(), settings->preferredQuality(), settings->captionsEnabled(),
        settings->captionLanguage() };
}

void LiveScreenModel::supervisionChanged(Change change)
{
    switch (change) {
    case Change::Stream:
        emit streamChanged();
        break;
    case Change::ErrorText:
        emit errorTextChanged();
        break;
    case Change::Recovering:
        emit recoveringPlaybackChanged();
        break;
    }
}

// Appearing.

void LiveScreenModel::appear()
{
    if (!m_app || !m_supervisor)
        return;
    m_chrome.presentWelcome(m_app->hasSeenLiveWelcome());
    enterLive();
    revealControls();
    if (livePlaybackAllowed())
        m_supervisor->holdDisplayAwake();
    m_supervisor->startWatchdog();
    scheduleRefreshLoop(renewStop(m_scheduleRefreshTask));
}

void LiveScreenModel::disappear()
{
    m_scheduleRefreshTask.request_stop();
    m_chrome.stop();
    if (m_supervisor)
        m_supervisor->stop();
}

QCoro::Task<> LiveScreenModel::enterLive()
{
    QPointer self(this);
    if (!m_app || !m_supervisor)
        co_return;
    if (m_app->liveStreamCache())
        m_supervisor->setStream(m_app->liveStreamCache());
    // Set before anything loads, so the welcome shows at most once per run.
    m_app->setHasSeenLiveWelcome(true);
    if (player()->hasCurrentItem()) {
        m_chrome.endWelcome();
        if (livePlaybackAllowed()) {
            m_supervisor->nudge();
            m_supervisor->holdDisplayAwake();
        }
        loadSchedule(false);
        co_return;
    }
    auto streamLoad = m_supervisor->loadStream(false);
    auto scheduleLoad = loadSchedule(false);
    co_await std::move(streamLoad);
    if (!self || !m_supervisor)
        co_return;
    if (livePlaybackAllowed()) {
        m_supervisor->nudge();
        m_supervisor->holdDisplayAwake();
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

void LiveScreenModel::routeChanged()
{
    // Leaving live (the menu aside) releases the display with the app model's playback sync.
    if (!m_supervisor || m_app->route() != MacRoute::Live)
        return;
    m_supervisor->holdDisplayAwake();
    if (player()->hasCurrentItem())
        m_supervisor->nudge();
    revealControls();
    followStreamLanguage();
}

void LiveScreenModel::followStreamLanguage()
{
    // Compared with the language asked for, not the one answered: a stream that falls back to
    // another language is not fetched again on every return.
    const auto &requested = m_supervisor->requestedLanguage();
    if (requested && *requested != m_app->settings()->streamLanguage())
        m_supervisor->loadStream(true);
}

// Viewer actions.

void LiveScreenModel::tapVideo()
{
    // A tap on hidden chrome only shows it.
    if (showControls() && player() && player()->isReady())
        player()->togglePlay();
    revealControls();
}

void LiveScreenModel::toggleCaptions()
{
    if (!m_app || !m_supervisor)
        return;
    SettingsModel *settings = m_app->settings();
    settings->setCaptionsEnabled(!settings->captionsEnabled());
    settings->persist();
    m_supervisor->applyCaptions();
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
    m_chrome.closeQuality();
}

void LiveScreenModel::openSchedule()
{
    m_chrome.openSchedule();
    loadSchedule(true);
}

void LiveScreenModel::openMenu()
{
    m_chrome.closeQuality();
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
    if (m_supervisor)
        m_supervisor->loadStream(true);
}

QCoro::Task<> LiveScreenModel::refreshLive()
{
    QPointer self(this);
    m_chrome.closeQuality();
    if (!m_supervisor)
        co_return;
    co_await m_supervisor->refresh();
    if (self)
        revealControls();
}

void LiveScreenModel::open(MacRoute::Value route)
{
    if (m_app)
        m_app->navigate(route);
}

// Labels.

const LiveStreamData *LiveScreenModel::shownStream() const
{
    return m_supervisor && m_supervisor->stream() ? &*m_supervisor->stream() : nullptr;
}

QString LiveScreenModel::liveDisplayTitle() const
{
    if (const LiveStreamData *stream = shownStream(); stream && present(stream->title))
        return *stream->title;
    if (m_app && m_app->liveStreamCache() && present(m_app->liveStreamCache()->title))
        return *m_app->liveStreamCache()->title;
    return QString::fromUtf8(slogan);
}

QString LiveScreenModel::minister() const
{
    const LiveStreamData *stream = shownStream();
    return stream ? stream->minister.value_or(QString()) : QString();
}

QString LiveScreenModel::viewersLabel() const
{
    const LiveStreamData *stream = shownStream();
    return stream ? stream->viewers_label.value_or(QString()) : QString();
}

bool LiveScreenModel::hasPoster() const
{
    if (const LiveStreamData *stream = shownStream(); stream && stream->poster)
        return true;
    return m_app && m_app->liveStreamCache() && m_app->liveStreamCache()->poster;
}

QString LiveScreenModel::posterUrl() const
{
    if (const LiveStreamData *stream = shownStream(); stream && stream->poster)
        return *stream->poster;
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
    // The stored choice is read as the quality label reads it, trimmed.
    const PlaybackQuality &row = PlaybackQuality::option(selectedQuality().trimmed());
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
