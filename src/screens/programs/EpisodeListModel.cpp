#include "screens/programs/EpisodeListModel.h"

#include "screens/programs/EpisodeText.h"

#include <algorithm>

namespace orvella {

namespace {
// Service texts are bounded before they reach a layout.
constexpr qsizetype maxText = 500;

QString bounded(const QString &text)
{
    return text.size() > maxText ? text.left(maxText) : text;
}

bool sameCard(const EpisodeSummary &a, const EpisodeSummary &b)
{
    return a.id.stringValue == b.id.stringValue && a.title == b.title && a.name == b.name
        && a.image == b.image && a.duration == b.duration && a.program_title == b.program_title;
}
} // namespace

EpisodeListModel::EpisodeListModel(QObject *parent)
    : QAbstractListModel(parent)
{ }

void EpisodeListModel::setEpisodes(QList<EpisodeSummary> episodes)
{
    const int before = count();
    // A longer list that starts with the episodes shown (a programme's further pages) is
    // appended, so views keep their place and the cards they already made.
    const auto same = [](const EpisodeSummary &a, const EpisodeSummary &b) {
        return a.id.stringValue == b.id.stringValue;
    };
    if (before > 0 && episodes.size() > before
        && std::equal(m_episodes.cbegin(), m_episodes.cend(), episodes.cbegin(), same)) {
        int firstChanged = before;
        int lastChanged = -1;
        for (int i = 0; i < before; ++i) {
            if (!sameCard(m_episodes[i], episodes[i])) {
                firstChanged = std::min(firstChanged, i);
                lastChanged = i;
            }
        }
        beginInsertRows({}, before, int(episodes.size()) - 1);
        m_episodes = std::move(episodes);
        endInsertRows();
        if (lastChanged >= 0)
            emit dataChanged(index(firstChanged), index(lastChanged));
        emit countChanged();
        return;
    }
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
