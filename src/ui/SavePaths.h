#pragma once

#include <QList>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

// What the client's own save dialog does with the file system: listing a folder, reading what the
// viewer typed as a place to save, making a folder. Each call may touch the disk: run them away
// from the GUI thread.
namespace orvella::savepaths {

struct Entry
{
    QString name;
    QString path;
    bool isFolder = false;
    QString sizeText; // files only
    QString modifiedText;

    bool operator==(const Entry &) const = default;
};

struct Listing
{
    QString folder;
    QList<Entry> entries;
    QString error; // why the folder could not be listed; entries are then empty
};

// The folder's sub-folders and its files whose suffix is one of `suffixes` (lower case, without
// the dot), hidden ones left out: folders first, each group in the order people sort names.
[[nodiscard]] Listing listFolder(const QString &folder, const QStringList &suffixes);

// The folder itself when it exists, else its nearest existing parent, else the home folder.
[[nodiscard]] QString nearestFolder(const QString &folder);

// How saved files are named: a name whose suffix is not one of `suffixes` gets `defaultSuffix`.
struct Naming
{
    QString defaultSuffix;
    QStringList suffixes;
};

[[nodiscard]] QString withSuffix(const QString &name, const Naming &naming);
// How much of `name` comes before a suffix of `naming`: the whole name when it has none.
[[nodiscard]] qsizetype stemLength(const QString &name, const Naming &naming);

// What the viewer typed, as a path: a name or a relative path in `folder`, an absolute path, or
// one under the home folder ("~/…"). No disk access.
[[nodiscard]] QString typedPath(const QString &folder, const QString &typed, const QString &home);

struct Target
{
    enum class Kind { File, Folder, Invalid };
    Kind kind = Kind::Invalid;
    QString path;
    bool exists = false; // a file is there already
    QString message; // why it cannot be saved there
};

// Where saving what the viewer typed in `folder` writes: a file (its suffix added), a folder to
// go to, or why neither.
[[nodiscard]] Target resolveTarget(
    const QString &folder, const QString &typed, const QString &home, const Naming &naming);

// "" when `name` can name a new folder in `folder`, else why not.
[[nodiscard]] QString folderNameProblem(const QString &folder, const QString &name);

// Makes the folder; its path, or why not in `error`.
struct Creation
{
    QString path;
    QString error;
};
[[nodiscard]] Creation makeFolder(const QString &folder, const QString &name);

// `base`, else "base 2", "base 3", … : the first name not among `taken`.
[[nodiscard]] QString freeName(const QString &base, const QStringList &taken);

// The folders a dialog offers beside the list: home and the desktop's usual folders that exist.
struct Place
{
    QString name;
    QString path;
    QString symbol;
};
[[nodiscard]] QList<Place> places();

// The desktop's folder for `location` when it names one of its own and it is there, else the
// folder `usualName` in the home folder when that is there; empty when neither is.
[[nodiscard]] QString usualFolder(
    QStandardPaths::StandardLocation location, const QString &usualName);

// Where a save starts when the file's own folder does not keep what is put in it (the temporary
// folder): the videos folder, else the documents folder, else the home folder.
[[nodiscard]] QString lastingFolder();

// Both paths name one file or folder, through links or other spellings too.
[[nodiscard]] bool sameFile(const QString &a, const QString &b);

// Why a copy cannot be saved over the file it is a copy of.
[[nodiscard]] QString isTheOriginalMessage(const QString &path);

// Why a copy cannot be saved at `target`, or "" when it can: `target` names one of `kept` (the
// file being copied, or one its owner deletes or replaces later, where the copy would be lost),
// through links or other spellings too. Looks at the disk.
[[nodiscard]] QString keptFileRefusal(const QString &target, const QStringList &kept);

// A folder's name as the dialog shows it.
[[nodiscard]] QString displayName(const QString &folder);

} // namespace orvella::savepaths
