// The client's own save dialog without its view: what a typed name means, what a folder lists,
// and the dialog's questions and prompts.

#include "support/TestAsync.h"
#include "ui/SaveFileDialogModel.h"
#include "ui/SavePaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orvella;
using namespace orvella::test;
using Kind = savepaths::Target::Kind;

namespace {

const savepaths::Naming movies { "mov", { "mov", "mp4" } };

void touch(const QString &path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

class SavePaths : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(dir.path()).mkpath("Takes"));
        ASSERT_TRUE(QDir(dir.path()).mkpath("home/Videos"));
        ASSERT_TRUE(QDir(dir.path()).mkpath("Folder.mov"));
        touch(dir.filePath("Takes/Old.mov"));
    }

    savepaths::Target resolve(const QString &typed)
    {
        return savepaths::resolveTarget(dir.path(), typed, dir.filePath("home"), movies);
    }

    QTemporaryDir dir;
};

TEST_F(SavePaths, ATypedNameIsAFileOrAFolderToGoTo)
{
    EXPECT_EQ(resolve("  My take ").path, dir.filePath("My take.mov"));
    EXPECT_EQ(resolve("Clip.MP4").path, dir.filePath("Clip.MP4"));
    EXPECT_EQ(resolve("notes.txt").path, dir.filePath("notes.txt.mov"));
    EXPECT_EQ(resolve(".hidden").path, dir.filePath(".hidden.mov"));
    EXPECT_EQ(resolve("Takes/New").path, dir.filePath("Takes/New.mov"));
    EXPECT_EQ(resolve(dir.filePath("Takes/../Abs")).path, dir.filePath("Abs.mov"));
    EXPECT_EQ(resolve("~/Videos/Mine").path, dir.filePath("home/Videos/Mine.mov"));
    EXPECT_EQ(resolve("Takes/New").kind, Kind::File);
    EXPECT_FALSE(resolve("Takes/New").exists);
    EXPECT_TRUE(resolve("Takes/Old").exists);

    for (const QString folder : { "Takes", "Takes/", "~/Videos", "~", "..", "/" }) {
        EXPECT_EQ(resolve(folder).kind, Kind::Folder) << folder.toStdString();
    }
    EXPECT_EQ(resolve("~").path, dir.filePath("home"));

    EXPECT_EQ(resolve("   ").message, "Type a name for the file.");
    EXPECT_EQ(resolve("Missing/Take").message,
        QStringLiteral("There is no folder “%1”.").arg(dir.filePath("Missing")));
    EXPECT_EQ(resolve("Missing/").kind, Kind::Invalid);
    EXPECT_EQ(
        resolve("Folder").message, "“Folder.mov” is a folder: choose another name for the file.");
    EXPECT_EQ(resolve(QString(300, 'x')).message, "That name is too long: use a shorter one.");
}

TEST_F(SavePaths, AFolderListsItsFoldersThenItsMoviesInNaturalOrder)
{
    touch(dir.filePath("Take 10.mov"));
    touch(dir.filePath("take 2.MP4"));
    touch(dir.filePath("notes.txt"));
    touch(dir.filePath(".hidden.mov"));
    ASSERT_TRUE(QDir(dir.path()).mkpath(".secret"));
    const savepaths::Listing listing = savepaths::listFolder(dir.path(), movies.suffixes);
    EXPECT_TRUE(listing.error.isEmpty());
    QStringList names;
    for (const savepaths::Entry &entry : listing.entries)
        names << entry.name + (entry.isFolder ? "/" : "");
    EXPECT_EQ(
        names, (QStringList { "Folder.mov/", "home/", "Takes/", "take 2.MP4", "Take 10.mov" }));
    EXPECT_FALSE(listing.entries.last().sizeText.isEmpty());

    EXPECT_FALSE(savepaths::listFolder(dir.filePath("gone"), movies.suffixes).error.isEmpty());
    EXPECT_EQ(savepaths::nearestFolder(dir.filePath("Takes/gone/deeper")), dir.filePath("Takes"));
}

TEST_F(SavePaths, NewFolderNames)
{
    EXPECT_EQ(savepaths::freeName("New Folder", { "New Folder", "New Folder 2" }), "New Folder 3");
    EXPECT_EQ(savepaths::freeName("New Folder", { "Other" }), "New Folder");
    EXPECT_EQ(savepaths::folderNameProblem(dir.path(), "a/b"), "A folder name cannot contain “/”.");
    EXPECT_EQ(savepaths::folderNameProblem(dir.path(), ".."), "“..” cannot name a folder.");
    EXPECT_EQ(savepaths::folderNameProblem(dir.path(), "Takes"),
        "“Takes” is already there: choose another name.");
    const savepaths::Creation made = savepaths::makeFolder(dir.path(), " Fresh ");
    EXPECT_EQ(made.path, dir.filePath("Fresh"));
    EXPECT_TRUE(QFileInfo(made.path).isDir());
}

TEST_F(SavePaths, TheDialogAsksBeforeReplacingAndEscapeStepsBack)
{
    SaveFileDialogModel dialog;
    QStringList accepted;
    int rejected = 0;
    QObject::connect(
        &dialog, &SaveFileDialogModel::accepted, [&](const QString &path) { accepted << path; });
    QObject::connect(&dialog, &SaveFileDialogModel::rejected, [&] { ++rejected; });
    dialog.open({ "Save Recording", dir.filePath("Takes/gone"), "Proposed.mov", movies, {} });
    EXPECT_EQ(dialog.nameStemLength(), 8);
    // A folder that went is replaced by its nearest parent.
    ASSERT_TRUE(waitUntil([&] { return dialog.browser()->folder() == dir.filePath("Takes"); }));
    ASSERT_EQ(dialog.browser()->rowCount(), 1);

    // A click on a file takes its name; a double-click asks before replacing it.
    dialog.selectEntry(0);
    EXPECT_EQ(dialog.fileName(), "Old.mov");
    dialog.activateEntry(0);
    ASSERT_TRUE(waitUntil([&] { return !dialog.replaceQuestion().isEmpty(); }));
    EXPECT_EQ(dialog.replaceQuestion(), "“Old.mov” already exists. Do you want to replace it?");
    dialog.escape();
    EXPECT_TRUE(dialog.replaceQuestion().isEmpty());
    EXPECT_TRUE(dialog.isOpened());

    // A folder that is there already is refused; Escape drops the prompt, then the dialog.
    dialog.beginNewFolder();
    EXPECT_EQ(dialog.newFolderProposal(), "New Folder");
    dialog.createFolder("Old.mov");
    ASSERT_TRUE(waitUntil([&] { return !dialog.newFolderMessage().isEmpty(); }));
    EXPECT_TRUE(dialog.newFolderShown());
    dialog.escape();
    EXPECT_FALSE(dialog.newFolderShown());
    EXPECT_EQ(accepted.size(), 0);
    dialog.escape();
    EXPECT_FALSE(dialog.isOpened());
    EXPECT_EQ(rejected, 1);

    dialog.open({ "Save Recording", dir.filePath("Takes"), "Proposed.mov", movies, {} });
    ASSERT_TRUE(waitUntil([&] { return dialog.browser()->folder() == dir.filePath("Takes"); }));
    dialog.setFileName("Old");
    dialog.accept();
    ASSERT_TRUE(waitUntil([&] { return !dialog.replaceQuestion().isEmpty(); }));
    dialog.confirmReplace();
    ASSERT_EQ(accepted.size(), 1);
    EXPECT_EQ(accepted[0], dir.filePath("Takes/Old.mov"));
    EXPECT_FALSE(dialog.isOpened());
}

} // namespace
