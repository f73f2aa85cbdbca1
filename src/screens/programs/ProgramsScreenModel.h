#pragma once

#include "api/ContentModels.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QPointer>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>
#include <optional>
#include <stop_token>

namespace orvella {

class AppModel;

// The programmes grid: shows the app model's programmes cache at once when it has one,
// refreshes it, and fetches the first page directly when the cache stays empty. Only the latest
// load writes; leaving the screen stops it.
class ProgramsScreenModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(orvella::AppModel *app READ app WRITE setApp NOTIFY appChanged)
    Q_PROPERTY(QVariantList programs READ programCards NOTIFY programsChanged)
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorTextChanged)
    Q_PROPERTY(bool loading READ loading NOTIFY loadingChanged)
    Q_PROPERTY(bool showsSkeleton READ showsSkeleton NOTIFY contentChanged)
    Q_PROPERTY(bool showsError READ showsError NOTIFY contentChanged)

public:
    explicit ProgramsScreenModel(QObject *parent = nullptr);
    ~ProgramsScreenModel() override;

    [[nodiscard]] AppModel *app() const { return m_app; }
    void setApp(AppModel *app);

    [[nodiscard]] const QList<ProgramSummary> &programs() const { return m_programs; }
    [[nodiscard]] QVariantList programCards() const;
    [[nodiscard]] QString errorText() const { return m_errorText.value_or(QString()); }
    [[nodiscard]] bool loading() const { return m_loading; }
    [[nodiscard]] bool showsSkeleton() const { return m_loading && m_programs.isEmpty(); }
    [[nodiscard]] bool showsError() const
    {
        return !showsSkeleton() && m_errorText && m_programs.isEmpty();
    }

    Q_INVOKABLE void appear();
    Q_INVOKABLE void disappear();
    Q_INVOKABLE void refresh();
    // A card was clicked: the programme is selected and its detail shown.
    Q_INVOKABLE void select(int row);

    QCoro::Task<> load(bool force);

signals:
    void appChanged();
    void programsChanged();
    void errorTextChanged();
    void loadingChanged();
    void contentChanged();

private:
    void setPrograms(QList<ProgramSummary> programs);
    void setErrorText(std::optional<QString> text);
    void setLoading(bool loading);

    QPointer<AppModel> m_app;
    QList<ProgramSummary> m_programs;
    std::optional<QString> m_errorText;
    bool m_loading = true;
    std::stop_source m_load;
};

} // namespace orvella
