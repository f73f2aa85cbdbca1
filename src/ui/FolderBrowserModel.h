#pragma once

#include "ui/SavePaths.h"

#include <QAbstractListModel>
#include <QCoroTask>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

namespace orvella {

// The folder a save dialog shows, one row per sub-folder or file of the kinds it saves. Folders
// are listed on a worker thread and shown once listed; the latest request wins. A folder that
// cannot be listed leaves the one shown and says why.
class FolderBrowserModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Part of a save dialog")

    Q_PROPERTY(QString folder READ folder NOTIFY folderChanged)
    Q_PROPERTY(QString folderName READ folderName NOTIFY folderChanged)
    Q_PROPERTY(bool canGoUp READ canGoUp NOTIFY folderChanged)
    // {name, path, symbol} of the usual folders beside the list.
    Q_PROPERTY(QVariantList places READ places NOTIFY placesChanged)

public:
    enum Role {
        NameRole = Qt::UserRole + 1,
        PathRole,
        IsFolderRole,
        SizeRole,
        ModifiedRole,
    };

    explicit FolderBrowserModel(QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    [[nodiscard]] QString folder() const { return m_folder; }
    [[nodiscard]] QString folderName() const;
    [[nodiscard]] bool canGoUp() const;
    [[nodiscard]] QVariantList places() const { return m_places; }
    // The entry of a row, or none.
    [[nodiscard]] const savepaths::Entry *entryAt(int row) const;
    [[nodiscard]] QStringList names() const;

    // Files of these suffixes (lower case, no dot) are listed besides folders.
    void setSuffixes(const QStringList &suffixes) { m_suffixes = suffixes; }
    // Shows `folder`, or its nearest existing parent, and finds the usual folders again.
    void start(const QString &folder);
    Q_INVOKABLE void openFolder(const QString &folder);
    Q_INVOKABLE void goUp();

signals:
    void folderChanged();
    void placesChanged();
    // A folder could not be opened; the one shown stays.
    void failed(const QString &message);

private:
    QCoro::Task<> list(QString folder, bool nearest);
    QCoro::Task<> findPlaces();

    QString m_folder;
    QList<savepaths::Entry> m_entries;
    QStringList m_suffixes;
    QVariantList m_places;
    quint64 m_listing = 0;
};

} // namespace orvella
