#pragma once

#include "api/AnswerDecoding.h"
#include "api/ContentModels.h"
#include "screens/programs/EpisodeListModel.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QPointer>
#include <QtQml/qqmlregistration.h>
#include <optional>
#include <stop_token>

namespace orvella {

class AppModel;

// One programme: its banner, description and every episode. The first page shows first; a full
// page brings the fetch of up to 8 pages, whose list then replaces it. Only the latest load
// writes; leaving the screen stops it.
class ProgramDetailModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(orvella::AppModel *app READ app WRITE setApp NOTIFY appChanged)
    Q_PROPERTY(QString programId READ programId WRITE setProgramId NOTIFY programIdChanged)
    Q_PROPERTY(orvella::EpisodeListModel *episodes READ episodes CONSTANT)
    Q_PROPERTY(QString bannerTitle READ bannerTitle NOTIFY contentChanged)
    Q_PROPERTY(QString bannerImage READ bannerImage NOTIFY contentChanged)
    Q_PROPERTY(QString episodeCountText READ episodeCountText NOTIFY contentChanged)
    Q_PROPERTY(QString description READ description NOTIFY contentChanged)
    Q_PROPERTY(QString videosText READ videosText NOTIFY contentChanged)
    Q_PROPERTY(QString errorText READ errorText NOTIFY contentChanged)
    Q_PROPERTY(bool loading READ loading NOTIFY contentChanged)
    Q_PROPERTY(bool loadingMore READ loadingMore NOTIFY contentChanged)
    Q_PROPERTY(bool showsSkeleton READ showsSkeleton NOTIFY contentChanged)

public:
    static constexpr int firstPageSize = 100;
    static constexpr int maxPages = 8;

    explicit ProgramDetailModel(QObject *parent = nullptr);
    ~ProgramDetailModel() override;

    [[nodiscard]] AppModel *app() const { return m_app; }
    void setApp(AppModel *app);
    [[nodiscard]] const QString &programId() const { return m_programId; }
    // A new id starts a new load while the screen is shown.
    void setProgramId(const QString &id);

    [[nodiscard]] EpisodeListModel *episodes() const { return m_episodes; }
    [[nodiscard]] const std::optional<ProgramSummary> &program() const { return m_program; }
    [[nodiscard]] QString bannerTitle() const;
    [[nodiscard]] QString bannerImage() const;
    [[nodiscard]] QString episodeCountText() const;
    [[nodiscard]] QString description() const;
    [[nodiscard]] QString videosText() const;
    [[nodiscard]] QString errorText() const { return m_errorText.value_or(QString()); }
    [[nodiscard]] bool loading() const { return m_loading; }
    [[nodiscard]] bool loadingMore() const { return m_loadingMore; }
    [[nodiscard]] bool showsSkeleton() const;

    Q_INVOKABLE void appear();
    Q_INVOKABLE void disappear();
    Q_INVOKABLE void refresh();
    Q_INVOKABLE void goBack();
    Q_INVOKABLE void openEpisode(int row);

    QCoro::Task<> load(bool force);

signals:
    void appChanged();
    void programIdChanged();
    void contentChanged();

private:
    void showEpisodes(QList<EpisodeSummary> episodes);
    // One fetch of the programme; a failure is shown and gives none.
    QCoro::Task<std::optional<ProgramWithEpisodes>> fetch(
        QString id, int pages, std::stop_token stop);

    QPointer<AppModel> m_app;
    QString m_programId;
    EpisodeListModel *m_episodes;
    std::optional<ProgramSummary> m_program;
    std::optional<QString> m_errorText;
    bool m_loading = true;
    bool m_loadingMore = false;
    bool m_shown = false;
    std::stop_source m_load;
};

} // namespace orvella
