#include "screens/programs/EpisodePlayerModel.h"

#include "api/OrvellaAPIClient.h"
#include "app/AppModel.h"
#include "base/DescribedError.h"
#include "core/LocalHistory.h"
#include "core/SessionLog.h"
#include "platform/Clock.h"
#include "platform/DBusSleepInhibitor.h"
#include "platform/MediaPlayerFactory.h"
#include "player/PlaybackSleepGuard.h"
#include "player/PlayerController.h"
#include "screens/programs/EpisodeListModel.h"
#include "screens/programs/EpisodeText.h"
#include "screens/programs/ScreenTasks.h"

namespace orvella {

using namespace std::chrono_literals;

namespace {
constexpr auto retryDelay = 350ms;
constexpr int maxAutomaticReloads = 2;
// A resume point this close to the end starts the episode again.
constexpr double restartMargin = 10;
constexpr qsizetype maxText = 300;
// The programme list that next and repeat walk: every page the service gives.
constexpr int programPages = 8;
} // namespace

EpisodePlayerModel::EpisodePlayerModel(QObject *parent)
    : QObject(parent)
    , m_clock(&Clock::system())
    , m_factory(createMediaPlayer)
    , m_related(new EpisodeListModel(this))
{ }

EpisodePlayerModel::~EpisodePlayerModel()
{
    leave();
}

void EpisodePlayerModel::setClock(Clock *clock)
{
    m_clock = clock ? clock : &Clock::system();
}

void EpisodePlayerModel::setApp(AppModel *app)
{
    if (m_app == app)
        return;
    if (m_app)
        disconnect(m_app->settings(), nullptr, this, nullptr);
    m_app = app;
    if (m_app)
        connect(
            m_app->settings(), &SettingsModel::changed, this, &EpisodePlayerModel::settingsChanged);
    emit appChanged();
    emit settingsChanged();
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
    for (auto signal : { &PlayerController::isReadyChanged, &PlayerController::statusTextChanged,
             &PlayerController::durationChanged, &PlayerController::currentTimeChanged,
             &PlayerController::bufferedChanged }) {
        connect(player, signal, this, &EpisodePlayerModel::playbackChanged);
    }
    connect(player, &PlayerController::isReadyChanged, this, &EpisodePlayerModel::panelsChanged);
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
    return m_controlsVisible && ready() && !m_relatedOpen && !m_countdown;
}

// State.

void EpisodePlayerModel::setErrorText(std::optional<QString> text)
{
    if (m_errorText == text)
        return;
    m_errorText = std::move(text);
    emit errorTextChanged();
    emit panelsChanged();
}

void EpisodePlayerModel::setFlag(bool &flag, bool value)
{
    if (flag == value)
        return;
    flag = value;
    emit panelsChanged();
}

void EpisodePlayerModel::setControlsVisible(bool visible)
{
    setFlag(m_controlsVisible, visible);
}

void EpisodePlayerModel::setCountdown(std::optional<int> value)
{
    if (m_countdown == value)
        return;
    m_countdown = value;
    emit panelsChanged();
}

// Appearing and leaving.

void EpisodePlayerModel::appear()
{
    if (m_appeared || !m_app)
        return;
    m_appeared = true;
    if (!m_guard) {
        m_ownGuard = std::make_unique<PlaybackSleepGuard>(std::make_unique<DBusSleepInhibitor>());
        m_guard = m_ownGuard.get();
    }
    ensurePlayer();
    reset();
    load(false);
}

void EpisodePlayerModel::reset()
{
    m_playNextTask.request_stop();
    setCountdown(std::nullopt);
    setFlag(m_relatedOpen, false);
    setFlag(m_qualityOpen, false);
    setFlag(m_repeatOpen, false);
    m_programEpisodes.clear();
    setErrorText(std::nullopt);
    m_retryCount = 0;
}

void EpisodePlayerModel::leave()
{
    if (m_left)
        return;
    m_left = true;
    for (std::stop_source *task :
        { &m_loadTask, &m_programTask, &m_hideTask, &m_playNextTask, &m_retryTask }) {
        task->request_stop();
    }
    // The leave record goes out after the screen is gone, with the last position seen while
    // the player was ready; none when it never was.
    if (const auto position = m_progress.lastReadyPosition(); position && m_episode && m_app) {
        sendEpisodeRecord(m_app,
            makeEpisodeRecord(m_episodeId, *m_episode, *position,
                m_player ? m_player->duration() : 0, m_app->isGuest()));
    }
    if (m_player)
        m_player->tearDown();
    if (m_guard)
        m_guard->setActive(false, QString::fromLatin1(sleepReason));
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

std::optional<double> EpisodePlayerModel::resumePosition() const
{
    std::optional<double> position;
    std::optional<double> duration;
    for (const LocalHistoryEntry &entry : LocalHistoryStore::load()) {
        if (entry.episodeId == m_episodeId) {
            position = double(entry.position);
            if (entry.duration > 0)
                duration = double(entry.duration);
            break;
        }
    }
    if (!position && m_app) {
        for (const ContinueWatchingItem &item : m_app->continueWatching()) {
            if (item.episode_id == m_episodeId && item.position) {
                position = double(*item.position);
                if (item.duration && *item.duration > 0)
                    duration = double(*item.duration);
                break;
            }
        }
    }
    if (!duration)
        duration = knownDuration();
    if (position && duration && *position >= *duration - restartMargin)
        return 0.0;
    return position;
}

QCoro::Task<> EpisodePlayerModel::load(bool forceRetry)
{
    const std::stop_token stop = restartStop(m_loadTask);
    if (!m_app || m_left)
        co_return;
    ensurePlayer();
    setErrorText(std::nullopt);
    if (forceRetry)
        m_retryCount = 0;
    QPointer self(this);
    QPointer app(m_app);
    // An automatic reload starts where playback was.
    const std::optional<double> reloadAt = m_progress.lastReadyPosition();

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
    m_related->setEpisodes(m_episode->related.value_or(QList<EpisodeSummary>()));
    emit episodeChanged();
    emit panelsChanged();

    if (m_episode->program && m_episode->program->id)
        fetchProgramEpisodes(m_episode->program->id->stringValue, restartStop(m_programTask));

    const std::optional<QUrl> url = m_episode->playbackURL();
    if (!url) {
        setErrorText(QStringLiteral("Playback URL unavailable. Try Refresh."));
        co_return;
    }
    m_startAt = reloadAt && !forceRetry ? reloadAt : resumePosition();
    m_progress.loadStarted();
    m_player->load(*url, true, m_startAt, false);
    m_player->setQuality(m_app->settings()->preferredQuality());
    m_player->setCaptions(
        m_app->settings()->captionsEnabled(), m_app->settings()->captionLanguage());
    showControls();
}

QCoro::Task<> EpisodePlayerModel::fetchProgramEpisodes(QString programId, std::stop_token stop)
{
    QPointer self(this);
    QPointer app(m_app);
    try {
        auto result = co_await app->client().getProgram(programId, programPages, stop);
        if (self && !stop.stop_requested()) {
            m_programEpisodes = std::move(result.episodes);
            emit panelsChanged();
        }
    } catch (const DescribedError &error) {
        // Next and repeat fall back to the related episodes.
        qCDebug(lcSession) << "programme episodes unavailable:" << error.description();
    }
}

QCoro::Task<> EpisodePlayerModel::retryPlaybackIfNeeded()
{
    if (m_errorText || m_reloadPending || m_left)
        co_return;
    if (m_retryCount < maxAutomaticReloads) {
        ++m_retryCount;
        m_reloadPending = true;
        const std::stop_token stop = restartStop(m_retryTask);
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
    const double duration = m_player->duration();
    // The item's own duration is known now: a resume point in its last seconds starts over.
    if (m_startAt && *m_startAt > 0 && duration > 0 && *m_startAt >= duration - restartMargin) {
        m_startAt = 0.0;
        restartNearEnd();
        return;
    }
    markStartApplied();
}

void EpisodePlayerModel::markStartApplied()
{
    m_progress.startApplied();
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
    const EpisodeProgress::Step step = m_progress.tick(m_player->currentTime(), m_clock->now());
    if (step.postView)
        postEpisodeView(m_app, m_episodeId);
    if (step.record && m_app) {
        sendEpisodeRecord(m_app,
            makeEpisodeRecord(m_episodeId, *m_episode, m_player->currentTime(),
                m_player->duration(), m_app->isGuest()));
    }
}

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

void EpisodePlayerModel::playingChanged()
{
    if (m_guard && !m_left)
        m_guard->setActive(m_player->isPlaying(), QString::fromLatin1(sleepReason));
}

} // namespace orvella
