#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace orvella {

// Shows a file to the viewer in the desktop's file manager.
class FileReveal
{
public:
    virtual ~FileReveal() = default;
    // Returns at once; the file manager opens on its own time.
    virtual void reveal(const QString &filePath) = 0;
};

// Asks the file manager over D-Bus (org.freedesktop.FileManager1.ShowItems) to select the file;
// when no file manager answers, opens the folder that holds it instead.
class DesktopFileReveal final : public FileReveal
{
public:
    using FolderOpener = std::function<void(const QUrl &folder)>;

    // openFolder defaults to the desktop's handler for folders.
    explicit DesktopFileReveal(FolderOpener openFolder = {});

    void reveal(const QString &filePath) override;

private:
    FolderOpener m_openFolder;
};

} // namespace orvella
