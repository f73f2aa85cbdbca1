#include "platform/FileReveal.h"

#include "platform/PlatformLog.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>

namespace orvella {

namespace {
constexpr auto fileManagerService = "org.freedesktop.FileManager1";
constexpr auto fileManagerPath = "/org/freedesktop/FileManager1";
// A file manager that is started by activation needs a moment; one that hangs must not keep
// the fallback waiting for D-Bus's default 25 seconds.
constexpr int showItemsTimeoutMs = 5000;
} // namespace

DesktopFileReveal::DesktopFileReveal(FolderOpener openFolder)
    : m_openFolder(openFolder ? std::move(openFolder) : FolderOpener([](const QUrl &folder) {
        QDesktopServices::openUrl(folder);
    }))
{ }

void DesktopFileReveal::reveal(const QString &filePath)
{
    if (filePath.isEmpty())
        return;
    const QFileInfo info(filePath);
    const QUrl file = QUrl::fromLocalFile(info.absoluteFilePath());
    const QUrl folder = QUrl::fromLocalFile(info.absolutePath());

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        m_openFolder(folder);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(fileManagerService),
        QString::fromLatin1(fileManagerPath), QString::fromLatin1(fileManagerService),
        QStringLiteral("ShowItems"));
    call << QStringList { file.toString(QUrl::FullyEncoded) } << QString();
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, showItemsTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
        [watcher, folder, openFolder = m_openFolder] {
            if (watcher->isError()) {
                qCDebug(lcPlatform) << "No file manager showed the file, opening its folder:"
                                    << watcher->error().message();
                openFolder(folder);
            }
            watcher->deleteLater();
        });
}

} // namespace orvella
