#pragma once

#include "ui/KeyedListModel.h"

#include <QList>
#include <QString>
#include <QtQml/qqmlregistration.h>

namespace orvella {

// One watch centre.
struct VirtualCenter
{
    int id = 0;
    QString name;
    QString host;
    QString location; // city and country
    qint64 watching = 0;
    QString zone; // region of the world; searched, not shown

    friend bool operator==(const VirtualCenter &, const VirtualCenter &) = default;
};

// The built-in centres, in their fixed order.
[[nodiscard]] const QList<VirtualCenter> &sampleVirtualCenters();

// The centres whose name, location or zone holds `query`, ignoring case; all for an empty query.
[[nodiscard]] QList<VirtualCenter> filterVirtualCenters(
    const QList<VirtualCenter> &centers, const QString &query);

// The centre cards, keyed by the centre's id.
class VirtualCenterList : public KeyedListModel<VirtualCenter>
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Owned by the virtual centre screen")

public:
    enum Role {
        CenterIdRole = Qt::UserRole + 1,
        NameRole,
        DetailRole,
    };
    Q_ENUM(Role)

    explicit VirtualCenterList(QObject *parent = nullptr);

    void setCenters(const QList<VirtualCenter> &centers);
    // The card's line under the name: participants, location and host.
    [[nodiscard]] static QString detail(const VirtualCenter &center);

    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;
};

} // namespace orvella
