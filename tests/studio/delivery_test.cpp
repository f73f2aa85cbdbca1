#include "DeliveryTestSupport.h"
#include "platform/FileReveal.h"
#include "studio/RecordingDelivery.h"
#include "support/TestAsync.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using namespace orvella;
using orvella::test::readAll;
using orvella::test::runTask;

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

class SaveCopy : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString recording;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        recording = dir.filePath("Orvella Testimony 2026-12-06 21.30.00.mov");
        write(recording, QByteArray(3 << 20, 'm') + "end");
    }
};

TEST_F(SaveCopy, WritesANewFileAndReplacesAnExistingOne)
{
    const QString target = dir.filePath("elsewhere/copy.mp4");
    QDir().mkpath(QFileInfo(target).path());
    EXPECT_EQ(delivery::saveCopy(recording, target), std::nullopt);
    EXPECT_EQ(readAll(target), readAll(recording));

    write(target, "an older, shorter file");
    EXPECT_EQ(delivery::saveCopy(recording, target), std::nullopt);
    EXPECT_EQ(readAll(target), readAll(recording));
    // No temporary sibling is left behind.
    EXPECT_EQ(QDir(QFileInfo(target).path()).entryList(QDir::Files), QStringList { "copy.mp4" });
}

TEST_F(SaveCopy, ChoosingTheRecordingItselfKeepsIt)
{
    const QByteArray original = readAll(recording);
    EXPECT_EQ(delivery::saveCopy(recording, recording), std::nullopt);
    EXPECT_EQ(readAll(recording), original);

    // The same file reached through a link or another spelling of its path.
    const QString link = dir.filePath("link.mov");
    ASSERT_TRUE(QFile::link(recording, link));
    EXPECT_EQ(delivery::saveCopy(recording, link), std::nullopt);
    const QString hard = dir.filePath("hard.mov");
    ASSERT_EQ(
        ::link(QFile::encodeName(recording).constData(), QFile::encodeName(hard).constData()), 0);
    EXPECT_EQ(delivery::saveCopy(recording, hard), std::nullopt);
    EXPECT_EQ(delivery::saveCopy(recording, dir.path() + "/./" + QFileInfo(recording).fileName()),
        std::nullopt);
    EXPECT_EQ(readAll(recording), original);
}

TEST_F(SaveCopy, AFailureIsReadableAndLeavesTheTargetAlone)
{
    // A "folder" that is a file: nothing can be created inside it, even for root.
    const QString blocker = dir.filePath("not-a-folder");
    write(blocker, "x");
    const auto error = delivery::saveCopy(recording, blocker + "/copy.mov");
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->startsWith("“copy.mov” could not be saved: ")) << error->toStdString();
    EXPECT_TRUE(error->endsWith('.'));
    EXPECT_EQ(readAll(blocker), "x");

    // A folder chosen as the target is never replaced by the movie.
    const QString folder = dir.filePath("folder.mov");
    QDir().mkpath(folder);
    EXPECT_TRUE(delivery::saveCopy(recording, folder).has_value());
    EXPECT_TRUE(QFileInfo(folder).isDir());

    const QString kept = dir.filePath("kept.mov");
    write(kept, "keep me");
    EXPECT_TRUE(delivery::saveCopy(dir.filePath("missing.mov"), kept).has_value());
    EXPECT_EQ(readAll(kept), "keep me");
    EXPECT_TRUE(delivery::saveCopy(recording, QString()).has_value());
}

TEST_F(SaveCopy, ArchiveKeepsTheNameInANewFolderAndReplacesAnEarlierCopy)
{
    const QString folder = dir.filePath("data/OrvellaTV/TestimonySubmissions");
    const auto archived = delivery::archiveCopy(recording, folder);
    ASSERT_TRUE(archived.has_value());
    EXPECT_EQ(*archived, QDir(folder).filePath(QFileInfo(recording).fileName()));
    EXPECT_EQ(readAll(*archived), readAll(recording));

    write(*archived, "stale");
    EXPECT_EQ(delivery::archiveCopy(recording, folder), archived);
    EXPECT_EQ(readAll(*archived), readAll(recording));

    EXPECT_EQ(delivery::archiveCopy(recording, QString()), std::nullopt);
    write(dir.filePath("blocked"), "x");
    EXPECT_EQ(delivery::archiveCopy(recording, dir.filePath("blocked/sub")), std::nullopt);
}

TEST(Delivery, ArchiveFolderIsUnderTheApplicationData)
{
    const QString folder = delivery::archiveFolder();
    EXPECT_TRUE(folder.endsWith("/OrvellaTV/TestimonySubmissions")) << folder.toStdString();
    EXPECT_TRUE(folder.startsWith(QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME"))));
}

TEST(Delivery, OnlyWebPagesOpenAsThePortal)
{
    EXPECT_TRUE(
        delivery::isOpenablePortal(QUrl("https://orvella.tv/testimony?src=macos&platform=macos")));
    EXPECT_TRUE(delivery::isOpenablePortal(QUrl("HTTP://orvella.tv/t")));
    for (const char *refused : { "file:///etc/passwd", "javascript:alert(1)", "ftp://orvella.tv/t",
             "smb://host/share", "/relative/path", "orvella.tv/testimony", "", "https://" })
        EXPECT_FALSE(delivery::isOpenablePortal(QUrl(refused))) << refused;
}

class Upload : public SaveCopy
{
protected:
    std::shared_ptr<test::RecordingReveal> reveal = std::make_shared<test::RecordingReveal>();
    QList<QUrl> opened;
    bool browserOpens = true;
    QList<delivery::UploadRequest> requests;
    std::optional<QString> failure;

    delivery::Services services(const QString &archive)
    {
        delivery::Services s;
        s.upload = [this](delivery::UploadRequest request) -> QCoro::Task<std::optional<QString>> {
            requests << request;
            // A copy: GCC 12 moves from a captured member named in co_return.
            std::optional<QString> answer = failure;
            co_return answer;
        };
        s.reveal = reveal;
        s.openUrl = [this](const QUrl &url) {
            opened << url;
            return browserOpens;
        };
        s.archiveFolder = archive;
        return s;
    }

    QString archiveDir() const { return dir.filePath("archive"); }
    QString archivedCopy() const
    {
        return QDir(archiveDir()).filePath(QFileInfo(recording).fileName());
    }
};

TEST_F(Upload, AcceptedSendsTheFormValuesAndTouchesNothingElse)
{
    const auto report = runTask(delivery::upload(services(archiveDir()), recording, "Ann",
        "ann@example.org", QUrl("https://portal.example/t")));
    EXPECT_TRUE(report.uploaded);
    EXPECT_EQ(report.uploadMessage,
        "Uploaded to the Orvella testimony team. An admin can review it shortly.");
    EXPECT_EQ(report.statusMessage, "Upload complete");
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].filePath, recording);
    EXPECT_EQ(requests[0].name, "Ann");
    EXPECT_EQ(requests[0].email, "ann@example.org");
    EXPECT_EQ(requests[0].title, "Testimony from macOS Studio");
    EXPECT_FALSE(QFileInfo::exists(archiveDir()));
    EXPECT_TRUE(reveal->revealed.isEmpty());
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(Upload, FailedWithAPortalArchivesRevealsTheCopyAndOpensThePortal)
{
    failure = "not found";
    const QUrl portal("https://portal.example/testimony?src=macos&platform=macos");
    const auto report
        = runTask(delivery::upload(services(archiveDir()), recording, "", "", portal));
    EXPECT_FALSE(report.uploaded);
    EXPECT_EQ(readAll(archivedCopy()), readAll(recording));
    EXPECT_EQ(reveal->revealed, QStringList { archivedCopy() });
    EXPECT_EQ(opened, QList<QUrl> { portal });
    EXPECT_EQ(report.uploadMessage,
        "Opened the official Orvella testimony portal (urls.testimony). Your recording is "
        "selected in your file manager — attach it there so the team receives it.");
    EXPECT_EQ(report.statusMessage, "Upload needs portal confirmation");
}

TEST_F(Upload, FailedWithoutAPortalSaysSoAndStillArchives)
{
    failure = "internal server error";
    const auto report
        = runTask(delivery::upload(services(archiveDir()), recording, "", "", QUrl()));
    EXPECT_EQ(report.uploadMessage, "Upload failed: internal server error.");
    EXPECT_EQ(report.statusMessage, "Upload failed");
    EXPECT_TRUE(QFileInfo::exists(archivedCopy()));
    EXPECT_TRUE(reveal->revealed.isEmpty());
    EXPECT_TRUE(opened.isEmpty());

    // A description that already ends a sentence gets no second full stop.
    failure = "The request timed out.";
    const auto timedOut
        = runTask(delivery::upload(services(archiveDir()), recording, "", "", QUrl()));
    EXPECT_EQ(timedOut.uploadMessage, "Upload failed: The request timed out.");
}

TEST_F(Upload, APortalThatIsNotAWebPageIsNeverOpened)
{
    failure = "not found";
    for (const char *portal : { "file:///home/someone/run.sh", "javascript:alert(1)" }) {
        const auto report
            = runTask(delivery::upload(services(archiveDir()), recording, "", "", QUrl(portal)));
        EXPECT_EQ(report.uploadMessage, "Upload failed: not found.");
        EXPECT_EQ(report.statusMessage, "Upload failed");
    }
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_TRUE(reveal->revealed.isEmpty());
}

TEST_F(Upload, WithoutAnArchiveTheRecordingItselfIsShown)
{
    failure = "offline";
    const QUrl portal("https://portal.example/t");
    const auto report = runTask(delivery::upload(services(QString()), recording, "", "", portal));
    EXPECT_EQ(reveal->revealed, QStringList { recording });
    EXPECT_EQ(opened, QList<QUrl> { portal });
    EXPECT_EQ(report.statusMessage, "Upload needs portal confirmation");
}

TEST_F(Upload, ABrowserThatDoesNotOpenIsNotReportedAsOpened)
{
    failure = "offline";
    browserOpens = false;
    const auto report = runTask(delivery::upload(
        services(archiveDir()), recording, "", "", QUrl("https://portal.example/t")));
    EXPECT_EQ(report.uploadMessage, "Upload failed: offline.");
    EXPECT_EQ(report.statusMessage, "Upload failed");
    EXPECT_EQ(reveal->revealed, QStringList { archivedCopy() });
}

} // namespace
