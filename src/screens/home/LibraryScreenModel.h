#pragma once

#include "api/ContentModels.h"
#include "screens/programs/EpisodeListModel.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QPointer>
#include <QtQml/qqmlregistration.h>
#include <exception>
#include <optional>
#include <stop_token>

namespace orvella {

class AppModel;

// What the two library pages share: one programme with its episodes, the loading flag and the
// error line, and which of the three page states shows (the list once a programme is known,
// else loading while a load runs, else the error). The page that builds the model owns its
// loads: a new load supersedes the running one, and leaving the page stops it before it writes.
class LibraryScreenModel : public QObject
{
    Q_OBJECT
    QML_ANONYMOUS

    Q_PROPERTY(orvella::AppModel *app READ app WRITE setApp NOTIFY appChanged)
    Q_PROPERTY(orvella::EpisodeListModel *episodes READ episodes CONSTANT)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY stateChanged)
    Q_PROPERTY(QString errorText READ errorText NOTIFY stateChanged)
    Q_PROPERTY(bool showsList READ showsList NOTIFY stateChanged)
    Q_PROPERTY(bool showsLoading READ showsLoading NOTIFY stateChanged)
    Q_PROPERTY(bool showsError READ showsError NOTIFY stateChanged)
    Q_PROPERTY(QString programTitle READ programTitle NOTIFY stateChanged)
    Q_PROPERTY(QString bannerImage READ bannerImage NOTIFY stateChanged)
    Q_PROPERTY(QString unavailableText READ unavailableText NOTIFY stateChanged)

public:
    // The size the episode cards request their thumbnails at, which the prefetch warms.
    static constexpr double thumbnailPixels = 200;

    ~LibraryScreenModel() override;

    [[nodiscard]] AppModel *app() const { return m_app; }
    void setApp(AppModel *app);
    [[nodiscard]] EpisodeListModel *episodes() const { return m_episodes; }
    [[nodiscard]] const std::optional<ProgramSummary> &program() const { return m_program; }
    [[nodiscard]] bool isLoading() const { return m_isLoading; }
    [[nodiscard]] QString errorText() const { return m_errorText.value_or(QString()); }
    [[nodiscard]] bool showsList() const { return m_program.has_value(); }
    [[nodiscard]] bool showsLoading() const { return !m_program && m_isLoading; }
    [[nodiscard]] bool showsError() const { return !m_program && !m_isLoading; }
    [[nodiscard]] QString programTitle() const;
    // The programme's banner, else its picture.
    [[nodiscard]] QString bannerImage() const;
    // The error state's text: the error line, else the page's own notice.
    [[nodiscard]] QString unavailableText() const;

    // The page came on screen: a load starts. It went: the running load stops.
    Q_INVOKABLE void appear();
    Q_INVOKABLE void disappear();
    Q_INVOKABLE void openEpisode(int row);

    // The page's whole load sequence; it never throws, every failure ends in the error line.
    virtual QCoro::Task<> load() = 0;

signals:
    void appChanged();
    void stateChanged();

protected:
    LibraryScreenModel(QString missingText, QObject *parent);

    // Starts a load that supersedes the running one: loading at once, no error line. No token
    // (and nothing changed) without an app model.
    [[nodiscard]] std::optional<std::stop_token> beginLoad();
    // The result of one awaited call of a load, or none when the load is over: it was stopped
    // or its model is gone (nothing written), or the call failed (its description written to
    // the error line, loading over).
    template<typename T>
    QCoro::Task<std::optional<T>> attempt(QCoro::Task<T> call, std::stop_token stop);

    void setProgram(std::optional<ProgramSummary> program);
    // Shows the episodes and warms the cache with their thumbnails.
    void showEpisodes(QList<EpisodeSummary> episodes);
    void setErrorText(std::optional<QString> text);
    void finishLoading();

private:
    void fail(std::exception_ptr error);

    QPointer<AppModel> m_app;
    EpisodeListModel *m_episodes;
    std::optional<ProgramSummary> m_program;
    bool m_isLoading = true;
    std::optional<QString> m_errorText;
    QString m_missingText;
    std::stop_source m_load;
};

template<typename T>
QCoro::Task<std::optional<T>> LibraryScreenModel::attempt(QCoro::Task<T> call, std::stop_token stop)
{
    QPointer self(this);
    std::optional<T> result;
    std::exception_ptr error;
    try {
        result = co_await std::move(call);
    } catch (const DescribedError &) {
        error = std::current_exception();
    }
    if (!self || stop.stop_requested())
        co_return std::nullopt;
    if (error) {
        fail(error);
        co_return std::nullopt;
    }
    co_return result;
}

} // namespace orvella
