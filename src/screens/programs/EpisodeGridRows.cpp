#include "screens/programs/EpisodeGridRows.h"

#include "screens/programs/EpisodeListModel.h"

namespace orvella {

EpisodeGridRows::EpisodeGridRows(QObject *parent)
    : QAbstractListModel(parent)
{ }

void EpisodeGridRows::setSource(EpisodeListModel *source)
{
    if (m_source == source)
        return;
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (m_source) {
        connect(m_source, &QAbstractItemModel::modelReset, this, &EpisodeGridRows::rebuild);
        connect(m_source, &QAbstractItemModel::dataChanged, this, &EpisodeGridRows::rebuild);
        connect(m_source, &QObject::destroyed, this, &EpisodeGridRows::rebuild);
    }
    rebuild();
    emit sourceChanged();
}

void EpisodeGridRows::setColumns(int columns)
{
    columns = std::max(columns, 1);
    if (m_columns == columns)
        return;
    m_columns = columns;
    rebuild();
    emit columnsChanged();
}

void EpisodeGridRows::rebuild()
{
    beginResetModel();
    m_rows = episodes::chunkRows(m_source ? m_source->count() : 0, m_columns);
    endResetModel();
}

int EpisodeGridRows::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant EpisodeGridRows::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || !m_source)
        return {};
    const episodes::RowSpan span = m_rows[index.row()];
    switch (role) {
    case CardsRole: {
        QVariantList cards;
        for (qsizetype i = span.start; i < span.end; ++i)
            cards.append(m_source->card(int(i)));
        return cards;
    }
    case FillersRole:
        return int(m_columns - (span.end - span.start));
    default:
        return {};
    }
}

QHash<int, QByteArray> EpisodeGridRows::roleNames() const
{
    return { { CardsRole, "cards" }, { FillersRole, "fillers" } };
}

} // namespace orvella
