#include "screens/programs/EpisodeListModel.h"

#include "screens/programs/EpisodeText.h"

namespace orvella {

namespace {
// Service texts are bounded before they reach a layout.
constexpr qsizetype maxText = 500;

QString bounded(const QString &text)
{
    return text.size() > maxText ? text.left(maxText) : text;
}
} // namespace

EpisodeListModel::EpisodeListModel(QObject *parent)
    : QAbstractListModel(parent)
{ }

void EpisodeListModel::setEpisodes(QList<EpisodeSummary> episodes)
{
    const int before = count();
    beginResetModel();
    m_episodes = std::move(episodes);
    endResetModel();
    if (before != count())
        emit countChanged();
}

int EpisodeListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant EpisodeListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= count())
        return {};
    const EpisodeSummary &episode = m_episodes[index.row()];
    switch (role) {
    case EpisodeIdRole:
        return episode.id.stringValue;
    case DisplayTitleRole:
    case Qt::DisplayRole:
        return bounded(episodes::displayTitle(episode));
    case ImageRole:
        return episode.image.value_or(QString());
    case BadgeTextRole:
        return episodes::badgeText(episode.duration);
    case ProgramTitleRole:
        return bounded(episode.program_title.value_or(QString()));
    default:
        return {};
    }
}

QHash<int, QByteArray> EpisodeListModel::roleNames() const
{
    return {
        { EpisodeIdRole, "episodeId" },
        { DisplayTitleRole, "displayTitle" },
        { ImageRole, "image" },
        { BadgeTextRole, "badgeText" },
        { ProgramTitleRole, "programTitle" },
    };
}

QVariantMap EpisodeListModel::card(int row) const
{
    QVariantMap values;
    if (row < 0 || row >= count())
        return values;
    const QModelIndex at = index(row);
    const auto names = roleNames();
    for (auto it = names.cbegin(); it != names.cend(); ++it)
        values.insert(QString::fromLatin1(it.value()), data(at, it.key()));
    values.insert(QStringLiteral("row"), row);
    return values;
}

QString EpisodeListModel::episodeIdAt(int row) const
{
    return row >= 0 && row < count() ? m_episodes[row].id.stringValue : QString();
}

} // namespace orvella
