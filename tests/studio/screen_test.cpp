#include "StudioTestRig.h"
#include "app/Application.h"
#include "player/PlayerController.h"
#include "studio/StudioCaptureController.h"
#include "studio/StudioScreenModel.h"
#include "support/RawHttpServer.h"
#include "support/TestAsync.h"
#include "support/WindowPicture.h"

#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

namespace {

using namespace orvella;
using namespace orvella::test;
using State = StudioCaptureController::State;

// A person in the middle of the picture, so the virtual background shows around it.
cv::Mat personMask()
{
    cv::Mat mask(144, 256, CV_32F, cv::Scalar(0.0));
    cv::ellipse(
        mask, cv::Point(128, 100), cv::Size(40, 70), 0, 0, 360, cv::Scalar(1.0), cv::FILLED);
    return mask;
}

struct ScreenHost
{
    std::unique_ptr<QQuickView> window = std::make_unique<QQuickView>();
    QQuickView &view = *window;

    explicit ScreenHost(StudioCaptureController &capture)
    {
        prepareEngine(*view.engine());
        view.setInitialProperties({ { "capture", QVariant::fromValue(&capture) } });
        view.setResizeMode(QQuickView::SizeRootObjectToView);
        view.resize(1280, 800);
        view.setSource(QUrl("qrc:/Orvella/studio/TestimonyRecordingScreen.qml"));
        view.show();
    }

    // The scene graph hands its last textures to deferred deletion: let it run before the
    // process ends.
    ~ScreenHost()
    {
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    [[nodiscard]] QStringList errors() const
    {
        QStringList list;
        for (const QQmlError &error : view.errors())
            list << error.toString();
        return list;
    }

    // Saved only when ORVELLA_SCREENSHOT_DIR names a folder: for looking, not for asserting.
    void screenshot(const QString &name)
    {
        const QString folder = qEnvironmentVariable("ORVELLA_SCREENSHOT_DIR");
        if (folder.isEmpty())
            return;
        spinFor(std::chrono::milliseconds(250));
        windowPicture(view).save(folder + "/" + name + ".png");
    }
};

TEST(StudioScreen, ShowsEveryRecordingStateWithoutQmlErrors)
{
    StudioRig rig(personMask());
    auto &capture = *rig.controller;
    ScreenHost host(capture);
    ASSERT_TRUE(host.errors().isEmpty()) << host.errors().join('\n').toStdString();
    ASSERT_NE(host.view.rootObject(), nullptr);
    // The screen starts the camera itself.
    ASSERT_TRUE(waitUntil([&] { return capture.isSessionRunning(); }));
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(rig.pushFrameAndWait(testPicture()));
    ASSERT_TRUE(waitUntil([&] { return capture.hasPreviewImage(); }));
    host.screenshot("studio-idle");

    auto *studio = host.view.rootObject()->findChild<StudioScreenModel *>("studioModel");
    ASSERT_NE(studio, nullptr);

    // The teleprompter shows at most four lines and goes when emptied.
    auto *teleprompter = host.view.rootObject()->findChild<QQuickItem *>("teleprompter");
    ASSERT_NE(teleprompter, nullptr);
    // Its shadow is drawn without a shader, so on every scene graph, and follows the text.
    auto *shadow = teleprompter->findChild<QQuickItem *>("teleprompterShadow");
    ASSERT_NE(shadow, nullptr);
    EXPECT_TRUE(shadow->isVisible());
    studio->setTeleprompter(QString("A long testimony line that keeps going. ").repeated(40));
    EXPECT_LE(teleprompter->property("lineCount").toInt(), 4);
    EXPECT_TRUE(teleprompter->property("truncated").toBool());
    EXPECT_EQ(shadow->property("text"), teleprompter->property("text"));
    EXPECT_EQ(shadow->property("maximumLineCount").toInt(), 4);
    studio->setTeleprompter("");
    EXPECT_FALSE(teleprompter->isVisible());
    studio->setTeleprompter(StudioScreenModel::defaultTeleprompter());

    // Hiding the controls panel gives the stage the whole width.
    auto *stage = host.view.rootObject()->findChild<QQuickItem *>("stage");
    ASSERT_NE(stage, nullptr);
    const qreal narrow = stage->width();
    studio->toggleControlsPanel();
    ASSERT_TRUE(waitUntil([&] { return stage->width() > narrow + 150; }));
    host.screenshot("studio-idle-without-panel");
    studio->toggleControlsPanel();
    ASSERT_TRUE(waitUntil([&] { return stage->width() == narrow; }));

    capture.startRecording();
    for (int i = 0; i < 6; ++i) {
        rig.pushAudioForFrame();
        ASSERT_TRUE(rig.pushFrameAndWait(testPicture()));
    }
    host.screenshot("studio-recording");
    capture.pauseRecording();
    host.screenshot("studio-paused");
    capture.stopRecording();
    ASSERT_TRUE(waitUntil([&] { return capture.state() == State::Ready; }));
    // The messages carry file names and what the service said: markup in them is shown as it
    // is written, and a picture it names is not fetched.
    RawHttpServer pictures;
    ASSERT_TRUE(pictures.start());
    const QString markup
        = QStringLiteral("<b>Refused</b> <img src=\"%1/p.png\">").arg(pictures.origin().toString());
    capture.setUploadMessage(markup);
    capture.setStatusMessage(markup);
    spinFor(std::chrono::milliseconds(300));
    EXPECT_EQ(pictures.connectionCount(), 0);
    capture.setUploadMessage("Saved to My testimony.mov");
    host.screenshot("studio-ready");

    // While an upload runs, both upload buttons spin and refuse clicks.
    const auto uploadButtons = [&] {
        QList<QQuickItem *> shown;
        // Loaders parent their items visually only: walk the item tree.
        std::function<void(QQuickItem *)> walk = [&](QQuickItem *item) {
            if (item->objectName() == "uploadButton" && item->isVisible())
                shown << item;
            for (QQuickItem *child : item->childItems())
                walk(child);
        };
        walk(host.view.rootObject());
        return shown;
    };
    ASSERT_EQ(uploadButtons().size(), 2);
    capture.setIsUploading(true);
    for (QQuickItem *button : uploadButtons()) {
        EXPECT_FALSE(button->isEnabled());
        EXPECT_TRUE(button->property("busy").toBool());
    }
    capture.setIsUploading(false);
    for (QQuickItem *button : uploadButtons())
        EXPECT_TRUE(button->isEnabled());

    // Without a desktop save dialog the client's own opens over the screen with the recording's
    // name; cancelled, it goes.
    studio->delivery()->setServices({});
    studio->delivery()->requestSave();
    auto *saveDialog = host.view.rootObject()->findChild<QObject *>("saveFileDialog");
    ASSERT_TRUE(waitUntil([&] {
        saveDialog = host.view.rootObject()->findChild<QObject *>("saveFileDialog");
        return saveDialog && saveDialog->property("opened").toBool();
    }));
    EXPECT_EQ(studio->delivery()->saveDialog()->fileName(), capture.outputURL().fileName());
    host.screenshot("studio-save-dialog");
    studio->delivery()->saveDialog()->cancel();
    EXPECT_TRUE(waitUntil([&] { return !saveDialog->property("opened").toBool(); }));

    // The recording plays in the stage in place of the camera and the teleprompter.
    studio->delivery()->openPreview();
    ASSERT_TRUE(studio->isPreviewing());
    EXPECT_EQ(capture.statusMessage(), "Previewing recording");
    EXPECT_TRUE(waitUntil([&] {
        auto *player = qobject_cast<PlayerController *>(capture.previewPlayer());
        return player && player->duration() > 0;
    }));
    host.screenshot("studio-preview");
    studio->delivery()->closePreview();
    EXPECT_FALSE(studio->isPreviewing());

    EXPECT_TRUE(host.errors().isEmpty());
}

TEST(StudioScreen, ShowsEachBackgroundFamily)
{
    StudioRig rig(personMask());
    auto &capture = *rig.controller;
    ScreenHost host(capture);
    ASSERT_TRUE(waitUntil([&] { return capture.isSessionRunning(); }));
    for (const char *preset :
        { "softBlur", "sunrise", "jerusalem", "goldenRays", "orvellaBroadcastSet" }) {
        capture.selectPreset(QString::fromLatin1(preset));
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(rig.pushFrameAndWait(testPicture()));
        host.screenshot(QStringLiteral("studio-background-%1").arg(preset));
    }
    EXPECT_TRUE(host.errors().isEmpty());
}

} // namespace
