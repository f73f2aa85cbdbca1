#include "DeliveryTestSupport.h"
#include "platform/FileReveal.h"
#include "studio/RecordingDelivery.h"
#include "support/TestAsync.h"
#include "ui/SavePaths.h"

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

TEST_F(SaveCopy, ChoosingTheRecordingItselfKeepsItAndSavesNothing)
{
    const QByteArray original = readAll(recording);
    const QString refused = savepaths::isTheOriginalMessage(recording);
    EXPECT_EQ(delivery::saveCopy(recording, recording), refused);
    EXPECT_EQ(readAll(recording), original);

    // The same file reached through a link or another spelling of its path.
    const QString link = dir.filePath("link.mov");
    ASSERT_TRUE(QFile::link(recording, link));
    EXPECT_TRUE(delivery::saveCopy(recording, link).has_value());
    const QString hard = dir.filePath("hard.mov");
    ASSERT_EQ(
        ::link(QFile::encodeName(recording).constData(), QFile::encodeName(hard).constData()), 0);
    EXPECT_TRUE(delivery::saveCopy(recording, hard).has_value());
    EXPECT_EQ(delivery::saveCopy(recording, dir.path() + "/./" + QFileInfo(recording).fileName()),
        refused);
    EXPECT_EQ(readAll(recording), original);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    // An archive copy that is the recording is kept there already.
    EXPECT_EQ(delivery::archiveCopy(recording, dir.path()), recording);
}

TEST_F(SaveCopy, AFileTheStudioStillKeepsIsRefusedLikeTheRecording)
{
    const QString working = dir.filePath("orvella-testimony-1.mov");
    write(working, "the working movie");
    const QStringList kept { working, QString(), dir.filePath("gone.mov") };
    const QString link = dir.filePath("working link.mov");
    ASSERT_TRUE(QFile::link(working, link));
    const QString hard = dir.filePath("working hard link.mov");
    ASSERT_EQ(
        ::link(QFile::encodeName(working).constData(), QFile::encodeName(hard).constData()), 0);
    for (const QString &target : { working, link, hard, dir.path() + "/./orvella-testimony-1.mov" })
        EXPECT_EQ(
            delivery::saveCopy(recording, target, kept), savepaths::isTheOriginalMessage(target));
    EXPECT_EQ(readAll(working), "the working movie");

    // Kept files neither there nor named stop no other target.
    const QString elsewhere = dir.filePath("gone.mp4");
    EXPECT_EQ(delivery::saveCopy(recording, elsewhere, kept), std::nullopt);
    EXPECT_EQ(readAll(elsewhere), readAll(recording));
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

TEST_F(SaveCopy, AFailedUploadArchivesInTheUsersDataFolder)
{
    const QString data = dir.filePath("data home");
    const QByteArray previous = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(data));
    const QString expected = data + "/OrvellaTV/TestimonySubmissions";
    EXPECT_EQ(delivery::archiveFolder(), expected);

    test::FakeDeliveryServices fake;
    fake.failure = "internal server error";
    const delivery::UploadReport report = runTask(delivery::upload(
        fake.make(delivery::archiveFolder()), recording, "Ann", "ann@example.org", QUrl()));
    qputenv("XDG_DATA_HOME", previous);
    EXPECT_FALSE(report.uploaded);
    const QString copy = expected + "/" + QFileInfo(recording).fileName();
    EXPECT_EQ(readAll(copy), readAll(recording));
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

} // namespace
