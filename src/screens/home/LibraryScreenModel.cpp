#include "screens/home/LibraryScreenModel.h"

#include "app/AppModel.h"
#include "screens/programs/ScreenTasks.h"
#include "ui/ImagePrefetcher.h"

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
    if (!m_program)
        return {};
    return m_program->banner ? *m_program->banner : m_program->image.value_or(QString());
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
    const std::stop_token stop = restartStop(m_load);
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
    std::vector<std::optional<QString>> pictures;
    pictures.reserve(episodes.size());
    for (const EpisodeSummary &episode : episodes)
        pictures.push_back(episode.image);
    m_episodes->setEpisodes(std::move(episodes));
    ImagePrefetcher::prefetch(pictures, thumbnailPixels);
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
