#include "core/AppModel.h"

#include "api/OrvellaAPIClient.h"
#include "api/ServiceOrigin.h"
#include "platform/Notifier.h"
#include "player/PlaybackSleepGuard.h"
#include "player/PlayerController.h"
#include "studio/StudioCaptureController.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QPointer>
#include <QQmlEngine>
#include <chrono>

namespace orvella {

namespace {

QPointer<AppModel> installedInstance;

// Routes a guest may see.
bool isExemptFromSignIn(MacRoute::Value route)
{
    return route == MacRoute::Splash || route == MacRoute::ForceUpdate
        || route == MacRoute::Maintenance || route == MacRoute::Login;
}

// Routes that are never pushed on the back stack when left.
bool isNeverPushed(MacRoute::Value route)
{
    return isExemptFromSignIn(route) || route == MacRoute::Menu;
}

// Routes where going back is not offered.
bool offersNoBack(MacRoute::Value route)
{
    return route == MacRoute::Live || isExemptFromSignIn(route);
}

// Updates a published field and announces it when it changed.
template<typename T, typename Signal>
void assign(AppModel *model, T &field, T value, Signal changed)
{
    // Two empty lists are equal without Qt 6.4's memcmp on a null buffer (undefined behaviour).
    if constexpr (requires { field.isEmpty(); }) {
        if (field.isEmpty() && value.isEmpty())
            return;
    }
    if (field == value)
        return;
    field = std::move(value);
    emit(model->*changed)();
}

} // namespace

AppModel::AppModel(Dependencies dependencies, QObject *parent)
    : QObject(parent)
    , m_client(dependencies.client ? dependencies.client : &OrvellaAPIClient::shared())
    , m_sleepGuard(
          dependencies.sleepGuard ? dependencies.sleepGuard : &PlaybackSleepGuard::shared())
    , m_notifier(dependencies.notifier ? std::move(dependencies.notifier) : makeDesktopNotifier())
    , m_clock(dependencies.clock ? std::move(dependencies.clock)
                                 : [] { return QDateTime::currentMSecsSinceEpoch(); })
    , m_settings(new SettingsModel(SettingsStore::load(), this))
    , m_livePlayer(dependencies.livePlayer ? std::move(dependencies.livePlayer)
                                           : std::make_unique<PlayerController>())
    , m_testimonyCapture(dependencies.testimonyCapture
              ? std::move(dependencies.testimonyCapture)
              : std::make_unique<StudioCaptureController>())
    , m_notificationSync(
          m_notifier.get(), [this] { return m_clock(); }, std::move(dependencies.applicationActive))
{
    QQmlEngine::setObjectOwnership(m_livePlayer.get(), QQmlEngine::CppOwnership);
    QQmlEngine::setObjectOwnership(m_testimonyCapture.get(), QQmlEngine::CppOwnership);
    QQmlEngine::setObjectOwnership(m_settings, QQmlEngine::CppOwnership);

    m_notifier->requestAuthorization();
    m_eventNotifTimer.setInterval(std::chrono::seconds(60));
    connect(&m_eventNotifTimer, &QTimer::timeout, this, &AppModel::eventTimerFired);
    m_eventNotifTimer.start();

    if (dependencies.startBootstrap)
        bootstrap();
}

AppModel::~AppModel() = default;

AppModel &AppModel::instance()
{
    if (!installedInstance) {
        auto *model = new AppModel(Dependencies {}, QCoreApplication::instance());
        installedInstance = model;
    }
    return *installedInstance;
}

void AppModel::setInstance(AppModel *model)
{
    installedInstance = model;
}

AppModel *AppModel::create(QQmlEngine *engine, QJSEngine *scriptEngine)
{
    Q_UNUSED(engine);
    Q_UNUSED(scriptEngine);
    AppModel *model = &instance();
    QQmlEngine::setObjectOwnership(model, QQmlEngine::CppOwnership);
    return model;
}

// Published fields.

void AppModel::setRoute(MacRoute::Value route)
{
    const bool couldGoBack = canGoBack();
    assign(this, m_route, route, &AppModel::routeChanged);
    if (couldGoBack != canGoBack())
        emit canGoBackChanged();
}

void AppModel::setRouteDirectly(MacRoute::Value route)
{
    setRoute(route);
    if (route != MacRoute::Live && route != MacRoute::Menu)
        syncLivePlayback(route);
}

void AppModel::setNavigationStack(QList<MacRoute::Value> stack)
{
    const bool couldGoBack = canGoBack();
    assign(this, m_navigationStack, std::move(stack), &AppModel::navigationStackChanged);
    if (couldGoBack != canGoBack())
        emit canGoBackChanged();
}

void AppModel::setSelectedProgramId(const std::optional<QString> &id)
{
    assign(this, m_selectedProgramId, id, &AppModel::selectedProgramIdChanged);
}

void AppModel::setMenuPresented(bool presented)
{
    assign(this, m_menuPresented, presented, &AppModel::menuPresentedChanged);
}

void AppModel::setHasSeenLiveWelcome(bool seen)
{
    assign(this, m_hasSeenLiveWelcome, seen, &AppModel::hasSeenLiveWelcomeChanged);
}

void AppModel::setConfig(std::optional<TvConfig> config)
{
    assign(this, m_config, std::move(config), &AppModel::configChanged);
}

void AppModel::setHome(std::optional<HomeData> home)
{
    assign(this, m_home, std::move(home), &AppModel::homeChanged);
}

void AppModel::setContinueWatching(QList<ContinueWatchingItem> items)
{
    assign(this, m_continueWatching, std::move(items), &AppModel::continueWatchingChanged);
}

void AppModel::setBootstrapError(std::optional<QString> error)
{
    assign(this, m_bootstrapError, std::move(error), &AppModel::bootstrapErrorChanged);
}

void AppModel::setIsGuest(bool guest)
{
    assign(this, m_isGuest, guest, &AppModel::isGuestChanged);
}

void AppModel::setProfile(std::optional<UserProfile> profile)
{
    assign(this, m_profile, std::move(profile), &AppModel::profileChanged);
}

void AppModel::setLiveStreamCache(std::optional<LiveStreamData> stream)
{
    assign(this, m_liveStreamCache, std::move(stream), &AppModel::liveStreamCacheChanged);
}

void AppModel::setLiveSchedule(std::optional<ScheduleData> schedule)
{
    assign(this, m_liveSchedule, std::move(schedule), &AppModel::liveScheduleChanged);
}

void AppModel::setLiveScheduleError(std::optional<QString> error)
{
    assign(this, m_liveScheduleError, std::move(error), &AppModel::liveScheduleErrorChanged);
}

void AppModel::setIsLoadingLiveSchedule(bool loading)
{
    assign(this, m_isLoadingLiveSchedule, loading, &AppModel::isLoadingLiveScheduleChanged);
}

void AppModel::setProgramsCache(QList<ProgramSummary> programs)
{
    assign(this, m_programsCache, std::move(programs), &AppModel::programsCacheChanged);
}

QList<int> AppModel::backStack() const
{
    QList<int> routes;
    routes.reserve(m_navigationStack.size());
    for (const MacRoute::Value route : m_navigationStack)
        routes.append(route);
    return routes;
}

QString AppModel::forceUpdateMessage() const
{
    return m_config ? m_config->force_update_message.value_or(QString()) : QString();
}

QVariantMap AppModel::configUrls() const
{
    QVariantMap links;
    if (!m_config || !m_config->urls)
        return links;
    const ConfigUrls &urls = *m_config->urls;
    const std::pair<const char *, const std::optional<QString> *> named[] = {
        { "activate", &urls.activate },
        { "give", &urls.give },
        { "testimony", &urls.testimony },
        { "privacy", &urls.privacy },
        { "terms", &urls.terms },
        { "herald", &urls.herald },
    };
    for (const auto &[name, link] : named) {
        if (*link)
            links.insert(QString::fromLatin1(name), **link);
    }
    return links;
}

QVariantList AppModel::liveLanguages() const
{
    QVariantList languages;
    if (!m_config || !m_config->live_languages)
        return languages;
    for (const LanguageOption &option : *m_config->live_languages)
        languages.append(QVariantMap {
            { QStringLiteral("code"), option.code }, { QStringLiteral("label"), option.label } });
    return languages;
}

// Navigation.

void AppModel::navigate(MacRoute::Value target)
{
    if (!isExemptFromSignIn(target) && m_isGuest) {
        setRoute(MacRoute::Login);
        setMenuPresented(false);
        setNavigationStack({});
        return;
    }
    if (target == MacRoute::KidsZone) {
        setSelectedProgramId(QStringLiteral("79"));
        navigate(MacRoute::ProgramDetail);
        return;
    }
    QList<MacRoute::Value> stack = m_navigationStack;
    if (shouldPushCurrentRoute(target))
        stack.append(m_route);
    if (target == MacRoute::Live)
        stack.clear();
    setNavigationStack(std::move(stack));
    setRoute(target);
    setMenuPresented(false);
    syncLivePlayback(target);
}

bool AppModel::shouldPushCurrentRoute(MacRoute::Value target) const
{
    return m_route != target && !isNeverPushed(m_route);
}

void AppModel::syncLivePlayback(MacRoute::Value route)
{
    if (route == MacRoute::Menu)
        return;
    const bool live = route == MacRoute::Live;
    m_livePlayer->setWantsPlayback(live);
    if (live)
        m_livePlayer->player()->play();
    else
        m_livePlayer->player()->pause();
    m_livePlayer->setIsPlaying(live);
    m_sleepGuard->holdForLive(live);
}

void AppModel::goBack()
{
    if (m_navigationStack.isEmpty()) {
        navigate(MacRoute::Live);
        return;
    }
    QList<MacRoute::Value> stack = m_navigationStack;
    const MacRoute::Value previous = stack.takeLast();
    setNavigationStack(std::move(stack));
    setRoute(previous);
    setMenuPresented(false);
    syncLivePlayback(previous);
}

bool AppModel::canGoBack() const
{
    return !m_navigationStack.isEmpty() && !offersNoBack(m_route);
}

void AppModel::openEpisode(const QString &id)
{
    const QString trimmed = id.trimmed();
    if (trimmed.isEmpty())
        return;
    // Announced even for the id already shown: the episode screen reloads on it.
    m_selectedEpisodeId = trimmed;
    emit selectedEpisodeIdChanged();
    if (m_route != MacRoute::Episode)
        navigate(MacRoute::Episode);
}

void AppModel::handleAction(const std::optional<NavAction> &action)
{
    if (!action || !action->type)
        return;
    const QString type = action->type->toLower();
    if (type == u"live") {
        if (action->lang) {
            m_settings->setStreamLanguage(*action->lang);
            m_settings->persist();
        }
        navigate(MacRoute::Live);
    } else if (type == u"program") {
        if (!action->id)
            return;
        setSelectedProgramId(*action->id);
        navigate(MacRoute::ProgramDetail);
    } else if (type == u"episode") {
        if (action->id)
            openEpisode(*action->id);
    }
}

std::optional<QUrl> AppModel::engagementURL(const std::optional<QString> &base)
{
    if (!base || base->isEmpty())
        return std::nullopt;
    const QString text
        = *base + (base->contains(u'?') ? u'&' : u'?') + QStringLiteral("src=macos&platform=macos");
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != u"http" && url.scheme() != u"https"))
        return std::nullopt;
    return url;
}

QUrl AppModel::engagementUrl(const QString &base) const
{
    return engagementURL(base).value_or(QUrl());
}

QUrl AppModel::activateURL() const
{
    if (m_config && m_config->urls && m_config->urls->activate) {
        const QUrl url(*m_config->urls->activate, QUrl::StrictMode);
        if (url.isValid() && !url.isEmpty())
            return url;
    }
    return servicePage(QStringLiteral("/activate"));
}

bool AppModel::isVersion(QStringView a, QStringView b)
{
    const auto numbers = [](QStringView text) {
        QList<qint64> parts;
        for (const QStringView piece : text.split(u'.', Qt::SkipEmptyParts)) {
            if (const auto number = parseStrictInteger(piece))
                parts.append(*number);
        }
        return parts;
    };
    const QList<qint64> left = numbers(a);
    const QList<qint64> right = numbers(b);
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i) {
        const qint64 l = i < left.size() ? left[i] : 0;
        const qint64 r = i < right.size() ? right[i] : 0;
        if (l != r)
            return l < r;
    }
    return false;
}

double AppModel::nowSeconds() const
{
    return double(m_clock()) / 1000.0;
}

} // namespace orvella
