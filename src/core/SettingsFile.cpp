#include "core/SettingsFile.h"

#include "core/SessionLog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

namespace orvella {

namespace {

// QSettings reports a parse failure only to the first reader of a file in a process (later ones
// share its cached contents), so the file is judged from a copy no one has read yet. The copy is
// written plainly: QFile::copy would also flush it to the disk, on every start.
bool isUnreadable(const QString &path)
{
    const QTemporaryDir folder;
    QFile original(path);
    QFile copy(folder.filePath(QStringLiteral("probe.ini")));
    if (!folder.isValid() || !original.open(QIODevice::ReadOnly) || !copy.open(QIODevice::WriteOnly)
        || copy.write(original.readAll()) < 0)
        return false;
    copy.close();
    return QSettings(copy.fileName(), QSettings::IniFormat).status() == QSettings::FormatError;
}

constexpr QFileDevice::Permissions ownerOnly
    = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

// Takes every permission of group and others off the file; the owner's stay.
void narrowToOwner(const QString &path)
{
    QFile file(path);
    // The "User" flags say what this process may do (everything, for root), not the mode.
    const QFileDevice::Permissions mode = file.permissions()
        & (ownerOnly | QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
            | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
    if ((mode & ownerOnly) == mode || file.setPermissions(mode & ownerOnly))
        return;
    qCWarning(lcSession) << "Settings file" << path
                         << "is open to other users and its mode cannot be changed:"
                         << file.errorString();
}

} // namespace

void keepSettingsFilePrivate()
{
    const QString path = QSettings().fileName();
    if (QFileInfo::exists(path)) {
        narrowToOwner(path);
        return;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
            QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return;
    qCWarning(lcSession) << "Settings file" << path
                         << "could not be created readable by its owner only:"
                         << file.errorString();
}

QString setAsideUnreadableSettings()
{
    const QString path = QSettings().fileName();
    if (!QFile::exists(path) || !isUnreadable(path))
        return {};
    const QString aside = path + QStringLiteral(".unreadable-")
        + QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    if (!QFile::rename(path, aside)) {
        qCWarning(lcSession) << "Settings file" << path
                             << "is unreadable and could not be moved aside";
        return {};
    }
    narrowToOwner(aside);
    qCWarning(lcSession) << "Settings file" << path << "was unreadable: moved to" << aside
                         << "and starting with default settings";
    return aside;
}

} // namespace orvella
