#pragma once

#include "api/ContentModels.h"

#include <QAbstractListModel>
#include <QList>
#include <QVariantMap>
#include <QtQml/qqmlregistration.h>

namespace orvella {

// The episodes of one list (a programme's grid, the related row, a library), in display order,
// as the cards show them. Owners replace the list as a whole; a longer list that begins with the
// episodes shown is appended to them.
class EpisodeListModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum Role {
        EpisodeIdRole = Qt::UserRole + 1,
        DisplayTitleRole,
        ImageRole,
        BadgeTextRole,
        ProgramTitleRole,
    };
    Q_ENUM(Role)

    explicit EpisodeListModel(QObject *parent = nullptr);

    void setEpisodes(QList<EpisodeSummary> episodes);
    [[nodiscard]] const QList<EpisodeSummary> &episodes() const { return m_episodes; }
    [[nodiscard]] int count() const { return int(m_episodes.size()); }

    // One card's values by role name ("episodeId", "displayTitle", …); empty out of range.
    Q_INVOKABLE QVariantMap card(int row) const;
    Q_INVOKABLE QString episodeIdAt(int row) const;

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

signals:
    void countChanged();

private:
    QList<EpisodeSummary> m_episodes;
};

} // namespace orvella
