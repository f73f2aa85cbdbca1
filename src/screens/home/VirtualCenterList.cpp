#include "screens/home/VirtualCenterList.h"

namespace orvella {

const QList<VirtualCenter> &sampleVirtualCenters()
{
    static const QList<VirtualCenter> centers {
        { 1, u"Lagos Healing Hub"_qs, u"Pastor Adaeze Obi"_qs, u"Lagos, Nigeria"_qs, 128,
            u"Africa"_qs },
        { 2, u"Accra Light House"_qs, u"Kwame Mensah"_qs, u"Accra, Ghana"_qs, 64, u"Africa"_qs },
        { 3, u"London Grace Circle"_qs, u"Sarah Collins"_qs, u"London, United Kingdom"_qs, 42,
            u"Europe"_qs },
        { 4, u"Toronto Hope Room"_qs, u"Daniel Chen"_qs, u"Toronto, Canada"_qs, 37,
            u"North America"_qs },
        { 5, u"Houston Revival Center"_qs, u"Maria Lopez"_qs, u"Houston, United States"_qs, 55,
            u"North America"_qs },
        { 6, u"Manila Faith Gathering"_qs, u"Joy Santos"_qs, u"Manila, Philippines"_qs, 81,
            u"Asia"_qs },
    };
    return centers;
}

QList<VirtualCenter> filterVirtualCenters(const QList<VirtualCenter> &centers, const QString &query)
{
    if (query.isEmpty())
        return centers;
    QList<VirtualCenter> found;
    for (const VirtualCenter &center : centers) {
        if (center.name.contains(query, Qt::CaseInsensitive)
            || center.location.contains(query, Qt::CaseInsensitive)
            || center.zone.contains(query, Qt::CaseInsensitive))
            found.append(center);
    }
    return found;
}

VirtualCenterList::VirtualCenterList(QObject *parent)
    : KeyedListModel(parent)
{ }

void VirtualCenterList::setCenters(const QList<VirtualCenter> &centers)
{
    replaceRows(centers, [](const VirtualCenter &center) { return center.id; });
}

QString VirtualCenterList::detail(const VirtualCenter &center)
{
    return QStringLiteral("%1 participating · %2 · Hosted by %3")
        .arg(QString::number(center.watching), center.location, center.host);
}

QVariant VirtualCenterList::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const VirtualCenter &center = rows().at(index.row());
    switch (role) {
    case CenterIdRole:
        return center.id;
    case NameRole:
        return center.name;
    case DetailRole:
        return detail(center);
    default:
        return {};
    }
}

QHash<int, QByteArray> VirtualCenterList::roleNames() const
{
    return {
        { CenterIdRole, "centerId" },
        { NameRole, "name" },
        { DetailRole, "detail" },
    };
}

} // namespace orvella
