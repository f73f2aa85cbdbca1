// Pictures of the episode screen for a person to look at, taken only when
// ORVELLA_SCREENSHOT_DIR names a folder (run under xvfb-run with QT_QPA_PLATFORM=xcb, so the
// picture goes through OpenGL as on a desktop), at 1280 × 800 and 1024 × 640.
#include "EpisodeScreenHarness.h"
#include "support/SampleContent.h"
#include "support/WindowPicture.h"

#include <QDir>

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

class EpisodeScreenshots : public EpisodeScreenHarness
{
protected:
    void SetUp() override
    {
        EpisodeScreenHarness::SetUp();
        folder = qEnvironmentVariable("ORVELLA_SCREENSHOT_DIR");
        if (folder.isEmpty())
            GTEST_SKIP() << "set ORVELLA_SCREENSHOT_DIR to take the pictures";
        QDir().mkpath(folder);
        installSampleContent(service);
    }

    // One picture at each window size.
    void shoot(const Built &screen, const QString &name)
    {
        for (const QSize size : { QSize(1280, 800), QSize(1024, 640) }) {
            window->resize(size);
            screen.item->setSize(size);
            screen.model->chrome()->showControls();
            spinFor(400ms);
            windowPicture(*window).save(QStringLiteral("%1/episode-%2-%3.png")
                                            .arg(folder, name, QString::number(size.width())));
        }
    }

    QString folder;
};

TEST_F(EpisodeScreenshots, PanelsChromeMenusRelatedAndPlayingNext)
{
    AppModel &app = signedIn();
    {
        Built loading
            = buildScreen(app, u"5001"_qs, [this](EpisodePlayerModel &m) { useFakes(m); });
        ASSERT_TRUE(waitUntil([&] { return !loading.model->image().isEmpty(); }));
        shoot(loading, u"loading"_qs);
    }
    {
        // The episode's stream is gone: two reloads, then the error over its picture.
        service.on("GET", "/media/vod/*", ScriptedAnswer::error(404, u"Gone"_qs));
        Built failed = buildScreen(app, u"5003"_qs);
        ASSERT_TRUE(waitUntil([&] { return failed.model->showsErrorPanel(); }, 20s));
        shoot(failed, u"error"_qs);
        service.on("GET", "/media/vod/*", ScriptedAnswer::file());
    }
    app.settings()->setAutoplayNext(true);
    Built screen = buildScreen(app, u"5001"_qs);
    EpisodePlayerModel &model = *screen.model;
    ASSERT_TRUE(waitUntil([&] { return model.ready(); }, 15s));
    spinFor(1s);
    shoot(screen, u"chrome"_qs);
    model.chrome()->toggleRepeatMenu();
    shoot(screen, u"repeat-menu"_qs);
    model.chrome()->toggleQualityMenu();
    shoot(screen, u"quality-menu"_qs);
    model.chrome()->dismissQuality();
    model.chrome()->more();
    shoot(screen, u"related"_qs);
    model.chrome()->closeRelated();
    ASSERT_TRUE(waitUntil([&] { return model.playNext()->showsCard(); }, 20s));
    shoot(screen, u"playing-next"_qs);
}

} // namespace
} // namespace orvella::test
