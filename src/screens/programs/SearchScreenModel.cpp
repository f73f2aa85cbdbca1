#include "screens/programs/SearchScreenModel.h"

#include "api/OrvellaAPIClient.h"
#include "app/AppModel.h"
#include "platform/Clock.h"
#include "screens/programs/ScreenTasks.h"
#include "ui/GraphemeText.h"

namespace orvella {

using namespace std::chrono_literals;

namespace {
constexpr auto debounce = 600ms;
constexpr qsizetype maxText = 300;

} // namespace

SearchScreenModel::SearchScreenModel(QObject *parent)
    : QObject(parent)
    , m_clock(&Clock::system())
{ }

SearchScreenModel::~SearchScreenModel()
{
    disappear();
}

void SearchScreenModel::setApp(AppModel *app)
{
    if (m_app == app)
        return;
    m_app = app;
    emit appChanged();
}

void SearchScreenModel::disappear()
{
    m_search.request_stop();
}

void SearchScreenModel::setQuery(const QString &query)
{
    if (m_query == query)
        return;
    m_query = query;
    emit queryChanged();
    debouncedSearch(query, renewStop(m_search));
}

void SearchScreenModel::setResults(QList<SearchResult> results)
{
    m_results = std::move(results);
    emit resultsChanged();
}

void SearchScreenModel::setErrorText(std::optional<QString> text)
{
    if (m_errorText == text)
        return;
    m_errorText = std::move(text);
    emit errorTextChanged();
}

QCoro::Task<> SearchScreenModel::debouncedSearch(QString text, std::stop_token stop)
{
    QPointer self(this);
    co_await m_clock->sleep(debounce, stop);
    if (!self || stop.stop_requested() || !m_app)
        co_return;
    const QString trimmed = text.trimmed();
    if (graphemeCount(trimmed) < 2) {
        setResults({});
        co_return;
    }
    QPointer app(m_app);
    std::optional<QList<SearchResult>> hits;
    std::optional<QString> failure;
    try {
        hits = co_await app->client().search(trimmed, 1, stop);
    } catch (const DescribedError &) {
        failure = failureText(std::current_exception());
    }
    // A superseded search drops whatever it got.
    if (!self || stop.stop_requested())
        co_return;
    if (hits) {
        setResults(std::move(*hits));
        setErrorText(std::nullopt);
    } else if (failure) {
        setErrorText(failure);
    }
}

QString SearchScreenModel::kindLine(const SearchResult &result)
{
    QString kind = result.kind.toLower();
    bool wordStart = true;
    for (QChar &c : kind) {
        if (c.isLetterOrNumber()) {
            if (wordStart)
                c = c.toUpper();
            wordStart = false;
        } else {
            wordStart = true;
        }
    }
    return kind + QStringLiteral(" · ") + result.program_title.value_or(QString());
}

QVariantList SearchScreenModel::resultRows() const
{
    QVariantList rows;
    rows.reserve(m_results.size());
    for (const SearchResult &result : m_results) {
        rows.append(QVariantMap {
            { QStringLiteral("key"), result.id() },
            { QStringLiteral("title"),
                result.title.value_or(QStringLiteral("Result")).left(maxText) },
            { QStringLiteral("subtitle"), kindLine(result).left(maxText) },
            { QStringLiteral("image"), result.image.value_or(QString()) },
        });
    }
    return rows;
}

void SearchScreenModel::open(int row)
{
    if (!m_app || row < 0 || row >= m_results.size())
        return;
    const SearchResult &hit = m_results[row];
    if (hit.kind.toLower() == u"program") {
        m_app->setSelectedProgramId(hit.idValue.stringValue);
        m_app->navigate(MacRoute::ProgramDetail);
    } else {
        m_app->openEpisode(hit.idValue.stringValue);
    }
}

} // namespace orvella
