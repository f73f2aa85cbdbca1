#include "platform/FileReveal.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Stands in for the desktop's file manager on the session bus.
class FakeFileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QStringList shown;
    QString startupId;

public slots:
    void ShowItems(const QStringList &uris, const QString &startup)
    {
        shown = uris;
        startupId = startup;
        emit called();
    }

signals:
    void called();
};

bool waitFor(const std::function<bool()> &done, int deadlineMs = 5000)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(5);
    QTimer::singleShot(deadlineMs, &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
    return done();
}

// One test for both paths: the file manager's well-known name is shared by the whole bus.
TEST(FileReveal, AsksTheFileManagerAndOpensTheFolderWhenNoneAnswers)
{
    if (!QDBusConnection::sessionBus().isConnected())
        GTEST_SKIP() << "no session bus (run under dbus-run-session)";
    if (QDBusConnection::sessionBus().interface()->isServiceRegistered(
            "org.freedesktop.FileManager1"))
        GTEST_SKIP() << "a real file manager owns the name on this bus";

    QTemporaryDir dir;
    const QString file = dir.filePath("Orvella Testimony 2026-12-06 21.30.00.mov");
    QList<QUrl> openedFolders;
    orvella::DesktopFileReveal reveal([&](const QUrl &folder) { openedFolders << folder; });

    {
        QDBusConnection fakeBus
            = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "fake-file-manager");
        FakeFileManager manager;
        ASSERT_TRUE(fakeBus.registerObject(
            "/org/freedesktop/FileManager1", &manager, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(fakeBus.registerService("org.freedesktop.FileManager1"));

        reveal.reveal(file);
        ASSERT_TRUE(waitFor([&] { return !manager.shown.isEmpty(); }));
        EXPECT_EQ(
            manager.shown, QStringList { QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded) });
        EXPECT_TRUE(manager.shown[0].contains("%20")) << manager.shown[0].toStdString();
        EXPECT_TRUE(manager.startupId.isEmpty());
        QEventLoop settle;
        QTimer::singleShot(50, &settle, &QEventLoop::quit);
        settle.exec();
        EXPECT_TRUE(openedFolders.isEmpty());

        fakeBus.unregisterService("org.freedesktop.FileManager1");
        fakeBus.unregisterObject("/org/freedesktop/FileManager1");
    }
    QDBusConnection::disconnectFromBus("fake-file-manager");

    reveal.reveal(file);
    ASSERT_TRUE(waitFor([&] { return !openedFolders.isEmpty(); }));
    EXPECT_EQ(openedFolders, QList<QUrl> { QUrl::fromLocalFile(dir.path()) });

    reveal.reveal(QString());
    QEventLoop settle;
    QTimer::singleShot(50, &settle, &QEventLoop::quit);
    settle.exec();
    EXPECT_EQ(openedFolders.size(), 1);
}

} // namespace

#include "filereveal_test.moc"
