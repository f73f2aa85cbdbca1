#include "app/AppModel.h"

#include "api/Identity.h"
#include "api/OrvellaAPIClient.h"
#include "api/ServiceOrigin.h"
#include "api/WebLink.h"
#include "core/PublishedValue.h"
#include "player/PlaybackSleepGuard.h"
#include "player/PlayerController.h"
#include "studio/StudioCaptureController.h"

#include <QCoreApplication>
#include <QPointer>
#include <QQmlEngine>

namespace orvella {

namespace {

QPointer<AppModel> installedInstance;

} // namespace

AppModel::AppModel(AppServices services, QObject *parent)
    : QObject(parent)
    , m_client(services.client)
    , m_sleepGuard(services.sleepGuard)
    , m_settings(std::move(services.settings))
    , m_livePlayer(std::move(services.livePlayer))
    , m_makeStudio(std::move(services.studio))
    , m_endEventLoop(std::move(services.endEventLoop))
    , m_session(std::make_unique<Session>(*m_client, *m_settings, *services.clock))
    , m_progressReports(std::make_unique<ProgressReports>(*m_client, *m_session, *services.clock))
    , m_navigator(std::make_unique<Navigator>([this] { return !m_session->isGuest(); }))
    , m_content(std::make_unique<SharedContent>(*m_client, *m_session))
    , m_foreground(std::make_unique<ApplicationForeground>(*services.clock))
    , m_reminders(std::make_unique<EventReminders>(
          *m_content, *m_settings, std::move(services.notifier), *services.clock,
          services.applicationActive
              ? std::move(services.applicationActive)
              : [foreground = m_foreground.get()] { return foreground->isInFront(); }))
{
    QQmlEngine::setObjectOwnership(m_livePlayer.get(), QQmlEngine::CppOwnership);
    QQmlEngine::setObjectOwnership(m_settings.get(), QQmlEngine::CppOwnership);
    forwardSignals();
}

AppModel::~AppModel() = default;

void AppModel::forwardSignals()
{
    const auto forward
        = [this](auto *from, auto signal, auto to) { connect(from, signal, this, to); };
    Navigator *navigator = m_navigator.get();
    forward(navigator, &Navigator::routeChanged, &AppModel::routeChanged);
    forward(navigator, &Navigator::selectedProgramIdChanged, &AppModel::selectedProgramIdChanged);
    forward(navigator, &Navigator::selectedEpisodeIdChanged, &AppModel::selectedEpisodeIdChanged);
    forward(navigator, &Navigator::navigationStackChanged, &AppModel::navigationStackChanged);
    forward(navigator, &Navigator::canGoBackChanged, &AppModel::canGoBackChanged);
    forward(navigator, &Navigator::menuPresentedChanged, &AppModel::menuPresentedChanged);
    forward(navigator, &Navigator::livePlaybackFollows, &AppModel::syncLivePlayback);

    Session *session = m_session.get();
    forward(session, &Session::isGuestChanged, &AppModel::isGuestChanged);
    forward(session, &Session::profileChanged, &AppModel::profileChanged);
    connect(session, &Session::ended, this, [this] {
        m_content->clearContinueWatching();
        m_navigator->clearStack();
        m_navigator->setRouteDirectly(MacRoute::Login);
        m_navigator->setMenuPresented(false);
        // Paused by the route; a pause alone would go on reading live's captions ahead.
        m_livePlayer->player()->stopCaptionReads();
    });

    SharedContent *content = m_content.get();
    forward(content, &SharedContent::configChanged, &AppModel::configChanged);
    forward(content, &SharedContent::homeChanged, &AppModel::homeChanged);
    forward(content, &SharedContent::continueWatchingChanged, &AppModel::continueWatchingChanged);
    forward(content, &SharedContent::programsCacheChanged, &AppModel::programsCacheChanged);
    forward(content, &SharedContent::bootstrapErrorChanged, &AppModel::bootstrapErrorChanged);
    forward(content, &SharedContent::liveStreamCacheChanged, &AppModel::liveStreamCacheChanged);
    forward(content, &SharedContent::liveScheduleChanged, &AppModel::liveScheduleChanged);
    forward(content, &SharedContent::liveScheduleErrorChanged, &AppModel::liveScheduleErrorChanged);
    forward(content, &SharedContent::isLoadingLiveScheduleChanged,
        &AppModel::isLoadingLiveScheduleChanged);
    forward(content, &SharedContent::liveStreamFetched, &AppModel::offerLiveStream);

    forward(m_reminders.get(), &EventReminders::minutePassed, &AppModel::eventTimerFired);
}

AppModel &AppModel::instance()
{
    if (!installedInstance)
        installedInstance = AppBuilder().build(QCoreApplication::instance()).release();
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

StudioCaptureController *AppModel::testimonyCapture() const
{
    if (!m_testimonyCapture) {
        m_testimonyCapture = m_makeStudio(const_cast<AppModel &>(*this));
        QQmlEngine::setObjectOwnership(m_testimonyCapture.get(), QQmlEngine::CppOwnership);
    }
    return m_testimonyCapture.get();
}

// Published fields.

void AppModel::setSelectedProgramId(const std::optional<QString> &id)
{
    m_navigator->setSelectedProgramId(id);
}

void AppModel::setMenuPresented(bool presented)
{
    m_navigator->setMenuPresented(presented);
}

void AppModel::setHasSeenLiveWelcome(bool seen)
{
    publish(this, m_hasSeenLiveWelcome, seen, &AppModel::hasSeenLiveWelcomeChanged);
}

QList<int> AppModel::backStack() const
{
    QList<int> routes;
    routes.reserve(navigationStack().size());
    for (const MacRoute::Value route : navigationStack())
        routes.append(route);
    return routes;
}

QString AppModel::forceUpdateMessage() const
{
    return config() ? config()->force_update_message.value_or(QString()) : QString();
}

QVariantMap AppModel::configUrls() const
{
    QVariantMap links;
    if (!config() || !config()->urls)
        return links;
    const ConfigUrls &urls = *config()->urls;
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
    if (!config() || !config()->live_languages)
        return languages;
    for (const LanguageOption &option : *config()->live_languages)
        languages.append(QVariantMap {
            { QStringLiteral("code"), option.code }, { QStringLiteral("label"), option.label } });
    return languages;
}

// Navigation.

void AppModel::navigate(MacRoute::Value target)
{
    m_navigator->navigate(target);
}

void AppModel::goBack()
{
    m_navigator->goBack();
}

void AppModel::openEpisode(const QString &id)
{
    m_mutedEpisode.reset();
    m_navigator->openEpisode(id);
}

void AppModel::openEpisodeFromPlayer(const QString &id, bool muted)
{
    // Set before the navigation, which builds the new screen.
    m_mutedEpisode = muted ? std::optional(id.trimmed()) : std::nullopt;
    m_navigator->openEpisode(id);
}

bool AppModel::startsMuted(const QString &episodeId) const
{
    return m_mutedEpisode == episodeId;
}

void AppModel::quit()
{
    if (m_quitting)
        return;
    m_quitting = true;
    endRun();
}

QCoro::Task<> AppModel::endRun()
{
    QPointer self(this);
    emit quitting();
    m_livePlayer->setWantsPlayback(false);
    m_livePlayer->player()->pause();
    co_await m_progressReports->settle(quitSettleBound);
    if (self && m_endEventLoop)
        m_endEventLoop();
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
    // Live holds the display for as long as it is on screen; another screen's player takes over.
    if (live)
        m_sleepGuard->playerShown(m_livePlayer.get(), true);
    else
        m_sleepGuard->playerHidden(m_livePlayer.get());
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
    const QString text = *base + (base->contains(u'?') ? u'&' : u'?')
        + QStringLiteral("src=%1&platform=%1").arg(QLatin1String(identity::platform));
    return webLink(text);
}

QUrl AppModel::engagementUrl(const QString &base) const
{
    return engagementURL(base).value_or(QUrl());
}

QUrl AppModel::activateURL() const
{
    if (config() && config()->urls) {
        if (auto url = webLink(config()->urls->activate))
            return *url;
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

// Shared loads.

void AppModel::offerLiveStream(const LiveStreamData &stream)
{
    if (m_livePlayer->hasCurrentItem())
        return;
    const auto url = stream.playableURL();
    if (!url)
        return;
    m_livePlayer->load(*url, false, std::nullopt, stream.isLiveNow());
    m_livePlayer->setQuality(m_settings->preferredQuality());
}

QCoro::Task<std::optional<LiveStreamData>> AppModel::loadLiveStream(
    QString lang, bool force, std::stop_token stop)
{
    return m_content->loadLiveStream(std::move(lang), force, std::move(stop));
}

QCoro::Task<> AppModel::refreshHome(bool force, std::stop_token stop)
{
    return m_content->refreshHome(force, std::move(stop));
}

QCoro::Task<> AppModel::refreshContinueWatching(std::stop_token stop)
{
    return m_content->refreshContinueWatching(std::move(stop));
}

void AppModel::updateContinueWatching(const ContinueWatchingItem &item)
{
    m_content->updateContinueWatching(item);
}

QCoro::Task<> AppModel::refreshProgramsCache(bool force, std::stop_token stop)
{
    return m_content->refreshProgramsCache(force, std::move(stop));
}

QCoro::Task<> AppModel::syncProfileFromServer(std::stop_token stop)
{
    return m_session->syncProfileFromServer(std::move(stop));
}

QCoro::Task<> AppModel::loadLiveSchedule(bool force)
{
    return m_content->loadLiveSchedule(force);
}

QCoro::Task<> AppModel::syncEventNotifications()
{
    return m_reminders->syncEventNotifications();
}

QCoro::Task<> AppModel::refreshEventScheduleData()
{
    return m_reminders->refreshEventScheduleData();
}

void AppModel::eventTimerFired()
{
    syncEventNotifications();
    m_session->refreshIfDue();
}

} // namespace orvella
