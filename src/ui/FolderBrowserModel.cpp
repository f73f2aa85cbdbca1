#include "ui/FolderBrowserModel.h"

#include <QCoroFuture>
#include <QFileInfo>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

namespace orvella {

FolderBrowserModel::FolderBrowserModel(QObject *parent)
    : QAbstractListModel(parent)
{ }

int FolderBrowserModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant FolderBrowserModel::data(const QModelIndex &index, int role) const
{
    const savepaths::Entry *entry = entryAt(index.row());
    if (!entry || !index.isValid())
        return {};
    switch (role) {
    case NameRole:
    case Qt::DisplayRole:
        return entry->name;
    case PathRole:
        return entry->path;
    case IsFolderRole:
        return entry->isFolder;
    case SizeRole:
        return entry->sizeText;
    case ModifiedRole:
        return entry->modifiedText;
    default:
        return {};
    }
}

QHash<int, QByteArray> FolderBrowserModel::roleNames() const
{
    return { { NameRole, "name" }, { PathRole, "path" }, { IsFolderRole, "isFolder" },
        { SizeRole, "sizeText" }, { ModifiedRole, "modifiedText" } };
}

QString FolderBrowserModel::folderName() const
{
    return m_folder.isEmpty() ? QString() : savepaths::displayName(m_folder);
}

bool FolderBrowserModel::canGoUp() const
{
    return !m_folder.isEmpty() && m_folder != u'/';
}

const savepaths::Entry *FolderBrowserModel::entryAt(int row) const
{
    return row >= 0 && row < m_entries.size() ? &m_entries[row] : nullptr;
}

QStringList FolderBrowserModel::names() const
{
    QStringList list;
    for (const savepaths::Entry &entry : m_entries)
        list << entry.name;
    return list;
}

void FolderBrowserModel::start(const QString &folder)
{
    list(folder, true);
    findPlaces();
}

void FolderBrowserModel::openFolder(const QString &folder)
{
    list(folder, false);
}

void FolderBrowserModel::goUp()
{
    if (canGoUp())
        list(QFileInfo(m_folder).absolutePath(), false);
}

QCoro::Task<> FolderBrowserModel::list(QString folder, bool nearest)
{
    QPointer<FolderBrowserModel> self = this;
    const quint64 listing = ++m_listing;
    const QStringList suffixes = m_suffixes;
    QFuture<savepaths::Listing> reading = QtConcurrent::run([folder, nearest, suffixes] {
        return savepaths::listFolder(nearest ? savepaths::nearestFolder(folder) : folder, suffixes);
    });
    const savepaths::Listing result = co_await reading;
    if (!self || listing != m_listing)
        co_return;
    if (!result.error.isEmpty()) {
        emit failed(result.error);
        co_return;
    }
    beginResetModel();
    m_entries = result.entries;
    endResetModel();
    if (m_folder != result.folder) {
        m_folder = result.folder;
        emit folderChanged();
    }
}

QCoro::Task<> FolderBrowserModel::findPlaces()
{
    QPointer<FolderBrowserModel> self = this;
    QFuture<QList<savepaths::Place>> finding = QtConcurrent::run(&savepaths::places);
    const QList<savepaths::Place> found = co_await finding;
    if (!self)
        co_return;
    QVariantList places;
    for (const savepaths::Place &place : found)
        places.append(QVariantMap { { QStringLiteral("name"), place.name },
            { QStringLiteral("path"), place.path }, { QStringLiteral("symbol"), place.symbol } });
    if (places == m_places)
        co_return;
    m_places = places;
    emit placesChanged();
}

} // namespace orvella
