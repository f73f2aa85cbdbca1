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
        connect(m_source, &QAbstractItemModel::rowsInserted, this, &EpisodeGridRows::grow);
        connect(m_source, &QAbstractItemModel::rowsRemoved, this, &EpisodeGridRows::rebuild);
        connect(m_source, &QAbstractItemModel::rowsMoved, this, &EpisodeGridRows::rebuild);
        connect(m_source, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &from, const QModelIndex &to) {
                if (!m_rows.isEmpty())
                    emit dataChanged(index(from.row() / m_columns),
                        index(std::min(to.row() / m_columns, int(m_rows.size()) - 1)));
            });
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

void EpisodeGridRows::grow(const QModelIndex &, int first)
{
    const qsizetype before = m_rows.isEmpty() ? 0 : m_rows.back().end;
    if (first != before) {
        rebuild();
        return;
    }
    // Episodes added at the end fill the short last row and make new rows after it.
    QList<episodes::RowSpan> rows = episodes::chunkRows(m_source->count(), m_columns);
    const qsizetype old = m_rows.size();
    const bool lastGrew = old > 0 && rows[old - 1] != m_rows[old - 1];
    if (rows.size() > old) {
        beginInsertRows({}, int(old), int(rows.size()) - 1);
        m_rows = std::move(rows);
        endInsertRows();
    } else {
        m_rows = std::move(rows);
    }
    if (lastGrew)
        emit dataChanged(index(int(old) - 1), index(int(old) - 1));
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
