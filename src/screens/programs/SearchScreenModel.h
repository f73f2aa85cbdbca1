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
class Clock;

// Search as the viewer types: 600 ms after the last change the trimmed query (2 characters at
// least) is sent; each change stops the search before it, its request included, so only the
// latest query's outcome lands. A failure shows one line and keeps the hits.
class SearchScreenModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(orvella::AppModel *app READ app WRITE setApp NOTIFY appChanged)
    Q_PROPERTY(QString query READ query WRITE setQuery NOTIFY queryChanged)
    Q_PROPERTY(QVariantList results READ resultRows NOTIFY resultsChanged)
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorTextChanged)

public:
    explicit SearchScreenModel(QObject *parent = nullptr);
    ~SearchScreenModel() override;

    void setClock(Clock *clock) { m_clock = clock; }

    [[nodiscard]] AppModel *app() const { return m_app; }
    void setApp(AppModel *app);
    [[nodiscard]] const QString &query() const { return m_query; }
    void setQuery(const QString &query);
    [[nodiscard]] const QList<SearchResult> &results() const { return m_results; }
    [[nodiscard]] QVariantList resultRows() const;
    [[nodiscard]] QString errorText() const { return m_errorText.value_or(QString()); }

    // A hit was clicked: a programme opens its detail, anything else plays as an episode.
    Q_INVOKABLE void open(int row);
    Q_INVOKABLE void disappear();

    // "Episode · Morning Prayer": the kind capitalised word by word, then the programme title.
    [[nodiscard]] static QString kindLine(const SearchResult &result);

signals:
    void appChanged();
    void queryChanged();
    void resultsChanged();
    void errorTextChanged();

private:
    QCoro::Task<> debouncedSearch(QString text, std::stop_token stop);
    void setResults(QList<SearchResult> results);
    void setErrorText(std::optional<QString> text);

    QPointer<AppModel> m_app;
    Clock *m_clock;
    QString m_query;
    QList<SearchResult> m_results;
    std::optional<QString> m_errorText;
    std::stop_source m_search;
};

} // namespace orvella
