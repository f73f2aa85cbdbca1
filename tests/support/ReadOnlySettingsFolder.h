#pragma once

// The application's settings folder made read-only for as long as this object lives, as a full
// disk or a read-only home leaves it: the settings file can be read but not written. A process
// running as root ignores file permissions, so the calling thread also gives up that power
// (CAP_DAC_OVERRIDE) meanwhile; settings are written on the main thread, where tests run.
//
//   ReadOnlySettingsFolder readOnly;
//   ASSERT_TRUE(readOnly.holds());

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace orvella::test {

// The application's settings file as it is on disk (not as this process holds it).
inline QByteArray settingsFileOnDisk()
{
    QFile file(QSettings().fileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ReadOnlySettingsFolder
{
public:
    ReadOnlySettingsFolder()
    {
        QSettings settings;
        settings.setValue(QStringLiteral("test.readOnlyFolder"), true);
        settings.sync();
        m_file = settings.fileName();
        m_folder = QFileInfo(m_file).absolutePath();
        m_folderPermissions = QFile::permissions(m_folder);
        m_filePermissions = QFile::permissions(m_file);
        QFile::setPermissions(m_file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        QFile::setPermissions(m_folder,
            QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                | QFile::ReadOther | QFile::ExeOther);
        m_droppedOverride = setOverride(false);
    }
    ~ReadOnlySettingsFolder()
    {
        if (m_droppedOverride)
            setOverride(true);
        QFile::setPermissions(m_folder, m_folderPermissions);
        QFile::setPermissions(m_file, m_filePermissions);
    }
    ReadOnlySettingsFolder(const ReadOnlySettingsFolder &) = delete;
    ReadOnlySettingsFolder &operator=(const ReadOnlySettingsFolder &) = delete;

    // Whether nothing can be written into the folder now.
    [[nodiscard]] bool holds() const
    {
        QFile probe(QDir(m_folder).filePath(QStringLiteral("probe")));
        if (!probe.open(QIODevice::WriteOnly))
            return true;
        probe.remove();
        return false;
    }

private:
    // Raises or lowers CAP_DAC_OVERRIDE in this thread's effective set; true when it was
    // changed.
    static bool setOverride(bool on)
    {
        __user_cap_header_struct header { _LINUX_CAPABILITY_VERSION_3, 0 };
        __user_cap_data_struct data[2] {};
        if (syscall(SYS_capget, &header, data) != 0)
            return false;
        const unsigned bit = 1u << CAP_DAC_OVERRIDE;
        if (!(data[0].permitted & bit) || bool(data[0].effective & bit) == on)
            return false;
        data[0].effective = on ? data[0].effective | bit : data[0].effective & ~bit;
        return syscall(SYS_capset, &header, data) == 0;
    }

    QString m_file;
    QString m_folder;
    QFile::Permissions m_folderPermissions;
    QFile::Permissions m_filePermissions;
    bool m_droppedOverride = false;
};

} // namespace orvella::test
