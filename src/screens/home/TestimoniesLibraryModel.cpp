#include "screens/home/TestimoniesLibraryModel.h"

#include "api/APIError.h"
#include "api/AnswerDecoding.h"
#include "api/OrvellaAPIClient.h"
#include "app/AppModel.h"

namespace orvella {

TestimoniesLibraryModel::TestimoniesLibraryModel(QObject *parent)
    : LibraryScreenModel(
        QStringLiteral("Orvella Testimonies Live was not found in Programs."), parent)
{ }

QStringList TestimoniesLibraryModel::titlePhrases()
{
    return { QStringLiteral("Orvella Testimonies Live"), QStringLiteral("Orvella Testimonies"),
        QStringLiteral("Testimonies Live"), QStringLiteral("Orvella Testimony Live") };
}

QCoro::Task<> TestimoniesLibraryModel::load()
{
    const std::optional<std::stop_token> stop = beginLoad();
    if (!stop)
        co_return;
    QPointer self(this);
    auto lookup = attempt(app()->client().resolveProgram(titlePhrases(), *stop), *stop);
    const std::optional<std::optional<ProgramSummary>> found = co_await lookup;
    if (!self || !found || !app())
        co_return;
    if (!*found) {
        setErrorText(APIError::http(404, QStringLiteral("Orvella Testimonies Live was not found."),
            QStringLiteral("NOT_FOUND"))
                         .description());
        finishLoading();
        co_return;
    }
    const QString id = (*found)->id.stringValue;
    // The list shows from here, its grid empty until the episodes arrive; a later failure
    // keeps the programme and writes the error line under the heading.
    setProgram(**found);

    auto fetch = attempt(app()->client().getProgram(id, maxPages, *stop), *stop);
    std::optional<ProgramWithEpisodes> all = co_await fetch;
    if (!self || !all)
        co_return;
    const bool empty = all->episodes.isEmpty();
    showEpisodes(std::move(all->episodes));
    if (empty)
        setErrorText(QStringLiteral("No episodes were returned for this program."));
    finishLoading();
}

} // namespace orvella
