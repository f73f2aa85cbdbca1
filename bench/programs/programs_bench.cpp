// A programme's detail screen with 800 episodes against the same screen with 100, in one run:
// from building the screen to the first frame that shows the whole list, and the resident
// memory once its thumbnails have come in. Each screen opens in a fresh process of this
// program (empty caches, nothing left from the other), against the service double here.
//
//   xvfb-run -a -s "-screen 0 1280x800x24" build/bench/programs/programs_bench
#include "app/AppModel.h"
#include "app/AppServices.h"
#include "app/Application.h"
#include "platform/FakeMediaPlayer.h"
#include "player/PlayerController.h"
#include "screens/programs/ProgramDetailModel.h"
#include "support/ProcessMemory.h"
#include "support/ServiceDouble.h"
#include "support/TestAsync.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QJsonArray>
#include <QProcess>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <cstdio>

using namespace orvella;
using namespace std::chrono_literals;

namespace {

constexpr int perPage = 100;

// The child: opens programme "p<episodes>" and prints the milliseconds to the first frame with
// cards, to the first frame with the whole list, and the resident MB.
int openDetail(int episodes)
{
    std::unique_ptr<AppModel> app
        = AppBuilder()
              .withoutBootstrap()
              .livePlayer(std::make_unique<PlayerController>(std::make_unique<FakeMediaPlayer>()))
              .build();
    AppModel::setInstance(app.get());
    QQuickWindow window;
    window.resize(1280, 800);
    window.show();
    test::spinFor(300ms);
    QQmlEngine engine;
    prepareEngine(engine);

    QElapsedTimer clock;
    double firstMs = -1;
    double shownMs = -1;
    ProgramDetailModel *detail = nullptr;
    QObject::connect(&window, &QQuickWindow::frameSwapped, [&] {
        if (firstMs < 0 && detail && detail->episodes()->count() > 0)
            firstMs = double(clock.nsecsElapsed()) / 1e6;
        if (shownMs < 0 && detail && detail->episodes()->count() == episodes
            && !detail->loadingMore())
            shownMs = double(clock.nsecsElapsed()) / 1e6;
    });
    clock.start();
    QQmlComponent component(
        &engine, QUrl(QStringLiteral("qrc:/Orvella/screens/programs/ProgramDetailScreen.qml")));
    std::unique_ptr<QQuickItem> screen(
        qobject_cast<QQuickItem *>(component.createWithInitialProperties(
            { { QStringLiteral("programId"), QStringLiteral("p%1").arg(episodes) } })));
    if (!screen)
        return 1;
    detail = screen->findChild<ProgramDetailModel *>(QStringLiteral("programDetailModel"));
    screen->setParentItem(window.contentItem());
    screen->setSize(window.size());
    if (!detail || !test::waitUntil([&] { return shownMs >= 0; }, 20s))
        return 1;
    test::spinFor(2s); // the thumbnails in view and the prefetched ones arrive
    std::printf("%.2f %.2f %.1f\n", firstMs, shownMs, test::residentMegabytes());
    screen.reset();
    AppModel::setInstance(nullptr);
    return 0;
}

// The service double with programmes "p100" and "p800": pages of 100 episodes, each episode
// with a picture of its own address.
test::ServiceDouble &service()
{
    static test::ServiceDouble double_;
    static const bool started = [] {
        if (!double_.start())
            return false;
        double_.handle("GET", "programs/*", [](const test::RecordedRequest &request) {
            const int total = request.apiPath().section(u'/', 1, 1).mid(1).toInt();
            const int page = request.queryValue(u"page"_qs).toInt();
            QJsonArray episodes;
            for (int i = (page - 1) * perPage; i < std::min(total, page * perPage); ++i) {
                episodes.append(QJsonObject { { "id", 10000 + i },
                    { "title", QStringLiteral("Walking in the Light, part %1").arg(i + 1) },
                    { "image",
                        double_.mediaUrl(QStringLiteral("images/card-%1.jpg").arg(i % 6 + 1))
                                .toString()
                            + QStringLiteral("?e=%1").arg(i) },
                    { "duration", 1500 + i }, { "program_title", "The Word Today" } });
            }
            const QJsonObject program { { "id", request.apiPath().section(u'/', 1, 1) },
                { "title", "The Word Today" }, { "episode_count", total },
                { "description", "Daily teaching from the scriptures." },
                { "banner", double_.mediaUrl(QStringLiteral("images/poster.jpg")).toString() } };
            return test::ScriptedAnswer::envelope(
                QJsonObject { { "program", program }, { "episodes", episodes } });
        });
        return true;
    }();
    if (!started)
        qFatal("the service double could not start");
    return double_;
}

struct Opened
{
    double firstMs = -1;
    double ms = -1;
    double rssMb = -1;
};

Opened launch(int episodes)
{
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : { "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME" })
        environment.insert(QString::fromLatin1(name), home.filePath(QString::fromLatin1(name)));
    environment.insert(QStringLiteral("ORVELLA_API_BASE"), service().origin().toString());
    environment.insert(QStringLiteral("QSG_RENDER_LOOP"), QStringLiteral("basic"));
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QEventLoop loop;
    QObject::connect(&child, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(60s, &loop, &QEventLoop::quit);
    child.start(QCoreApplication::applicationFilePath(),
        { QStringLiteral("--detail"), QString::number(episodes) });
    loop.exec();
    const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
    if (child.exitCode() != 0 || figures.size() != 3)
        return {};
    return { figures[0].toDouble(), figures[1].toDouble(), figures[2].toDouble() };
}

void BM_DetailWith800AgainstWith100Episodes(benchmark::State &state)
{
    double first100 = 0, first800 = 0, ms100 = 0, ms800 = 0, rss100 = 0, rss800 = 0;
    int runs = 0;
    for (auto _ : state) {
        // Alternating which goes first, so neither gains from what the other warmed.
        Opened small, large;
        if (runs % 2 == 0) {
            small = launch(100);
            large = launch(800);
        } else {
            large = launch(800);
            small = launch(100);
        }
        if (small.ms < 0 || large.ms < 0) {
            state.SkipWithError("a detail screen did not show its episodes");
            return;
        }
        first100 += small.firstMs;
        first800 += large.firstMs;
        ms100 += small.ms;
        ms800 += large.ms;
        rss100 += small.rssMb;
        rss800 += large.rssMb;
        ++runs;
    }
    state.counters["first_cards_ms_100"] = first100 / runs;
    state.counters["first_cards_ms_800"] = first800 / runs;
    state.counters["ms_100"] = ms100 / runs;
    state.counters["ms_800"] = ms800 / runs;
    state.counters["time_ratio"] = ms800 / ms100; // target <= 1.3
    state.counters["rss_mb_100"] = rss100 / runs;
    state.counters["rss_mb_800"] = rss800 / runs;
    state.counters["rss_extra_mb"] = (rss800 - rss100) / runs; // target <= 40
}

BENCHMARK(BM_DetailWith800AgainstWith100Episodes)->Unit(benchmark::kMillisecond)->Iterations(6);

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--detail") == 0) {
        configureApplicationBeforeConstruction();
        QGuiApplication app(argc, argv);
        configureApplication(app);
        return openDetail(QByteArray(argv[2]).toInt());
    }
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    service();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
