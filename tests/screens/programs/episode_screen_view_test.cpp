// The episode screen's QML over fake media: which layer shows in each state, and that the
// view builds without warnings.
#include "EpisodeScreenHarness.h"

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

QStringList qmlWarnings;

void collectWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && message.contains(QLatin1String("screens/programs")))
        qmlWarnings.append(message);
}

class EpisodeScreenView : public EpisodeScreenHarness
{
};

TEST_F(EpisodeScreenView, ShowsEachLayerInItsState)
{
    service.on("GET", "episodes/gone", ScriptedAnswer::error(404, u"Episode gone"_qs));
    service.on("GET", "episodes/e1",
        ScriptedAnswer::envelope(episodeDetailJson(u"e1"_qs, u"http://127.0.0.1:9/v.m3u8"_qs,
            { episodeSummaryJson(5), episodeSummaryJson(6) })));
    service.on("GET", "programs/7", ScriptedAnswer::error(500, u"Down"_qs));
    AppModel &app = signedIn();
    qmlWarnings.clear();
    const auto previous = qInstallMessageHandler(collectWarnings);

    Built gone = buildScreen(app, u"gone"_qs, [this](EpisodePlayerModel &m) { useFakes(m); });
    ASSERT_TRUE(gone.model);
    ASSERT_TRUE(waitUntil([&] { return gone.model->hasError(); }));
    EXPECT_TRUE(shows(gone, "episodeErrorPanel"));
    EXPECT_FALSE(shows(gone, "episodeLoadingPanel"));
    gone.item.reset();

    Built screen = buildScreen(app, u"e1"_qs, [this](EpisodePlayerModel &m) { useFakes(m); });
    EpisodePlayerModel &model = *screen.model;
    ASSERT_TRUE(waitUntil([&] { return media && !media->loads.empty(); }));
    EXPECT_TRUE(shows(screen, "episodeLoadingPanel"));
    EXPECT_FALSE(shows(screen, "episodeChrome"));

    media->setDuration(1800);
    media->setItemStatus(MediaPlayer::ItemStatus::ReadyToPlay);
    spinFor(20ms);
    EXPECT_FALSE(shows(screen, "episodeLoadingPanel"));
    EXPECT_TRUE(shows(screen, "episodeChrome"));
    EXPECT_FALSE(shows(screen, "episodeRepeatMenu"));
    model.toggleRepeatMenu();
    spinFor(200ms);
    EXPECT_TRUE(shows(screen, "episodeRepeatMenu"));
    model.toggleQualityMenu();
    spinFor(200ms);
    EXPECT_FALSE(shows(screen, "episodeRepeatMenu"));
    EXPECT_TRUE(shows(screen, "episodeQualityMenu"));

    model.more();
    spinFor(20ms);
    EXPECT_FALSE(shows(screen, "episodeChrome"));
    EXPECT_FALSE(shows(screen, "episodeTapLayer"));
    EXPECT_TRUE(shows(screen, "relatedPanel"));
    model.closeRelated();

    app.settings()->setAutoplayNext(true);
    media->finishItem();
    spinFor(20ms);
    EXPECT_TRUE(shows(screen, "playingNextCard"));
    EXPECT_FALSE(shows(screen, "episodeChrome"));
    model.stopPlayNext();
    spinFor(20ms);
    EXPECT_FALSE(screen.item->findChild<QQuickItem *>(u"playingNextCard"_qs));
    EXPECT_TRUE(shows(screen, "episodeChrome"));

    qInstallMessageHandler(previous);
    EXPECT_TRUE(qmlWarnings.isEmpty()) << qmlWarnings.join(u'\n').toStdString();
}

} // namespace
} // namespace orvella::test
