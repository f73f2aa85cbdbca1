#include "ui/SavePaths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <algorithm>
#include <filesystem>

namespace orvella::savepaths {

namespace {

// The longest file name most Linux file systems take, in bytes.
constexpr qsizetype longestName = 255;

QString quoted(const QString &text)
{
    return QStringLiteral("“%1”").arg(text);
}

bool tooLong(const QString &name)
{
    return QFile::encodeName(name).size() > longestName;
}

// The order people sort names in, whatever the locale: letters without regard to case, runs of
// digits by their value ("Take 2" before "Take 10").
bool naturallyBefore(const QString &a, const QString &b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            const qsizetype startA = i;
            const qsizetype startB = j;
            while (i < a.size() && a[i].isDigit())
                ++i;
            while (j < b.size() && b[j].isDigit())
                ++j;
            QStringView numberA = QStringView(a).mid(startA, i - startA);
            QStringView numberB = QStringView(b).mid(startB, j - startB);
            while (numberA.size() > 1 && numberA.front() == u'0')
                numberA = numberA.mid(1);
            while (numberB.size() > 1 && numberB.front() == u'0')
                numberB = numberB.mid(1);
            if (numberA.size() != numberB.size())
                return numberA.size() < numberB.size();
            if (const int order = numberA.compare(numberB); order != 0)
                return order < 0;
            continue;
        }
        const QChar x = a[i].toCaseFolded();
        const QChar y = b[j].toCaseFolded();
        if (x != y)
            return x < y;
        ++i;
        ++j;
    }
    if (a.size() - i != b.size() - j)
        return a.size() - i < b.size() - j;
    return a < b;
}

} // namespace

Listing listFolder(const QString &folder, const QStringList &suffixes)
{
    Listing listing { folder, {}, {} };
    const QFileInfo info(folder);
    if (!info.isDir()) {
        listing.error
            = QStringLiteral("The folder %1 is not there.").arg(quoted(displayName(folder)));
        return listing;
    }
    if (!info.isReadable() || !info.isExecutable()) {
        listing.error = QStringLiteral("The folder %1 cannot be opened: you may not read it.")
                            .arg(quoted(displayName(folder)));
        return listing;
    }
    const QFileInfoList found
        = QDir(folder).entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort);
    const QLocale locale;
    for (const QFileInfo &item : found) {
        Entry entry { item.fileName(), item.absoluteFilePath(), item.isDir(), {}, {} };
        if (!entry.isFolder && !suffixes.contains(item.suffix().toLower()))
            continue;
        if (!entry.isFolder)
            entry.sizeText = locale.formattedDataSize(item.size(), 1, QLocale::DataSizeSIFormat);
        entry.modifiedText = locale.toString(item.lastModified(), QLocale::ShortFormat);
        listing.entries.append(entry);
    }
    std::sort(listing.entries.begin(), listing.entries.end(), [](const Entry &a, const Entry &b) {
        if (a.isFolder != b.isFolder)
            return a.isFolder;
        return naturallyBefore(a.name, b.name);
    });
    return listing;
}

QString nearestFolder(const QString &folder)
{
    QString path = folder.isEmpty() ? QString() : QDir::cleanPath(QDir(folder).absolutePath());
    while (!path.isEmpty()) {
        if (QFileInfo(path).isDir())
            return path;
        const QString parent = QFileInfo(path).absolutePath();
        if (parent == path)
            break;
        path = parent;
    }
    return QDir::homePath();
}

qsizetype stemLength(const QString &name, const Naming &naming)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    // A leading dot starts a hidden name, not a suffix.
    if (dot > 0 && naming.suffixes.contains(name.mid(dot + 1).toLower()))
        return dot;
    return name.size();
}

QString withSuffix(const QString &name, const Naming &naming)
{
    if (stemLength(name, naming) < name.size() || naming.defaultSuffix.isEmpty())
        return name;
    return name + u'.' + naming.defaultSuffix;
}

QString typedPath(const QString &folder, const QString &typed, const QString &home)
{
    const QString text = typed.trimmed();
    QString path;
    if (text == u'~')
        path = home;
    else if (text.startsWith(QStringLiteral("~/")))
        path = home + text.mid(1);
    else if (text.startsWith(u'/'))
        path = text;
    else
        path = QDir(folder).filePath(text);
    return QDir::cleanPath(path);
}

Target resolveTarget(
    const QString &folder, const QString &typed, const QString &home, const Naming &naming)
{
    Target target;
    const QString text = typed.trimmed();
    if (text.isEmpty()) {
        target.message = QStringLiteral("Type a name for the file.");
        return target;
    }
    const QString path = typedPath(folder, text, home);
    if (QFileInfo(path).isDir()) {
        target.kind = Target::Kind::Folder;
        target.path = path;
        return target;
    }
    if (text.endsWith(u'/') || text == u'~') {
        target.message = QStringLiteral("There is no folder %1.").arg(quoted(path));
        return target;
    }
    const QFileInfo typedFile(path);
    const QString parent = typedFile.absolutePath();
    if (!QFileInfo(parent).isDir()) {
        target.message = QStringLiteral("There is no folder %1.").arg(quoted(parent));
        return target;
    }
    const QString name = withSuffix(typedFile.fileName(), naming);
    if (tooLong(name)) {
        target.message = QStringLiteral("That name is too long: use a shorter one.");
        return target;
    }
    const QFileInfo file(QDir(parent).filePath(name));
    if (file.isDir()) {
        target.message
            = QStringLiteral("%1 is a folder: choose another name for the file.").arg(quoted(name));
        return target;
    }
    target.kind = Target::Kind::File;
    target.path = file.absoluteFilePath();
    target.exists = file.exists() || file.isSymLink();
    return target;
}

QString folderNameProblem(const QString &folder, const QString &name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return QStringLiteral("Type a name for the folder.");
    if (trimmed.contains(u'/'))
        return QStringLiteral("A folder name cannot contain “/”.");
    if (trimmed == u'.' || trimmed == QStringLiteral(".."))
        return QStringLiteral("%1 cannot name a folder.").arg(quoted(trimmed));
    if (tooLong(trimmed))
        return QStringLiteral("That name is too long: use a shorter one.");
    if (QFileInfo::exists(QDir(folder).filePath(trimmed)))
        return QStringLiteral("%1 is already there: choose another name.").arg(quoted(trimmed));
    return {};
}

Creation makeFolder(const QString &folder, const QString &name)
{
    Creation creation;
    creation.error = folderNameProblem(folder, name);
    if (!creation.error.isEmpty())
        return creation;
    const QString trimmed = name.trimmed();
    if (!QDir(folder).mkdir(trimmed)) {
        creation.error = QStringLiteral("The folder %1 could not be made in %2: you may not "
                                        "write there.")
                             .arg(quoted(trimmed), quoted(displayName(folder)));
        return creation;
    }
    creation.path = QDir(folder).filePath(trimmed);
    return creation;
}

QString freeName(const QString &base, const QStringList &taken)
{
    if (!taken.contains(base))
        return base;
    for (int n = 2;; ++n) {
        const QString name = QStringLiteral("%1 %2").arg(base).arg(n);
        if (!taken.contains(name))
            return name;
    }
}

QList<Place> places()
{
    const QString home = QDir::homePath();
    QList<Place> list { { QStringLiteral("Home"), home, QStringLiteral("house.fill") } };
    const struct
    {
        const char *name;
        QStandardPaths::StandardLocation location;
        const char *symbol;
    } usual[] = {
        { "Desktop", QStandardPaths::DesktopLocation, "desktopcomputer" },
        { "Documents", QStandardPaths::DocumentsLocation, "doc.fill" },
        { "Downloads", QStandardPaths::DownloadLocation, "square.and.arrow.down" },
        { "Videos", QStandardPaths::MoviesLocation, "film" },
    };
    for (const auto &place : usual) {
        const QString path = QStandardPaths::writableLocation(place.location);
        const bool listed = std::any_of(
            list.cbegin(), list.cend(), [&path](const Place &p) { return p.path == path; });
        if (path.isEmpty() || listed || !QFileInfo(path).isDir())
            continue;
        list.append({ QString::fromLatin1(place.name), path, QString::fromLatin1(place.symbol) });
    }
    return list;
}

QString usualFolder(QStandardPaths::StandardLocation location, const QString &usualName)
{
    const QString home = QDir::homePath();
    // Where the desktop names no folder of its own, Qt gives the usual one or the home folder
    // itself, whether it is there or not.
    const QString desktop = QStandardPaths::writableLocation(location);
    if (!desktop.isEmpty() && QFileInfo(desktop).isDir()
        && QFileInfo(desktop).canonicalFilePath() != QFileInfo(home).canonicalFilePath())
        return desktop;
    const QString usual = QDir(home).filePath(usualName);
    return QFileInfo(usual).isDir() ? usual : QString();
}

QString lastingFolder()
{
    for (const auto &[location, name] : { std::pair { QStandardPaths::MoviesLocation, "Videos" },
             std::pair { QStandardPaths::DocumentsLocation, "Documents" } }) {
        const QString folder = usualFolder(location, QString::fromLatin1(name));
        if (!folder.isEmpty())
            return folder;
    }
    return QDir::homePath();
}

bool sameFile(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    std::error_code error;
    const bool same
        = std::filesystem::equivalent(std::filesystem::path(QFile::encodeName(a).toStdString()),
            std::filesystem::path(QFile::encodeName(b).toStdString()), error);
    return !error && same;
}

QString isTheOriginalMessage(const QString &path)
{
    return QStringLiteral("%1 is the file being saved: choose another name or folder for the copy.")
        .arg(quoted(QFileInfo(path).fileName()));
}

QString keptFileRefusal(const QString &target, const QStringList &kept)
{
    const bool refused = std::any_of(kept.cbegin(), kept.cend(),
        [&target](const QString &file) { return sameFile(target, file); });
    return refused ? isTheOriginalMessage(target) : QString();
}

QString displayName(const QString &folder)
{
    if (folder == u'/')
        return folder;
    const QString name = QFileInfo(folder).fileName();
    return name.isEmpty() ? folder : name;
}

} // namespace orvella::savepaths
