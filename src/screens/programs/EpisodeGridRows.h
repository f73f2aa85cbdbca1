#pragma once

#include "screens/programs/EpisodeListModel.h"
#include "screens/programs/EpisodeText.h"

#include <QAbstractListModel>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

namespace orvella {

// The rows of an episode grid over a list of episodes: each row holds the cards of its slice
// (their values by role name) and how many transparent fillers complete it.
class EpisodeGridRows : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(orvella::EpisodeListModel *source READ source WRITE setSource NOTIFY sourceChanged)
    Q_PROPERTY(int columns READ columns WRITE setColumns NOTIFY columnsChanged)

public:
    enum Role { CardsRole = Qt::UserRole + 1, FillersRole };

    explicit EpisodeGridRows(QObject *parent = nullptr);

    [[nodiscard]] EpisodeListModel *source() const { return m_source; }
    void setSource(EpisodeListModel *source);
    // Cards per row; below 1 counts as 1.
    [[nodiscard]] int columns() const { return m_columns; }
    void setColumns(int columns);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

signals:
    void sourceChanged();
    void columnsChanged();

private:
    void rebuild();
    void grow(const QModelIndex &parent, int first);

    QPointer<EpisodeListModel> m_source;
    int m_columns = 4;
    QList<episodes::RowSpan> m_rows;
};

} // namespace orvella
