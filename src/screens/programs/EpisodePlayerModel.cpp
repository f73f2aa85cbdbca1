#include "screens/programs/EpisodePlayerModel.h"

#include "api/OrvellaAPIClient.h"
#include "app/AppModel.h"
#include "base/DescribedError.h"
#include "platform/Clock.h"
#include "platform/MediaPlayerFactory.h"
#include "player/PlaybackSleepGuard.h"
#include "player/PlayerController.h"
#include "screens/programs/EpisodeChromeModel.h"
#include "screens/programs/EpisodeListModel.h"
#include "screens/programs/EpisodePlayNextQueue.h"
#include "screens/programs/EpisodeScrubberModel.h"
#include "screens/programs/EpisodeText.h"
#include "screens/programs/ScreenTasks.h"

namespace orvella {

using namespace std::chrono_literals;

namespace {
constexpr auto retryDelay = 350ms;
constexpr int maxAutomaticReloads = 2;
constexpr qsizetype maxText = 300;
} // namespace

EpisodePlayerModel::EpisodePlayerModel(QObject *parent)
    : QObject(parent)
    , m_clock(&Clock::system())
    , m_factory(createMediaPlayer)
    , m_chrome(new EpisodeChromeModel(this))
    , m_scrubber(new EpisodeScrubberModel([this] { m_chrome->showControls(); }, this))
    , m_playNext(new EpisodePlayNextQueue(
          [this](const QString &id) { openNext(id); }, [this] { m_chrome->showControls(); }, this))
    , m_related(new EpisodeListModel(this))
{
    connect(
        m_chrome, &EpisodeChromeModel::visibilityChanged, this, &EpisodePlayerModel::panelsChanged);
    connect(m_playNext, &EpisodePlayNextQueue::changed, this, &EpisodePlayerModel::panelsChanged);
}

EpisodePlayerModel::~EpisodePlayerModel()
{
    leave();
    // The player goes first, while everything its last signals could reach still exists; none
    // reaches this model any more.
    if (m_player) {
        disconnect(m_player.get(), nullptr, this, nullptr);
        m_chrome->setPlayer(nullptr);
        m_scrubber->setPlayer(nullptr);
        m_player.reset();
    }
}

void EpisodePlayerModel::setClock(Clock *clock)
{
    m_clock = clock ? clock : &Clock::system();
    m_chrome->setClock(m_clock);
    m_playNext->setClock(m_clock);
}

void EpisodePlayerModel::setApp(AppModel *app)
{
    if (m_app == app)
        return;
    if (m_app)
        disconnect(m_app, nullptr, this, nullptr);
    m_app = app;
    m_chrome->setApp(app);
    // Quitting leaves the screen as navigating away does: the leave record goes out.
    if (m_app)
        connect(m_app, &AppModel::quitting, this, &EpisodePlayerModel::leave);
    emit appChanged();
}

void EpisodePlayerModel::setEpisodeId(const QString &id)
{
    if (m_episodeId == id)
        return;
    m_episodeId = id;
    emit episodeIdChanged();
}

void EpisodePlayerModel::ensurePlayer()
{
    if (m_player)
        return;
    m_player = std::make_unique<PlayerController>(m_factory());
    PlayerController *player = m_player.get();
    connect(player, &PlayerController::currentTimeChanged, this, &EpisodePlayerModel::timeTick);
    connect(player, &PlayerController::endedGenerationChanged, this,
        &EpisodePlayerModel::endCounterChanged);
    connect(player, &PlayerController::failedGenerationChanged, this,
        &EpisodePlayerModel::failureCounterChanged);
    connect(player, &PlayerController::stalledGenerationChanged, this,
        &EpisodePlayerModel::stallCounterChanged);
    connect(
        player, &PlayerController::startPositionApplied, this, &EpisodePlayerModel::startApplied);
    connect(player, &PlayerController::isPlayingChanged, this, &EpisodePlayerModel::playingChanged);
    connect(player, &PlayerController::isReadyChanged, this, &EpisodePlayerModel::playbackChanged);
    connect(
        player, &PlayerController::statusTextChanged, this, &EpisodePlayerModel::playbackChanged);
    connect(player, &PlayerController::isReadyChanged, this, &EpisodePlayerModel::panelsChanged);
    m_chrome->setPlayer(player);
    m_scrubber->setPlayer(player);
    emit playerChanged();
}

// Published texts.

QString EpisodePlayerModel::title() const
{
    if (!m_episode)
        return QStringLiteral("Episode");
    return episodes::displayTitle(*m_episode).left(maxText);
}

QString EpisodePlayerModel::subtitle() const
{
    if (!m_episode || !m_episode->program)
        return {};
    const ProgramRef &program = *m_episode->program;
    return (program.title ? *program.title : program.name.value_or(QString())).left(maxText);
}

QString EpisodePlayerModel::errorText() const
{
    return m_errorText.value_or(QString()).left(maxText);
}

QString EpisodePlayerModel::image() const
{
    return m_episode ? m_episode->image.value_or(QString()) : QString();
}

QString EpisodePlayerModel::relatedTitle() const
{
    const QString program = subtitle();
    const bool named = m_episode && m_episode->program
        && (m_episode->program->title || m_episode->program->name);
    return QStringLiteral("More from ") + (named ? program : QStringLiteral("this program"));
}

QString EpisodePlayerModel::friendlyStatus(const QString &status)
{
    const QString lower = status.toLower();
    for (const char *phrase : { "can't open", "couldn't be opened", "cannot open", "failed" }) {
        if (lower.contains(QLatin1String(phrase)))
            return QStringLiteral("Connecting…");
    }
    if (status.isEmpty() || status == u"Loading…")
        return QStringLiteral("Loading video…");
    return status;
}

QString EpisodePlayerModel::statusLine() const
{
    return friendlyStatus(m_player ? m_player->statusText() : QString());
}

bool EpisodePlayerModel::ready() const
{
    return m_player && m_player->isReady();
}

bool EpisodePlayerModel::showsChrome() const
{
    return m_chrome->controlsVisible() && ready() && !m_chrome->relatedOpen()
        && !m_playNext->countdown();
}

void EpisodePlayerModel::setErrorText(std::optional<QString> text)
{
    if (m_errorText == text)
        return;
    m_errorText = std::move(text);
    emit errorTextChanged();
    emit panelsChanged();
}

// Appearing and leaving.

void EpisodePlayerModel::appear()
{
    if (m_appeared || !m_app)
        return;
    m_appeared = true;
    m_history.setEpisode(m_app, m_episodeId);
    ensurePlayer();
    // The display claim follows this player from now on: held while it plays.
    m_app->sleepGuard().playerShown(m_player.get(), m_player->isPlaying());
    // Moving on from a muted episode keeps the sound off.
    if (m_app->startsMuted(m_episodeId))
        m_player->setMuted(true);
    m_playNext->cancel();
    m_chrome->closeAll();
    setErrorText(std::nullopt);
    m_retryCount = 0;
    load(false);
}

void EpisodePlayerModel::leave()
{
    if (m_left)
        return;
    m_left = true;
    m_loadTask.request_stop();
    m_retryTask.request_stop();
    m_chrome->stop();
    m_playNext->cancel();
    // The leave record goes out after the screen is gone, with the last position seen while
    // the player was ready; none when it never was.
    if (m_episode)
        m_history.leave(*m_episode, m_player ? m_player->duration() : 0);
    if (m_app && m_player)
        m_app->sleepGuard().playerHidden(m_player.get());
    if (m_player)
        m_player->tearDown();
}

// Viewer actions of the page.

void EpisodePlayerModel::back()
{
    if (m_app)
        m_app->goBack();
}

void EpisodePlayerModel::refresh()
{
    load(true);
}

void EpisodePlayerModel::selectRelated(int row)
{
    if (row < 0 || row >= m_related->count())
        return;
    m_chrome->dropRelated();
    m_playNext->cancel();
    openNext(m_related->episodeIdAt(row));
}

void EpisodePlayerModel::openNext(const QString &id)
{
    if (m_app)
        m_app->openEpisodeFromPlayer(id, m_player && m_player->isMuted());
}

// Loading.

std::optional<double> EpisodePlayerModel::knownDuration() const
{
    if (m_player && m_player->duration() > 0)
        return m_player->duration();
    if (m_episode && m_episode->duration && *m_episode->duration > 0)
        return double(*m_episode->duration);
    return std::nullopt;
}

QCoro::Task<> EpisodePlayerModel::load(bool forceRetry)
{
    const std::stop_token stop = renewStop(m_loadTask);
    if (!m_app || m_left)
        co_return;
    ensurePlayer();
    setErrorText(std::nullopt);
    if (forceRetry)
        m_retryCount = 0;
    QPointer self(this);
    QPointer app(m_app);
    // An automatic reload starts where playback was.
    const std::optional<double> reloadAt = m_history.lastReadyPosition();

    std::optional<EpisodeDetail> fetched;
    std::optional<QString> failure;
    try {
        fetched = co_await app->client().getEpisode(m_episodeId, stop);
    } catch (const DescribedError &) {
        failure = failureText(std::current_exception());
    }
    if (!self || !app || stop.stop_requested())
        co_return;
    if (!fetched) {
        if (failure)
            setErrorText(failure);
        co_return;
    }
    m_episode = std::move(fetched);
    const QList<EpisodeSummary> related = m_episode->related.value_or(QList<EpisodeSummary>());
    m_related->setEpisodes(related);
    m_playNext->setEpisode(m_episodeId, related);
    emit episodeChanged();
    emit panelsChanged();

    if (m_episode->program && m_episode->program->id)
        m_playNext->fetchProgramEpisodes(m_app, m_episode->program->id->stringValue);

    const std::optional<QUrl> url = m_episode->playbackURL();
    if (!url) {
        setErrorText(QStringLiteral("Playback URL unavailable. Try Refresh."));
        co_return;
    }
    m_startIsReload = reloadAt && !forceRetry;
    m_startAt = m_startIsReload ? reloadAt : m_history.resumePosition(knownDuration());
    m_history.loadStarted();
    m_player->load(*url, true, m_startAt, false);
    m_player->setQuality(m_app->settings()->preferredQuality());
    m_player->setCaptions(
        m_app->settings()->captionsEnabled(), m_app->settings()->captionLanguage());
    m_chrome->showControls();
}

QCoro::Task<> EpisodePlayerModel::retryPlaybackIfNeeded()
{
    if (m_errorText || m_reloadPending || m_left)
        co_return;
    if (m_retryCount < maxAutomaticReloads) {
        ++m_retryCount;
        m_reloadPending = true;
        const std::stop_token stop = renewStop(m_retryTask);
        QPointer self(this);
        co_await m_clock->sleep(retryDelay, stop);
        if (!self)
            co_return;
        m_reloadPending = false;
        if (stop.stop_requested())
            co_return;
        co_await load(false);
        co_return;
    }
    if (!ready())
        setErrorText(QStringLiteral("Couldn't start this video. Try Refresh."));
}

void EpisodePlayerModel::startApplied()
{
    if (!ready())
        return;
    // The item's own duration is known now: a resume point in its last seconds starts over (an
    // automatic reload goes on where playback was, to its end).
    if (m_startAt && !m_startIsReload
        && EpisodeViewingHistory::startsOver(*m_startAt, m_player->duration())) {
        m_startAt = 0.0;
        restartNearEnd();
        return;
    }
    markStartApplied();
}

void EpisodePlayerModel::markStartApplied()
{
    m_history.startApplied();
    // Read the position the start left, so the first record has it.
    m_player->refreshTime();
    timeTick();
}

QCoro::Task<> EpisodePlayerModel::restartNearEnd()
{
    QPointer self(this);
    co_await m_player->seek(0);
    if (self && ready())
        markStartApplied();
}

void EpisodePlayerModel::timeTick()
{
    if (!m_player || !m_episode || m_left || !ready())
        return;
    m_history.tick(*m_episode, m_player->currentTime(), m_player->duration(), m_clock->now());
}

// The player's counters.

void EpisodePlayerModel::failureCounterChanged(int value)
{
    if (value >= 1)
        retryPlaybackIfNeeded();
}

void EpisodePlayerModel::stallCounterChanged(int value)
{
    if (value >= 1 && m_player)
        m_player->nudgePlay();
}

void EpisodePlayerModel::endCounterChanged(int value)
{
    if (value >= 1)
        handleEpisodeEnded();
}

void EpisodePlayerModel::playingChanged()
{
    if (m_app && !m_left)
        m_app->sleepGuard().playerWantsAwake(m_player.get(), m_player->isPlaying());
}

// The end of an episode: repeat it, move on in a loop, or count down to the next one.

void EpisodePlayerModel::handleEpisodeEnded()
{
    if (!m_app || m_left)
        return;
    const SettingsModel &settings = *m_app->settings();
    switch (settings.episodeRepeatMode()) {
    case EpisodeRepeatMode::Off:
        if (settings.autoplayNext() && m_playNext->next())
            m_playNext->start();
        else
            m_chrome->showControls();
        break;
    case EpisodeRepeatMode::One:
        restartFromZero();
        break;
    case EpisodeRepeatMode::All:
        if (const auto next = m_playNext->next()) {
            m_playNext->cancel();
            openNext(next->id.stringValue);
        } else {
            m_chrome->showControls();
        }
        break;
    }
}

QCoro::Task<> EpisodePlayerModel::restartFromZero()
{
    QPointer self(this);
    co_await m_player->seek(0);
    if (self && m_player && !m_left)
        m_player->nudgePlay();
}

} // namespace orvella
