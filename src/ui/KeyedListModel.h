#pragma once

#include <QAbstractListModel>
#include <QList>
#include <algorithm>

namespace orvella {

// A list model whose rows carry a key. Replacing the rows keeps every row whose key stays: it is
// moved and changed in place, so the views keep its delegate; only rows that come or go are
// inserted or removed. The model is never reset.
template<typename Row>
class KeyedListModel : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    [[nodiscard]] const QList<Row> &rows() const { return m_rows; }
    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_rows.size());
    }

protected:
    // `keyOf(row)` gives a row's key; rows with equal keys are matched in order.
    template<typename KeyOf>
    void replaceRows(const QList<Row> &next, KeyOf keyOf)
    {
        const auto holds = [&](const auto &key) {
            return std::any_of(
                next.cbegin(), next.cend(), [&](const Row &row) { return keyOf(row) == key; });
        };
        for (int at = int(m_rows.size()) - 1; at >= 0; --at) {
            if (holds(keyOf(m_rows[at])))
                continue;
            beginRemoveRows({}, at, at);
            m_rows.removeAt(at);
            endRemoveRows();
        }
        for (int at = 0; at < next.size(); ++at) {
            const auto key = keyOf(next[at]);
            int found = -1;
            for (int from = at; from < m_rows.size() && found < 0; ++from) {
                if (keyOf(m_rows[from]) == key)
                    found = from;
            }
            if (found < 0) {
                beginInsertRows({}, at, at);
                m_rows.insert(at, next[at]);
                endInsertRows();
                continue;
            }
            if (found != at) {
                beginMoveRows({}, found, found, {}, at);
                m_rows.move(found, at);
                endMoveRows();
            }
            if (!(m_rows[at] == next[at])) {
                m_rows[at] = next[at];
                emit dataChanged(index(at), index(at));
            }
        }
        if (m_rows.size() > next.size()) {
            beginRemoveRows({}, int(next.size()), int(m_rows.size()) - 1);
            m_rows.resize(next.size());
            endRemoveRows();
        }
    }

    // Announces that the given roles of every row changed.
    void rolesChanged(const QList<int> &roles)
    {
        if (!m_rows.isEmpty())
            emit dataChanged(index(0), index(int(m_rows.size()) - 1), roles);
    }

private:
    QList<Row> m_rows;
};

} // namespace orvella
