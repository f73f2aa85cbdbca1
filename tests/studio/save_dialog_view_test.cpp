// Saving a recording where the viewer says, through the client's own save dialog, with keys and
// clicks on a real window: the studio on the test camera, on a display without a file chooser
// portal (tools/test runs these under xvfb-run). With ORVELLA_SCREENSHOT_DIR set, the dialog's
// states are saved as pictures to look at.

#include "app/Application.h"
#include "studio/RecordingDelivery.h"
#include "studio/StudioCaptureController.h"
#include "studio/StudioPlatform.h"
#include "support/FileModes.h"
#include "support/ScreenView.h"
#include "support/TestAsync.h"
#include "support/WindowPicture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace orvella;
using namespace orvella::test;
using namespace std::chrono_literals;
using State = StudioCaptureController::State;

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A folder nothing can be written into while this lives: read-only, and for a process that
// ignores permissions (root) also immutable.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(QString path)
        : m_path(std::move(path))
    {
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ExeOwner);
        if (!holds())
            m_immutable = setImmutable(m_path, true);
    }
    ~ReadOnlyFolder()
    {
        if (m_immutable)
            setImmutable(m_path, false);
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    [[nodiscard]] bool holds() const
    {
        QFile probe(QDir(m_path).filePath("probe"));
        if (!probe.open(QIODevice::WriteOnly))
            return true;
        probe.remove();
        return false;
    }

private:
    QString m_path;
    bool m_immutable = false;
};

// The studio screen in a window on the display, with a recording of the test camera ready.
class SaveDialogView : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            GTEST_SKIP() << "needs a display: tools/test runs it under xvfb-run";
        ASSERT_TRUE(places.isValid());
        StudioPlatform platform = StudioPlatform::testCamera();
        platform.downloadsFolder = downloads.path();
        platform.temporaryFolder = temporary.path();
        capture = std::make_unique<StudioCaptureController>(std::move(platform));

        prepareEngine(*view.engine());
        view.setInitialProperties({ { "capture", QVariant::fromValue(capture.get()) } });
        view.setResizeMode(QQuickView::SizeRootObjectToView);
        view.resize(1280, 800);
        view.setSource(QUrl("qrc:/Orvella/studio/TestimonyRecordingScreen.qml"));
        ASSERT_TRUE(view.errors().isEmpty());
        view.show();
        view.requestActivate();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&view));

        ASSERT_TRUE(waitUntil([&] { return capture->hasPreviewImage(); }, 20s));
        capture->startRecording();
        ASSERT_TRUE(waitUntil([&] { return capture->writtenFrameCount() >= 8; }, 20s));
        capture->stopRecording();
        ASSERT_TRUE(waitUntil([&] { return capture->state() != State::Processing; }, 20s));
        ASSERT_EQ(capture->state(), State::Ready);
        recording = capture->outputURL().toLocalFile();
        movie = readAll(recording);
        ASSERT_FALSE(movie.isEmpty());
        capture->setStatusMessage("Recording ready to send");
    }

    void TearDown() override
    {
        if (capture)
            capture->suspend();
        view.close();
        spinFor(50ms);
    }

    // The dialog's popup, once the screen has made it.
    QObject *popup() const
    {
        auto *loader = view.rootObject()->findChild<QObject *>("saveDialog");
        auto *host = loader ? loader->property("item").value<QObject *>() : nullptr;
        return host ? host->findChild<QObject *>("saveFileDialog") : nullptr;
    }

    // A visible item of the dialog, else of the screen, by name.
    QQuickItem *item(const QString &name)
    {
        QQuickItem *found = nullptr;
        waitUntil([&] {
            QObject *shown = popup();
            auto *content = shown ? shown->property("contentItem").value<QQuickItem *>() : nullptr;
            found = content ? ScreenView::find(content, name) : nullptr;
            if (!found)
                found = ScreenView::find(view.rootObject(), name);
            return found && found->isVisible();
        });
        return found;
    }

    void click(const QString &name, bool twice = false)
    {
        QQuickItem *target = item(name);
        ASSERT_NE(target, nullptr) << name.toStdString();
        const QPoint middle
            = target->mapToScene({ target->width() / 2, target->height() / 2 }).toPoint();
        if (twice)
            QTest::mouseDClick(&view, Qt::LeftButton, {}, middle);
        else
            QTest::mouseClick(&view, Qt::LeftButton, {}, middle);
    }

    void doubleClick(const QString &name) { click(name, true); }

    // Replaces the name field's text as a viewer does: select all, then type.
    void typeName(const QString &text)
    {
        QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
        for (const QChar c : text)
            QTest::keyClick(&view, c.toLatin1());
    }

    void pressEnter() { QTest::keyClick(&view, Qt::Key_Return); }

    [[nodiscard]] SaveFileDialogModel &dialog() const
    {
        auto *delivery = view.rootObject()->findChild<RecordingDelivery *>();
        return *delivery->saveDialog();
    }

    [[nodiscard]] bool dialogShown() const
    {
        QObject *shown = popup();
        return shown && shown->property("opened").toBool();
    }

    // Clicks Save to Computer and waits for the dialog to show a folder.
    void openDialog()
    {
        ASSERT_TRUE(waitUntil([&] { return !dialogShown(); })) << "the last dialog is still there";
        click("saveToComputer");
        ASSERT_TRUE(waitUntil([&] { return dialogShown(); }));
        ASSERT_TRUE(waitUntil([&] { return !dialog().browser()->folder().isEmpty(); }));
        ASSERT_TRUE(item("saveFileName")->hasActiveFocus());
    }

    void showFolder(const QString &folder)
    {
        ASSERT_TRUE(waitUntil([&] { return dialog().browser()->folder() == folder; }))
            << dialog().browser()->folder().toStdString();
    }

    void screenshot(const QString &name)
    {
        const QString folder = qEnvironmentVariable("ORVELLA_SCREENSHOT_DIR");
        if (folder.isEmpty())
            return;
        spinFor(200ms);
        windowPicture(view).save(folder + "/" + name + ".png");
    }

    [[nodiscard]] QString savedMessage(const QString &name) const { return "Saved to " + name; }

    QTemporaryDir downloads;
    QTemporaryDir temporary;
    QTemporaryDir places;
    std::unique_ptr<StudioCaptureController> capture;
    QQuickView view;
    QString recording;
    QByteArray movie;
};

TEST_F(SaveDialogView, EnterOrSaveWritesInTheFolderTheViewerWentTo)
{
    ASSERT_TRUE(QDir(places.path()).mkpath("Alpha"));
    ASSERT_TRUE(QDir(places.path()).mkpath("Beta"));
    openDialog();
    EXPECT_EQ(dialog().fileName(), QFileInfo(recording).fileName());
    showFolder(downloads.path());
    screenshot("save-dialog-opened");

    // A typed folder is gone to; a double-click goes into a folder of the list.
    typeName(places.path() + "/");
    pressEnter();
    showFolder(places.path());
    doubleClick("saveEntry-Alpha");
    showFolder(places.filePath("Alpha"));
    typeName("First take");
    screenshot("save-dialog-typed");
    pressEnter();
    const QString first = places.filePath("Alpha/First take.mov");
    ASSERT_TRUE(waitUntil([&] {
        return capture->uploadMessage() == savedMessage("First take.mov");
    })) << capture->uploadMessage().toStdString();
    EXPECT_TRUE(readAll(first) == movie);
    EXPECT_EQ(capture->statusMessage(), "Saved to computer");
    EXPECT_FALSE(dialogShown());

    // The next save starts where the last one went, with the recording's name; the up button
    // and the Save button work as Enter does, and an MPEG-4 name keeps its suffix.
    openDialog();
    showFolder(places.filePath("Alpha"));
    EXPECT_EQ(dialog().fileName(), QFileInfo(recording).fileName());
    click("saveFileUp");
    showFolder(places.path());
    doubleClick("saveEntry-Beta");
    showFolder(places.filePath("Beta"));
    typeName("Second.mp4");
    click("saveFileSave");
    const QString second = places.filePath("Beta/Second.mp4");
    ASSERT_TRUE(waitUntil([&] { return capture->uploadMessage() == savedMessage("Second.mp4"); }));
    EXPECT_TRUE(readAll(second) == movie);
    EXPECT_TRUE(readAll(recording) == movie);
}

TEST_F(SaveDialogView, NewFolderPathsUnderHomeAndCancel)
{
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(places.path()));

    // A folder made from the dialog is gone into, and the name typed next is saved there.
    openDialog();
    typeName("~/");
    pressEnter();
    showFolder(places.path());
    click("saveFileNewFolder");
    ASSERT_TRUE(item("saveFileFolderName")->hasActiveFocus());
    typeName("Made here");
    screenshot("save-dialog-new-folder");
    pressEnter();
    showFolder(places.filePath("Made here"));
    ASSERT_TRUE(item("saveFileName")->hasActiveFocus());
    typeName("In the new folder");
    pressEnter();
    ASSERT_TRUE(waitUntil(
        [&] { return capture->uploadMessage() == savedMessage("In the new folder.mov"); }));
    EXPECT_TRUE(readAll(places.filePath("Made here/In the new folder.mov")) == movie);

    // Cancel changes nothing; the dialog opens again where it was, with the proposed name.
    openDialog();
    click("saveFileUp");
    showFolder(places.path());
    typeName("Never written");
    click("saveFileCancel");
    ASSERT_TRUE(waitUntil([&] { return !dialogShown(); }));
    spinFor(50ms);
    EXPECT_FALSE(QFileInfo::exists(places.filePath("Never written.mov")));
    EXPECT_EQ(capture->uploadMessage(), savedMessage("In the new folder.mov"));
    openDialog();
    showFolder(places.path());
    EXPECT_EQ(item("saveFileName")->property("text").toString(), QFileInfo(recording).fileName());

    // Escape cancels too; a path under "~" and an absolute path are saved where they say.
    QTest::keyClick(&view, Qt::Key_Escape);
    ASSERT_TRUE(waitUntil([&] { return !dialogShown(); }));
    openDialog();
    typeName("~/Made here/From home");
    pressEnter();
    ASSERT_TRUE(
        waitUntil([&] { return capture->uploadMessage() == savedMessage("From home.mov"); }));
    EXPECT_TRUE(readAll(places.filePath("Made here/From home.mov")) == movie);
    openDialog();
    typeName(downloads.filePath("Absolute"));
    pressEnter();
    ASSERT_TRUE(
        waitUntil([&] { return capture->uploadMessage() == savedMessage("Absolute.mov"); }));
    EXPECT_TRUE(readAll(downloads.filePath("Absolute.mov")) == movie);
    qputenv("HOME", home);
}

TEST_F(SaveDialogView, AnExistingFileIsReplacedOnlyOnceConfirmed)
{
    const QString taken = places.filePath("Taken.mov");
    QFile file(taken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("an older movie");
    file.close();

    openDialog();
    typeName(places.path() + "/");
    pressEnter();
    showFolder(places.path());
    // A click on a file takes its name.
    click("saveEntry-Taken.mov");
    EXPECT_EQ(dialog().fileName(), "Taken.mov");
    pressEnter();
    ASSERT_TRUE(item("saveFileReplaceQuestion") != nullptr);
    EXPECT_EQ(dialog().replaceQuestion(), "“Taken.mov” already exists. Do you want to replace it?");
    screenshot("save-dialog-replace");
    click("saveFileKeep");
    ASSERT_TRUE(waitUntil([&] { return dialog().replaceQuestion().isEmpty(); }));
    EXPECT_TRUE(dialogShown());
    EXPECT_EQ(readAll(taken), "an older movie");

    pressEnter();
    ASSERT_TRUE(waitUntil([&] { return !dialog().replaceQuestion().isEmpty(); }));
    click("saveFileReplace");
    ASSERT_TRUE(waitUntil([&] { return capture->uploadMessage() == savedMessage("Taken.mov"); }));
    EXPECT_TRUE(readAll(taken) == movie);
    EXPECT_FALSE(dialogShown());
}

TEST_F(SaveDialogView, AFolderThatCannotBeWrittenShowsWhyAndChangesNothingElse)
{
    const QString locked = places.filePath("Locked");
    ASSERT_TRUE(QDir().mkpath(locked));
    ReadOnlyFolder readOnly(locked);
    if (!readOnly.holds())
        GTEST_SKIP() << "this process can write into any folder";

    openDialog();
    typeName(locked + "/");
    pressEnter();
    showFolder(locked);
    typeName("Cannot be here");
    pressEnter();
    ASSERT_TRUE(waitUntil([&] { return !capture->uploadMessage().isEmpty(); }));
    EXPECT_TRUE(capture->uploadMessage().startsWith("“Cannot be here.mov” could not be saved: "))
        << capture->uploadMessage().toStdString();
    EXPECT_EQ(capture->statusMessage(), "Recording ready to send");
    EXPECT_FALSE(dialogShown());
    EXPECT_TRUE(QDir(locked).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_EQ(capture->outputURL().toLocalFile(), recording);
    EXPECT_TRUE(readAll(recording) == movie);
    EXPECT_EQ(capture->state(), State::Ready);
    screenshot("save-dialog-failed");
}

} // namespace
