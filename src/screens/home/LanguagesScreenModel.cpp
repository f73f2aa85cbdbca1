#include "screens/home/LanguagesScreenModel.h"

#include "app/AppModel.h"

namespace orvella {

LanguagesScreenModel::LanguagesScreenModel(QObject *parent)
    : QObject(parent)
{
    updateRows();
}

void LanguagesScreenModel::setApp(AppModel *app)
{
    if (!m_app.repoint(app))
        return;
    m_app.forward(&AppModel::configChanged, this, &LanguagesScreenModel::updateRows);
    m_settings.repoint(app ? app->settings() : nullptr);
    m_settings.forward(&SettingsModel::changed, this, &LanguagesScreenModel::selectionChanged);
    emit appChanged();
    emit selectionChanged();
    updateRows();
}

void LanguagesScreenModel::setFilter(const QString &filter)
{
    if (m_filter == filter)
        return;
    m_filter = filter;
    emit filterChanged();
    updateRows();
}

const QList<LanguageOption> &LanguagesScreenModel::builtInLanguages()
{
    static const QList<LanguageOption> languages {
        { QStringLiteral("en"), QStringLiteral("English") },
        { QStringLiteral("fr"), QStringLiteral("Français") },
        { QStringLiteral("es"), QStringLiteral("Español") },
        { QStringLiteral("pt"), QStringLiteral("Português") },
        { QStringLiteral("ar"), QStringLiteral("العربية") },
    };
    return languages;
}

QList<LanguageOption> LanguagesScreenModel::languages() const
{
    // The configuration's own list is read here: a present but empty list offers nothing.
    const std::optional<TvConfig> *config = m_app ? &m_app->config() : nullptr;
    const QList<LanguageOption> &all = config && *config && (*config)->live_languages
        ? *(*config)->live_languages
        : builtInLanguages();
    const QString query = m_filter.trimmed().toLower();
    if (query.isEmpty())
        return all;
    QList<LanguageOption> kept;
    for (const LanguageOption &option : all) {
        if (option.label.toLower().contains(query) || option.code.toLower().contains(query))
            kept.append(option);
    }
    return kept;
}

void LanguagesScreenModel::updateRows()
{
    if (m_rows.setOptions(languages()))
        emit languagesChanged();
}

bool LanguageRows::setOptions(QList<LanguageOption> options)
{
    if (options == m_options)
        return false;
    beginResetModel();
    m_options = std::move(options);
    endResetModel();
    return true;
}

int LanguageRows::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_options.size());
}

QVariant LanguageRows::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_options.size()))
        return {};
    const LanguageOption &option = m_options[index.row()];
    switch (role) {
    case CodeRole:
        return option.code;
    case LabelRole:
    case Qt::DisplayRole:
        return option.label;
    case CodeTextRole:
        return option.code.toUpper();
    default:
        return {};
    }
}

QHash<int, QByteArray> LanguageRows::roleNames() const
{
    return { { CodeRole, "code" }, { LabelRole, "label" }, { CodeTextRole, "codeText" } };
}

QString LanguagesScreenModel::streamLanguage() const
{
    return m_app ? m_app->settings()->streamLanguage() : QString();
}

QString LanguagesScreenModel::captionLanguage() const
{
    return m_app ? m_app->settings()->captionLanguage() : QString();
}

void LanguagesScreenModel::chooseStreamLanguage(const QString &code)
{
    if (!m_app)
        return;
    m_app->settings()->setStreamLanguage(code);
    // Left now, the screen could not say the choice was not kept.
    if (persist())
        m_app->navigate(MacRoute::Live);
}

void LanguagesScreenModel::chooseCaptionLanguage(const QString &code)
{
    if (!m_app)
        return;
    m_app->settings()->setCaptionLanguage(code);
    persist();
}

bool LanguagesScreenModel::persist()
{
    const bool stored = m_app->settings()->persist();
    const QString message = stored ? QString() : notSavedText();
    if (message != m_saveMessage) {
        m_saveMessage = message;
        emit saveMessageChanged();
    }
    return stored;
}

} // namespace orvella
