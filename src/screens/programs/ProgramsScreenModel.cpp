#include "screens/programs/ProgramsScreenModel.h"

#include "api/OrvellaAPIClient.h"
#include "app/AppModel.h"
#include "platform/Clock.h"
#include "screens/programs/ScreenTasks.h"

namespace orvella {

namespace {
constexpr int perPage = 60;
constexpr qsizetype maxTitle = 300;
} // namespace

ProgramsScreenModel::ProgramsScreenModel(QObject *parent)
    : QObject(parent)
{ }

ProgramsScreenModel::~ProgramsScreenModel()
{
    disappear();
}

void ProgramsScreenModel::setApp(AppModel *app)
{
    if (m_app == app)
        return;
    m_app = app;
    emit appChanged();
}

QVariantList ProgramsScreenModel::programCards() const
{
    QVariantList cards;
    cards.reserve(m_programs.size());
    for (const ProgramSummary &program : m_programs) {
        const QString picture = program.image ? *program.image : program.banner.value_or(QString());
        cards.append(QVariantMap {
            { QStringLiteral("programId"), program.id.stringValue },
            { QStringLiteral("title"), program.displayTitle().left(maxTitle) },
            { QStringLiteral("image"), picture },
            { QStringLiteral("documentary"), program.is_documentary.value_or(false) },
            { QStringLiteral("countText"),
                program.episode_count ? QStringLiteral("%1 episodes").arg(*program.episode_count)
                                      : QString() },
        });
    }
    return cards;
}

void ProgramsScreenModel::setPrograms(QList<ProgramSummary> programs)
{
    m_programs = std::move(programs);
    emit programsChanged();
    emit contentChanged();
}

void ProgramsScreenModel::setErrorText(std::optional<QString> text)
{
    if (m_errorText == text)
        return;
    m_errorText = std::move(text);
    emit errorTextChanged();
    emit contentChanged();
}

void ProgramsScreenModel::setLoading(bool loading)
{
    if (m_loading == loading)
        return;
    m_loading = loading;
    emit loadingChanged();
    emit contentChanged();
}

void ProgramsScreenModel::appear()
{
    load(false);
}

void ProgramsScreenModel::disappear()
{
    m_load.request_stop();
}

void ProgramsScreenModel::refresh()
{
    if (!m_loading)
        load(true);
}

void ProgramsScreenModel::select(int row)
{
    if (!m_app || row < 0 || row >= m_programs.size())
        return;
    m_app->setSelectedProgramId(m_programs[row].id.stringValue);
    m_app->navigate(MacRoute::ProgramDetail);
}

QCoro::Task<> ProgramsScreenModel::load(bool force)
{
    const std::stop_token stop = renewStop(m_load);
    if (!m_app)
        co_return;
    QPointer self(this);
    QPointer app(m_app);
    if (!force && !app->programsCache().isEmpty()) {
        setPrograms(app->programsCache());
        setLoading(false);
    } else {
        setLoading(true);
    }
    setErrorText(std::nullopt);

    co_await app->refreshProgramsCache(force || app->programsCache().isEmpty(), stop);
    if (!self || !app || stop.stop_requested())
        co_return;
    setPrograms(app->programsCache());
    if (!m_programs.isEmpty()) {
        setLoading(false);
        co_return;
    }

    std::optional<QString> failure;
    try {
        QList<ProgramSummary> fetched = co_await app->client().getPrograms(1, perPage, stop);
        if (!self || stop.stop_requested())
            co_return;
        setPrograms(std::move(fetched));
    } catch (const DescribedError &) {
        failure = failureText(std::current_exception());
    }
    if (!self || stop.stop_requested())
        co_return;
    if (failure && m_programs.isEmpty())
        setErrorText(failure);
    setLoading(false);
}

} // namespace orvella
