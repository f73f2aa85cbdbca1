#include "screens/home/KidsZoneLibraryModel.h"

#include "api/AnswerDecoding.h"
#include "api/OrvellaAPIClient.h"
#include "app/AppModel.h"

namespace orvella {

KidsZoneLibraryModel::KidsZoneLibraryModel(QObject *parent)
    : LibraryScreenModel(QStringLiteral("Quillory was not found."), parent)
{ }

QString KidsZoneLibraryModel::videosText() const
{
    return QStringLiteral("%1 videos").arg(episodes()->count());
}

void KidsZoneLibraryModel::retry()
{
    load();
}

void KidsZoneLibraryModel::openProgram()
{
    if (!app())
        return;
    app()->setSelectedProgramId(programId());
    app()->navigate(MacRoute::ProgramDetail);
}

QCoro::Task<> KidsZoneLibraryModel::load()
{
    const std::optional<std::stop_token> stop = beginLoad();
    if (!stop)
        co_return;
    QPointer self(this);
    auto first = attempt(app()->client().getProgram(programId(), 1, *stop), *stop);
    std::optional<ProgramWithEpisodes> page = co_await first;
    if (!self || !page || !app())
        co_return;
    const bool found = page->program.has_value();
    const qsizetype count = page->episodes.size();
    setProgram(std::move(page->program));
    showEpisodes(std::move(page->episodes));
    if (!found && count == 0)
        setErrorText(QStringLiteral("Quillory was not found."));
    else if (count == 0)
        setErrorText(QStringLiteral("No episodes were returned for this program."));
    if (count < firstPageSize) {
        finishLoading();
        co_return;
    }

    // A full first page: every page, the first included again, replaces it.
    auto rest = attempt(app()->client().getProgram(programId(), maxPages, *stop), *stop);
    std::optional<ProgramWithEpisodes> all = co_await rest;
    if (!self || !all)
        co_return;
    showEpisodes(std::move(all->episodes));
    finishLoading();
}

} // namespace orvella
