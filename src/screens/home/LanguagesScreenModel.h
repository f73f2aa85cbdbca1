#pragma once

#include "api/ConfigModels.h"
#include "core/ObjectLink.h"

#include <QAbstractListModel>
#include <QList>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

namespace orvella {

class AppModel;
class SettingsModel;

// The rows of a language list: the code, the label and the code as shown (upper case). Views
// build a row only as it scrolls into view, so thousands of languages open at once.
class LanguageRows : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Held by the languages screen's model")

public:
    enum Role { CodeRole = Qt::UserRole + 1, LabelRole, CodeTextRole };

    using QAbstractListModel::QAbstractListModel;

    // False when the options are the ones held already.
    bool setOptions(QList<LanguageOption> options);
    [[nodiscard]] const QList<LanguageOption> &options() const { return m_options; }

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

private:
    QList<LanguageOption> m_options;
};

// The languages screen: the stream and caption language lists, the same options in both,
// narrowed by the search filter. The options are the configuration's live languages when it
// gives a list (an empty one included), else a built-in list. A choice is stored in the
// settings at once; a stream language also shows live, which then plays that language. A choice
// that cannot be stored holds for this run and the screen stays, saying so.
class LanguagesScreenModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(orvella::AppModel *app READ app WRITE setApp NOTIFY appChanged)
    Q_PROPERTY(QString filter READ filter WRITE setFilter NOTIFY filterChanged)
    Q_PROPERTY(orvella::LanguageRows *languageRows READ languageRows CONSTANT)
    Q_PROPERTY(QString streamLanguage READ streamLanguage NOTIFY selectionChanged)
    Q_PROPERTY(QString captionLanguage READ captionLanguage NOTIFY selectionChanged)
    // "Could not save on this computer." after a choice that could not be stored, else empty.
    Q_PROPERTY(QString saveMessage READ saveMessage NOTIFY saveMessageChanged)

public:
    explicit LanguagesScreenModel(QObject *parent = nullptr);

    [[nodiscard]] AppModel *app() const { return m_app.get(); }
    void setApp(AppModel *app);
    [[nodiscard]] QString filter() const { return m_filter; }
    void setFilter(const QString &filter);

    [[nodiscard]] static const QList<LanguageOption> &builtInLanguages();
    // The options the filter keeps, in list order.
    [[nodiscard]] QList<LanguageOption> languages() const;
    // The same for the views.
    [[nodiscard]] LanguageRows *languageRows() { return &m_rows; }

    [[nodiscard]] QString streamLanguage() const;
    [[nodiscard]] QString captionLanguage() const;
    [[nodiscard]] QString saveMessage() const { return m_saveMessage; }

    // Stores the stream language and shows live (once stored).
    Q_INVOKABLE void chooseStreamLanguage(const QString &code);
    // Stores the caption language; the screen stays.
    Q_INVOKABLE void chooseCaptionLanguage(const QString &code);

signals:
    void appChanged();
    void filterChanged();
    void languagesChanged();
    void selectionChanged();
    void saveMessageChanged();

private:
    // Stores the settings; false, with the screen's message, when they could not be.
    bool persist();
    // Announces the rows only when they differ, so a configuration refresh that changes no
    // language leaves the lists' rows alone.
    void updateRows();

    ObjectLink<AppModel> m_app;
    ObjectLink<SettingsModel> m_settings;
    QString m_filter;
    QString m_saveMessage;
    LanguageRows m_rows { this };
};

} // namespace orvella
