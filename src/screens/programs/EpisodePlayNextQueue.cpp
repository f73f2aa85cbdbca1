#include "screens/programs/EpisodePlayNextQueue.h"

#include "api/OrvellaAPIClient.h"
#include "app/AppModel.h"
#include "base/DescribedError.h"
#include "core/PublishedValue.h"
#include "core/SessionLog.h"
#include "platform/Clock.h"
#include "screens/programs/EpisodeText.h"
#include "screens/programs/ScreenTasks.h"

namespace orvella {

using namespace std::chrono_literals;

namespace {
// The programme list that next and repeat walk: every page the service gives.
constexpr int programPages = 8;
constexpr qsizetype maxText = 300;
} // namespace

EpisodePlayNextQueue::EpisodePlayNextQueue(
    std::function<void(const QString &)> open, std::function<void()> showControls, QObject *parent)
    : QObject(parent)
    , m_open(std::move(open))
    , m_showControls(std::move(showControls))
    , m_clock(&Clock::system())
{ }

EpisodePlayNextQueue::~EpisodePlayNextQueue()
{
    m_countdownTask.request_stop();
    m_programTask.request_stop();
}

void EpisodePlayNextQueue::setEpisode(const QString &episodeId, QList<EpisodeSummary> related)
{
    m_episodeId = episodeId;
    m_related = std::move(related);
    emit changed();
}

void EpisodePlayNextQueue::fetchProgramEpisodes(AppModel *app, const QString &programId)
{
    fetch(app, programId, renewStop(m_programTask));
}

QCoro::Task<> EpisodePlayNextQueue::fetch(
    QPointer<AppModel> app, QString programId, std::stop_token stop)
{
    if (!app)
        co_return;
    QPointer self(this);
    try {
        auto result = co_await app->client().getProgram(programId, programPages, stop);
        if (self && !stop.stop_requested()) {
            m_programEpisodes = std::move(result.episodes);
            emit changed();
        }
    } catch (const DescribedError &error) {
        // Next and repeat fall back to the related episodes.
        qCDebug(lcSession) << "programme episodes unavailable:" << error.description();
    }
}

QList<EpisodeSummary> EpisodePlayNextQueue::orderedPlaylist() const
{
    return m_programEpisodes.isEmpty() ? m_related : m_programEpisodes;
}

std::optional<EpisodeSummary> EpisodePlayNextQueue::next() const
{
    return episodes::nextEpisode(orderedPlaylist(), m_episodeId);
}

void EpisodePlayNextQueue::setCountdown(std::optional<int> value)
{
    publish(this, m_countdown, value, &EpisodePlayNextQueue::changed);
}

void EpisodePlayNextQueue::start()
{
    const std::stop_token stop = renewStop(m_countdownTask);
    setCountdown(countdownFrom);
    run(stop);
}

void EpisodePlayNextQueue::cancel()
{
    m_countdownTask.request_stop();
    setCountdown(std::nullopt);
}

void EpisodePlayNextQueue::stop()
{
    cancel();
    m_showControls();
}

QCoro::Task<> EpisodePlayNextQueue::run(std::stop_token stop)
{
    QPointer self(this);
    for (int left = countdownFrom - 1; left >= 0; --left) {
        co_await m_clock->sleep(1s, stop);
        if (!self || stop.stop_requested())
            co_return;
        setCountdown(left);
    }
    if (const auto upcoming = next()) {
        m_open(upcoming->id.stringValue);
    } else {
        // The list changed and nothing can be opened: the card goes and the chrome shows.
        setCountdown(std::nullopt);
        m_showControls();
    }
}

bool EpisodePlayNextQueue::showsCard() const
{
    return m_countdown && next();
}

QString EpisodePlayNextQueue::title() const
{
    const auto upcoming = m_countdown ? next() : std::nullopt;
    return upcoming ? episodes::displayTitle(*upcoming).left(maxText) : QString();
}

QString EpisodePlayNextQueue::image() const
{
    const auto upcoming = m_countdown ? next() : std::nullopt;
    return upcoming ? upcoming->image.value_or(QString()) : QString();
}

QString EpisodePlayNextQueue::countdownText() const
{
    return m_countdown ? QStringLiteral("Playing in: %1s").arg(*m_countdown) : QString();
}

} // namespace orvella
