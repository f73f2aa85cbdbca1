#include "DeliveryTestSupport.h"
#include "StudioTestRig.h"
#include "platform/FileReveal.h"
#include "studio/BackgroundPickerModel.h"
#include "studio/RecordingDelivery.h"
#include "studio/RecordingTransport.h"
#include "studio/StudioScreenModel.h"
#include "support/FileModes.h"
#include "support/TestAsync.h"
#include "ui/SavePaths.h"

#include <QCoroFuture>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFutureInterface>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using namespace orvella;
using namespace orvella::test;
using State = StudioCaptureController::State;

// A controller on synthetic devices with a finished recording, and delivery services that
// record what they are asked to do. The upload waits at a gate the test opens.
class DeliveryModel : public ::testing::Test
{
protected:
    StudioRig rig;
    QTemporaryDir scratch;
    FakeDeliveryServices fake;
    QFutureInterface<void> gate; // finishing it opens the gate

    StudioCaptureController &capture() { return *rig.controller; }
    QString archiveFolder() const { return scratch.filePath("archive"); }
    delivery::Services services() { return fake.make(archiveFolder()); }

    void SetUp() override { gate.reportStarted(); }
    void TearDown() override
    {
        if (!gate.isFinished())
            gate.reportFinished();
    }
    void gateUploads() { fake.gate = gate.future(); }
    void openGate() { gate.reportFinished(); }

    QString recordingPath() { return capture().outputURL().toLocalFile(); }
};

TEST_F(DeliveryModel, WithoutARecordingEachActionHints)
{
    RecordingDelivery delivery(services());
    delivery.setCapture(&capture());
    const QString status = capture().statusMessage();

    EXPECT_FALSE(delivery.readyCardVisible());
    delivery.openPreview();
    EXPECT_EQ(capture().uploadMessage(), "Record a testimony before previewing.");
    delivery.requestSave();
    EXPECT_EQ(capture().uploadMessage(), "Record a testimony before saving.");
    EXPECT_FALSE(delivery.saveDialog()->isOpened());
    delivery.upload();
    EXPECT_EQ(capture().uploadMessage(), "Record a testimony before uploading.");
    EXPECT_FALSE(capture().isUploading());
    delivery.reveal();
    EXPECT_TRUE(fake.reveal->revealed.isEmpty());
    EXPECT_TRUE(fake.requests.isEmpty());
    EXPECT_EQ(capture().statusMessage(), status);
}

TEST_F(DeliveryModel, ReadyCardSaveAndReveal)
{
    RecordingDelivery delivery(services());
    delivery.setCapture(&capture());
    ASSERT_TRUE(rig.recordShortMovie());
    const QString recording = recordingPath();
    const QByteArray movie = readAll(recording);
    ASSERT_FALSE(movie.isEmpty());

    EXPECT_TRUE(delivery.readyCardVisible());
    EXPECT_EQ(delivery.recordingFileName(), QFileInfo(recording).fileName());
    EXPECT_TRUE(delivery.recordingFileName().startsWith("Orvella Testimony "));
    // Without a desktop dialog the client's own opens on the recording's folder and name.
    delivery.requestSave();
    SaveFileDialogModel &dialog = *delivery.saveDialog();
    ASSERT_TRUE(waitUntil([&] { return dialog.isOpened(); }));
    EXPECT_EQ(dialog.fileName(), QFileInfo(recording).fileName());
    EXPECT_EQ(dialog.title(), "Save Recording");
    ASSERT_TRUE(waitUntil(
        [&] { return dialog.browser()->folder() == QFileInfo(recording).absolutePath(); }));
    // Cancelled, it changes nothing; opened again, it is where it was.
    dialog.browser()->openFolder(scratch.path());
    ASSERT_TRUE(waitUntil([&] { return dialog.browser()->folder() == scratch.path(); }));
    dialog.cancel();
    EXPECT_FALSE(dialog.isOpened());
    EXPECT_TRUE(capture().uploadMessage().isEmpty());
    EXPECT_EQ(runTask(delivery.saveFolder()), scratch.path());
    delivery.requestSave();
    ASSERT_TRUE(waitUntil([&] { return dialog.isOpened(); }));
    EXPECT_EQ(dialog.fileName(), QFileInfo(recording).fileName());
    ASSERT_TRUE(waitUntil([&] { return dialog.browser()->folder() == scratch.path(); }));
    dialog.cancel();

    // An empty choice is a cancelled dialog.
    runTask(delivery.saveRecordingTo(QString()));
    EXPECT_TRUE(capture().uploadMessage().isEmpty());

    const QString copy = scratch.filePath("My testimony.mp4");
    runTask(delivery.saveRecordingTo(copy));
    EXPECT_EQ(readAll(copy), movie);
    EXPECT_EQ(capture().uploadMessage(), "Saved to My testimony.mp4");
    EXPECT_EQ(capture().statusMessage(), "Saved to computer");

    // Saving onto the recording itself keeps it, and says that nothing was saved.
    runTask(delivery.saveRecordingTo(recording));
    EXPECT_EQ(readAll(recording), movie);
    EXPECT_EQ(capture().uploadMessage(), savepaths::isTheOriginalMessage(recording));

    // A failed copy says why and leaves the status alone.
    capture().setStatusMessage("Recording ready to send");
    QFile blocker(scratch.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    runTask(delivery.saveRecordingTo(scratch.filePath("blocker/x.mov")));
    EXPECT_TRUE(capture().uploadMessage().startsWith("“x.mov” could not be saved"));
    EXPECT_EQ(capture().statusMessage(), "Recording ready to send");

    delivery.reveal();
    EXPECT_EQ(fake.reveal->revealed, QStringList { recording });
    EXPECT_EQ(capture().state(), State::Ready);
}

TEST_F(DeliveryModel, TheDesktopsSaveDialogIsAskedFirst)
{
    auto chooser = std::make_shared<FakeSaveFileChooser>();
    delivery::Services withChooser = services();
    withChooser.chooser = chooser;
    RecordingDelivery delivery(withChooser);
    delivery.setCapture(&capture());
    ASSERT_TRUE(rig.recordShortMovie());
    const QString recording = recordingPath();

    // It proposes the recording's name and folder, and the two kinds of movie.
    chooser->answer = { SaveFileAnswer::Outcome::Cancelled, {} };
    delivery.requestSave();
    ASSERT_TRUE(waitUntil([&] { return chooser->questions.size() == 1; }));
    const SaveFileQuestion &asked = chooser->questions[0];
    EXPECT_EQ(asked.proposedName, QFileInfo(recording).fileName());
    EXPECT_EQ(asked.folder, QFileInfo(recording).absolutePath());
    EXPECT_EQ(asked.acceptLabel, "Save");
    ASSERT_EQ(asked.types.size(), 2);
    EXPECT_EQ(asked.types[0].patterns, QStringList { "*.mov" });
    EXPECT_EQ(asked.types[1].patterns, QStringList { "*.mp4" });
    // Cancelled: nothing changes and the client's own dialog stays closed.
    spinFor(std::chrono::milliseconds(20));
    EXPECT_FALSE(delivery.saveDialog()->isOpened());
    EXPECT_TRUE(capture().uploadMessage().isEmpty());

    // Chosen: the copy is written there, and the next question starts in that folder.
    const QString chosen = scratch.filePath("elsewhere/Mine.mov");
    ASSERT_TRUE(QDir().mkpath(scratch.filePath("elsewhere")));
    chooser->answer = { SaveFileAnswer::Outcome::Chosen, chosen };
    delivery.requestSave();
    ASSERT_TRUE(waitUntil([&] { return capture().uploadMessage() == "Saved to Mine.mov"; }));
    EXPECT_EQ(readAll(chosen), readAll(recording));
    chooser->answer = { SaveFileAnswer::Outcome::NotLocal, {} };
    delivery.requestSave();
    ASSERT_TRUE(waitUntil(
        [&] { return capture().uploadMessage() == "Choose a folder on this computer."; }));
    EXPECT_EQ(chooser->questions.last().folder, scratch.filePath("elsewhere"));

    // Without a desktop dialog the client's own opens there.
    chooser->answer = { SaveFileAnswer::Outcome::Unavailable, {} };
    delivery.requestSave();
    EXPECT_TRUE(waitUntil([&] { return delivery.saveDialog()->isOpened(); }));
    EXPECT_TRUE(waitUntil([&] {
        return delivery.saveDialog()->browser()->folder() == scratch.filePath("elsewhere");
    }));
    delivery.saveDialog()->cancel();
}

TEST_F(DeliveryModel, PreviewReplacesThePlayerAndClosingBringsTheCameraBack)
{
    RecordingDelivery delivery(services());
    delivery.setCapture(&capture());
    QList<QUrl> played;
    delivery.setPlayerFactory([&](const QUrl &file) {
        played << file;
        return new QObject;
    });
    ASSERT_TRUE(rig.recordShortMovie());

    delivery.openPreview();
    QPointer<QObject> first = capture().previewPlayer();
    ASSERT_TRUE(first);
    EXPECT_EQ(capture().statusMessage(), "Previewing recording");
    delivery.openPreview();
    EXPECT_NE(capture().previewPlayer(), first.data());
    EXPECT_EQ(played, (QList<QUrl> { capture().outputURL(), capture().outputURL() }));
    EXPECT_TRUE(waitUntil([&] { return first.isNull(); }));

    delivery.closePreview();
    EXPECT_EQ(capture().previewPlayer(), nullptr);
}

TEST_F(DeliveryModel, AnUploadKeepsItsRecordingAndReportsOnIt)
{
    RecordingDelivery delivery(services());
    delivery.setCapture(&capture());
    RecordingTransport transport;
    transport.setCapture(&capture());
    transport.setDelivery(&delivery);
    capture().deliveryState().setUploadArgumentsSource([] {
        return delivery::UploadArguments { "Ann", "ann@example.org", QUrl() };
    });
    ASSERT_TRUE(rig.recordShortMovie());
    const QString recording = recordingPath();
    capture().setUploadMessage("an earlier message");

    gateUploads();
    fake.failure = "internal server error";
    transport.trigger("upload");
    ASSERT_EQ(fake.requests.size(), 1);
    EXPECT_EQ(fake.requests[0].filePath, recording);
    EXPECT_EQ(fake.requests[0].name, "Ann");
    EXPECT_EQ(fake.requests[0].email, "ann@example.org");
    EXPECT_TRUE(capture().isUploading());
    EXPECT_EQ(capture().statusMessage(), "Uploading to Orvella…");
    EXPECT_EQ(capture().uploadMessage(), "an earlier message");

    // Nothing may take the recording away while it is being sent.
    transport.trigger("reset");
    transport.trigger("recordAgain");
    delivery.upload();
    EXPECT_EQ(capture().state(), State::Ready);
    EXPECT_EQ(fake.requests.size(), 1);

    openGate();
    ASSERT_TRUE(waitUntil([&] { return !capture().isUploading(); }));
    EXPECT_EQ(capture().uploadMessage(), "Upload failed: internal server error.");
    EXPECT_EQ(capture().statusMessage(), "Upload failed");
    EXPECT_TRUE(transport.resetEnabled());
    EXPECT_EQ(capture().state(), State::Ready);
}

TEST_F(DeliveryModel, AnUploadFinishesInTheControllerAfterTheScreenHasGone)
{
    ASSERT_TRUE(rig.recordShortMovie());
    gateUploads();
    {
        StudioScreenModel screen;
        screen.delivery()->setServices(services());
        screen.setCapture(&capture());
        bool started = false;
        QObject::connect(
            &capture(), &StudioCaptureController::cameraStartFinished, [&] { started = true; });
        screen.shown();
        ASSERT_TRUE(waitUntil([&] { return started; }));
        screen.delivery()->upload();
        ASSERT_TRUE(capture().isUploading());
    }
    openGate();
    ASSERT_TRUE(waitUntil([&] { return !capture().isUploading(); }));
    EXPECT_EQ(capture().uploadMessage(),
        "Uploaded to the Orvella testimony team. An admin can review it shortly.");
    EXPECT_EQ(capture().statusMessage(), "Upload complete");
}

TEST_F(DeliveryModel, AnArchiveCopyReleasesAWorkingMovieWithoutDownloadsCopyAtQuit)
{
    const ScopedUmask groupReads(027);
    ASSERT_TRUE(rig.downloads.remove());
    RecordingDelivery delivery(services());
    delivery.setCapture(&capture());
    ASSERT_TRUE(rig.recordShortMovie());
    const QString movie = capture().recordingPath();
    ASSERT_EQ(recordingPath(), movie);
    ASSERT_EQ(fileMode(movie), 0600);

    // Kept copies have the mode of any new file, not the working movie's.
    const QString saved = scratch.filePath("Saved.mov");
    runTask(delivery.saveRecordingTo(saved));
    EXPECT_EQ(fileMode(saved), 0640);
    capture().finishBeforeQuit();
    ASSERT_TRUE(QFileInfo::exists(movie));

    fake.failure = "internal server error";
    runTask(delivery.uploadRecording({}));
    const QString archived = QDir(archiveFolder()).filePath(QFileInfo(movie).fileName());
    EXPECT_EQ(readAll(archived), readAll(movie));
    EXPECT_EQ(fileMode(archived), 0640);
    capture().finishBeforeQuit();
    EXPECT_FALSE(QFileInfo::exists(movie));
    EXPECT_TRUE(QFileInfo::exists(archived));
}

TEST(StudioTransportModel, ButtonsDriveTheController)
{
    StudioRig rig;
    RecordingTransport transport;
    transport.setCapture(rig.controller.get());
    ASSERT_TRUE(startCamera(*rig.controller));
    EXPECT_EQ(transport.clockText(), "00:00");
    EXPECT_EQ(transport.currentStateLabel(), "READY");

    transport.trigger("pause"); // not offered while idle
    EXPECT_EQ(rig.controller->state(), State::Idle);
    transport.trigger("start");
    EXPECT_EQ(rig.controller->state(), State::Recording);
    EXPECT_TRUE(transport.isRecording());
    EXPECT_FALSE(transport.resetEnabled());
    transport.trigger("reset");
    EXPECT_EQ(rig.controller->state(), State::Recording);
    transport.trigger("pause");
    EXPECT_EQ(rig.controller->state(), State::Paused);
    EXPECT_FALSE(transport.isRecording());
    EXPECT_EQ(transport.currentStateLabel(), "PAUSED");
    transport.trigger("resume");
    EXPECT_EQ(rig.controller->state(), State::Recording);
    transport.trigger("reset");
    EXPECT_EQ(rig.controller->state(), State::Recording);
    transport.trigger("pause");
    bool restarted = false;
    QObject::connect(rig.controller.get(), &StudioCaptureController::cameraStartFinished,
        &transport, [&] { restarted = true; });
    transport.trigger("reset");
    EXPECT_EQ(rig.controller->state(), State::Idle);
    // Reset starts the camera again; the test ends after that start.
    EXPECT_TRUE(waitUntil([&] { return restarted; }));
}

TEST(StudioPickerModel, HighlightsThePresetInUseAndTheCustomFile)
{
    StudioRig rig;
    BackgroundPickerModel picker;
    picker.setCapture(rig.controller.get());
    ASSERT_EQ(picker.rowCount(), 33);
    auto selectedRows = [&] {
        QList<int> rows;
        for (int row = 0; row < picker.rowCount(); ++row) {
            if (picker.data(picker.index(row), BackgroundPickerModel::SelectedRole).toBool())
                rows << row;
        }
        return rows;
    };
    EXPECT_EQ(selectedRows(), QList<int> { 0 });
    EXPECT_EQ(picker.customButtonText(), "Upload custom image / GIF / video");

    int changes = 0;
    QObject::connect(&picker, &QAbstractItemModel::dataChanged, [&] { ++changes; });
    picker.choose(29); // midnight
    EXPECT_EQ(rig.controller->selectedPreset(), StudioBackgroundPreset::midnight);
    EXPECT_EQ(selectedRows(), QList<int> { 29 });
    EXPECT_GE(changes, 1);
    picker.choose(29); // again: the controller reloads the same background
    EXPECT_EQ(selectedRows(), QList<int> { 29 });
    picker.choose(33);
    picker.choose(-1);
    EXPECT_EQ(selectedRows(), QList<int> { 29 });

    QTemporaryDir dir;
    const QString file = dir.filePath("mountains.png");
    QImage(64, 36, QImage::Format_RGB32).save(file);
    picker.chooseCustomFile(QUrl());
    EXPECT_EQ(picker.customButtonText(), "Upload custom image / GIF / video");
    picker.chooseCustomFile(QUrl::fromLocalFile(file));
    ASSERT_TRUE(waitUntil([&] { return picker.customButtonText() == "mountains.png"; }));
    EXPECT_TRUE(selectedRows().isEmpty());
    picker.choose(1);
    EXPECT_EQ(selectedRows(), QList<int> { 1 });
    EXPECT_EQ(picker.customButtonText(), "Upload custom image / GIF / video");
}

class PickerFolders : public ::testing::Test, protected OwnHome
{
protected:
    void namePictures(const QByteArray &value)
    {
        QFile dirs(config.filePath("user-dirs.dirs"));
        ASSERT_TRUE(dirs.open(QIODevice::WriteOnly | QIODevice::Truncate));
        dirs.write("XDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\nXDG_PICTURES_DIR=\"" + value + "\"\n");
    }
    QUrl inHome(const QString &name = {}) const
    {
        return QUrl::fromLocalFile(name.isEmpty() ? home.path() : home.filePath(name));
    }
};

TEST_F(PickerFolders, TheChooserOpensWherePicturesAreThenWhereTheLastFileWasChosen)
{
    EXPECT_EQ(BackgroundPickerModel::chooserFolder(), inHome()) << "no pictures folder at all";
    ASSERT_TRUE(QDir(home.path()).mkdir("Pictures"));
    EXPECT_EQ(BackgroundPickerModel::chooserFolder(), inHome("Pictures"));
    namePictures("$HOME/");
    EXPECT_EQ(BackgroundPickerModel::chooserFolder(), inHome("Pictures")) << "the desktop's none";
    namePictures("$HOME/Bilder");
    EXPECT_EQ(BackgroundPickerModel::chooserFolder(), inHome("Pictures")) << "named, not there";
    ASSERT_TRUE(QDir(home.path()).mkdir("Bilder"));
    EXPECT_EQ(BackgroundPickerModel::chooserFolder(), inHome("Bilder"));

    StudioRig rig;
    QTemporaryDir elsewhere;
    const QString file = elsewhere.filePath("sky.png");
    QImage(64, 36, QImage::Format_RGB32).save(file);
    {
        BackgroundPickerModel picker;
        picker.setCapture(rig.controller.get());
        int changes = 0;
        QObject::connect(&picker, &BackgroundPickerModel::chooserFolderChanged, [&] { ++changes; });
        picker.chooseCustomFile(QUrl());
        EXPECT_EQ(changes, 0) << "cancelled";
        picker.chooseCustomFile(QUrl::fromLocalFile(file));
        EXPECT_EQ(changes, 1);
    }
    BackgroundPickerModel nextVisit;
    EXPECT_EQ(nextVisit.property("chooserFolder").toUrl(), QUrl::fromLocalFile(elsewhere.path()));
    elsewhere.remove();
    EXPECT_EQ(nextVisit.property("chooserFolder").toUrl(), inHome("Bilder")) << "folder gone";
}

// No Downloads folder in the home: the finished copy is kept in the temporary folder.
class SaveWithoutDownloads : public ::testing::Test, protected OwnHome
{
protected:
    void SetUp() override
    {
        delivery.setCapture(&capture());
        ASSERT_TRUE(rig.recordShortMovie());
        copy = capture().outputURL().toLocalFile();
        ASSERT_EQ(QFileInfo(copy).absolutePath(), rig.temporary.path());
        ASSERT_NE(copy, capture().recordingPath());
        movie = readAll(copy);
        ASSERT_FALSE(movie.isEmpty());
    }

    StudioCaptureController &capture() { return *rig.controller; }

    StudioRig rig { cv::Mat(144, 256, CV_32F, cv::Scalar(1.0)), true, false, true };
    QTemporaryDir scratch;
    FakeDeliveryServices fake;
    RecordingDelivery delivery { fake.make(scratch.filePath("archive")) };
    QString copy;
    QByteArray movie;
};

TEST_F(SaveWithoutDownloads, TheDialogOpensWhereACopyLastsAndItsDefaultsSaveThere)
{
    EXPECT_EQ(runTask(delivery.saveFolder()), home.path());
    ASSERT_TRUE(QDir(home.path()).mkdir("Documents"));
    EXPECT_EQ(runTask(delivery.saveFolder()), home.filePath("Documents"));
    ASSERT_TRUE(QDir(home.path()).mkdir("Videos"));
    const QString videos = home.filePath("Videos");
    EXPECT_EQ(runTask(delivery.saveFolder()), videos);

    delivery.requestSave();
    SaveFileDialogModel &dialog = *delivery.saveDialog();
    ASSERT_TRUE(waitUntil([&] { return dialog.isOpened(); }));
    EXPECT_EQ(dialog.fileName(), QFileInfo(copy).fileName());
    ASSERT_TRUE(waitUntil([&] { return dialog.browser()->folder() == videos; }));
    dialog.accept();
    const QString saved = QDir(videos).filePath(QFileInfo(copy).fileName());
    ASSERT_TRUE(waitUntil([&] { return capture().statusMessage() == "Saved to computer"; }));
    EXPECT_EQ(capture().uploadMessage(), "Saved to " + QFileInfo(copy).fileName());
    EXPECT_EQ(readAll(saved), movie);
    EXPECT_EQ(readAll(copy), movie);
}

TEST_F(SaveWithoutDownloads, TheCopyItselfIsNeverReportedAsSaved)
{
    const QString refusal = savepaths::isTheOriginalMessage(copy);
    EXPECT_EQ(refusal,
        "“" + QFileInfo(copy).fileName()
            + "” is the file being saved: choose another name or folder for the copy.");

    // Named in the client's own dialog, it is refused there before any question to replace it.
    delivery.requestSave();
    SaveFileDialogModel &dialog = *delivery.saveDialog();
    ASSERT_TRUE(waitUntil([&] { return dialog.browser()->folder() == home.path(); }));
    dialog.setFileName(copy);
    dialog.accept();
    ASSERT_TRUE(waitUntil([&] { return !dialog.message().isEmpty(); }));
    EXPECT_EQ(dialog.message(), refusal);
    EXPECT_TRUE(dialog.isOpened());
    EXPECT_TRUE(dialog.replaceQuestion().isEmpty());
    // Browsed to and cancelled there, the next dialog still starts where a copy lasts.
    dialog.browser()->openFolder(rig.temporary.path());
    ASSERT_TRUE(waitUntil([&] { return dialog.browser()->folder() == rig.temporary.path(); }));
    dialog.cancel();
    EXPECT_EQ(runTask(delivery.saveFolder()), home.path());

    // Chosen elsewhere (the desktop's dialog), it is said so and the status stays.
    capture().setStatusMessage("Recording ready to send");
    runTask(delivery.saveRecordingTo(copy));
    EXPECT_EQ(capture().uploadMessage(), refusal);
    EXPECT_EQ(capture().statusMessage(), "Recording ready to send");
    EXPECT_EQ(readAll(copy), movie);
    EXPECT_EQ(capture().outputURL().toLocalFile(), copy);
}

TEST_F(SaveWithoutDownloads, TheWorkingMovieBesideTheCopyIsRefusedLikeIt)
{
    // Deleted at quit once the copy is kept: a copy saved over it would go with it.
    const QString working = capture().recordingPath();
    const QString name = QFileInfo(working).fileName();
    ASSERT_TRUE(name.startsWith("orvella-testimony-"));
    ASSERT_EQ(QFileInfo(working).absolutePath(), QFileInfo(copy).absolutePath());
    const QByteArray workingMovie = readAll(working);
    ASSERT_FALSE(workingMovie.isEmpty());
    const QString link = rig.temporary.filePath("working link.mov");
    ASSERT_TRUE(QFile::link(working, link));
    const QString hard = rig.temporary.filePath("working hard link.mov");
    ASSERT_EQ(
        ::link(QFile::encodeName(working).constData(), QFile::encodeName(hard).constData()), 0);
    const QString spelled = rig.temporary.path() + "/./" + name;
    capture().setStatusMessage("Recording ready to send");

    // Picked in the client's own dialog, it is refused there before any question to replace it.
    delivery.requestSave();
    SaveFileDialogModel &dialog = *delivery.saveDialog();
    ASSERT_TRUE(waitUntil([&] { return dialog.browser()->folder() == home.path(); }));
    dialog.browser()->openFolder(rig.temporary.path());
    ASSERT_TRUE(waitUntil([&] { return dialog.browser()->names().contains(name); }));
    dialog.activateEntry(int(dialog.browser()->names().indexOf(name)));
    ASSERT_TRUE(waitUntil([&] { return !dialog.message().isEmpty(); }));
    EXPECT_EQ(dialog.message(), savepaths::isTheOriginalMessage(working));
    EXPECT_TRUE(dialog.replaceQuestion().isEmpty());
    for (const QString &typed : { link, hard }) {
        dialog.setFileName(typed);
        dialog.accept();
        ASSERT_TRUE(waitUntil([&] { return !dialog.message().isEmpty(); }));
        EXPECT_EQ(dialog.message(), savepaths::isTheOriginalMessage(typed));
        EXPECT_TRUE(dialog.replaceQuestion().isEmpty());
    }
    EXPECT_TRUE(dialog.isOpened());
    dialog.cancel();

    // Answered by the desktop's dialog, in any spelling, it is said so and nothing is saved.
    for (const QString &chosen : { working, link, hard, spelled }) {
        runTask(delivery.saveRecordingTo(chosen));
        EXPECT_EQ(capture().uploadMessage(), savepaths::isTheOriginalMessage(chosen));
    }
    EXPECT_EQ(capture().statusMessage(), "Recording ready to send");
    EXPECT_EQ(readAll(copy), movie);
    EXPECT_EQ(readAll(working), workingMovie);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(capture().outputURL().toLocalFile(), copy);
}

TEST(StudioScreenModelTest, StartsFreshAndFollowsThePreview)
{
    StudioRig rig;
    rig.controller->setMirrorPreview(false);
    auto screen = std::make_unique<StudioScreenModel>();
    EXPECT_EQ(screen->teleprompter(), StudioScreenModel::defaultTeleprompter());
    EXPECT_TRUE(screen->showControlsPanel());
    screen->setCapture(rig.controller.get());
    screen->shown();
    ASSERT_TRUE(waitUntil([&] { return rig.controller->isSessionRunning(); }));
    EXPECT_TRUE(screen->teleprompterVisible());

    screen->toggleControlsPanel();
    EXPECT_FALSE(screen->showControlsPanel());
    screen->setTeleprompter("");
    EXPECT_FALSE(screen->teleprompterVisible());
    screen->setTeleprompter("Line");
    rig.controller->setPreviewPlayer(new QObject);
    EXPECT_TRUE(screen->isPreviewing());
    EXPECT_FALSE(screen->teleprompterVisible());

    // Leaving drops the preview and pauses the camera; the controller keeps its settings.
    screen.reset();
    EXPECT_EQ(rig.controller->previewPlayer(), nullptr);
    EXPECT_TRUE(waitUntil([&] { return !rig.controller->isSessionRunning(); }));
    EXPECT_FALSE(rig.controller->mirrorPreview());

    StudioScreenModel again;
    again.setCapture(rig.controller.get());
    EXPECT_TRUE(again.showControlsPanel());
    EXPECT_EQ(again.teleprompter(), StudioScreenModel::defaultTeleprompter());
}

} // namespace
