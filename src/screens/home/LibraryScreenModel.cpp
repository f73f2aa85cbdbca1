#include "screens/home/LibraryScreenModel.h"

#include "app/AppModel.h"
#include "platform/Clock.h"
#include "screens/programs/ScreenTasks.h"

namespace orvella {

namespace {
// Service texts are bounded before they reach a layout.
constexpr qsizetype maxTitle = 300;
} // namespace

LibraryScreenModel::LibraryScreenModel(QString missingText, QObject *parent)
    : QObject(parent)
    , m_episodes(new EpisodeListModel(this))
    , m_missingText(std::move(missingText))
{ }

LibraryScreenModel::~LibraryScreenModel()
{
    disappear();
}

void LibraryScreenModel::setApp(AppModel *app)
{
    if (m_app == app)
        return;
    m_app = app;
    emit appChanged();
}

QString LibraryScreenModel::programTitle() const
{
    return m_program ? m_program->displayTitle().left(maxTitle) : QString();
}

QString LibraryScreenModel::bannerImage() const
{
    return m_program ? m_program->bannerPicture() : QString();
}

QString LibraryScreenModel::unavailableText() const
{
    return m_errorText.value_or(m_missingText);
}

void LibraryScreenModel::appear()
{
    load();
}

void LibraryScreenModel::disappear()
{
    m_load.request_stop();
}

void LibraryScreenModel::openEpisode(int row)
{
    if (m_app)
        m_app->openEpisode(m_episodes->episodeIdAt(row));
}

std::optional<std::stop_token> LibraryScreenModel::beginLoad()
{
    if (!m_app)
        return std::nullopt;
    const std::stop_token stop = renewStop(m_load);
    m_isLoading = true;
    m_errorText.reset();
    emit stateChanged();
    return stop;
}

void LibraryScreenModel::setProgram(std::optional<ProgramSummary> program)
{
    m_program = std::move(program);
    emit stateChanged();
}

void LibraryScreenModel::showEpisodes(QList<EpisodeSummary> episodes)
{
    m_episodes->setEpisodes(std::move(episodes));
    m_episodes->prefetchThumbnails();
    emit stateChanged();
}

void LibraryScreenModel::setErrorText(std::optional<QString> text)
{
    m_errorText = std::move(text);
    emit stateChanged();
}

void LibraryScreenModel::finishLoading()
{
    m_isLoading = false;
    emit stateChanged();
}

void LibraryScreenModel::fail(std::exception_ptr error)
{
    // A request cancelled by someone else is no failure to show; the load still ends.
    if (const auto text = failureText(error))
        m_errorText = *text;
    finishLoading();
}

} // namespace orvella
