#include "screens/programs/ProgramDetailModel.h"

#include "api/OrvellaAPIClient.h"
#include "app/AppModel.h"
#include "platform/Clock.h"
#include "screens/programs/EpisodeListModel.h"
#include "screens/programs/ScreenTasks.h"

namespace orvella {

namespace {
constexpr qsizetype maxDescription = 2000;
} // namespace

ProgramDetailModel::ProgramDetailModel(QObject *parent)
    : QObject(parent)
    , m_episodes(new EpisodeListModel(this))
{ }

ProgramDetailModel::~ProgramDetailModel()
{
    disappear();
}

void ProgramDetailModel::setApp(AppModel *app)
{
    if (m_app == app)
        return;
    m_app = app;
    emit appChanged();
}

void ProgramDetailModel::setProgramId(const QString &id)
{
    if (m_programId == id)
        return;
    m_programId = id;
    emit programIdChanged();
    if (m_shown)
        load(false);
}

QString ProgramDetailModel::bannerTitle() const
{
    if (m_program)
        return m_program->displayTitle().left(300);
    return m_loading ? QStringLiteral("Loading…") : QStringLiteral("Program");
}

QString ProgramDetailModel::bannerImage() const
{
    return m_program ? m_program->bannerPicture() : QString();
}

QString ProgramDetailModel::episodeCountText() const
{
    if (!m_program || !m_program->episode_count)
        return {};
    return QStringLiteral("%1 episodes").arg(*m_program->episode_count);
}

QString ProgramDetailModel::description() const
{
    return m_program ? m_program->description.value_or(QString()).left(maxDescription) : QString();
}

QString ProgramDetailModel::videosText() const
{
    return QStringLiteral("%1 videos").arg(m_episodes->count());
}

bool ProgramDetailModel::showsSkeleton() const
{
    return m_loading && m_episodes->count() == 0;
}

void ProgramDetailModel::appear()
{
    m_shown = true;
    load(false);
}

void ProgramDetailModel::disappear()
{
    m_shown = false;
    m_load.request_stop();
}

void ProgramDetailModel::refresh()
{
    if (!m_loading)
        load(true);
}

void ProgramDetailModel::goBack()
{
    if (m_app)
        m_app->goBack();
}

void ProgramDetailModel::openEpisode(int row)
{
    if (m_app && row >= 0 && row < m_episodes->count())
        m_app->openEpisode(m_episodes->episodeIdAt(row));
}

void ProgramDetailModel::showEpisodes(QList<EpisodeSummary> episodes)
{
    m_episodes->setEpisodes(std::move(episodes));
    m_episodes->prefetchThumbnails();
}

QCoro::Task<std::optional<ProgramWithEpisodes>> ProgramDetailModel::fetch(
    QString id, int pages, std::stop_token stop)
{
    QPointer self(this);
    QPointer app(m_app);
    std::optional<ProgramWithEpisodes> result;
    std::exception_ptr error;
    try {
        result = co_await app->client().getProgram(id, pages, stop);
    } catch (const DescribedError &) {
        error = std::current_exception();
    }
    // A superseded or abandoned fetch writes nothing.
    if (!self || !app || stop.stop_requested())
        co_return std::nullopt;
    if (error) {
        if (const auto text = failureText(error))
            m_errorText = *text;
        m_loading = false;
        m_loadingMore = false;
        emit contentChanged();
    }
    co_return result;
}

QCoro::Task<> ProgramDetailModel::load(bool force)
{
    const std::stop_token stop = renewStop(m_load);
    if (!m_app)
        co_return;
    QPointer self(this);
    const QString id = m_programId;
    if (force) {
        m_errorText.reset();
        m_episodes->setEpisodes({});
        m_loading = true;
    } else {
        m_loading = m_episodes->count() == 0;
    }
    m_loadingMore = false;
    emit contentChanged();

    std::optional<ProgramWithEpisodes> first = co_await fetch(id, 1, stop);
    if (!self || !first)
        co_return;
    m_program = first->program;
    const qsizetype firstCount = first->episodes.size();
    showEpisodes(std::move(first->episodes));
    m_loading = false;
    if (firstCount == 0)
        m_errorText = QStringLiteral("No episodes were returned for this program.");
    if (firstCount < firstPageSize) {
        emit contentChanged();
        co_return;
    }
    m_loadingMore = true;
    emit contentChanged();

    std::optional<ProgramWithEpisodes> all = co_await fetch(id, maxPages, stop);
    if (!self || !all)
        co_return;
    showEpisodes(std::move(all->episodes));
    m_loadingMore = false;
    emit contentChanged();
}

} // namespace orvella
