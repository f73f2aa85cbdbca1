// Two measures of the programme screens, each screen opened in a fresh process of this program
// (empty caches, started as the client starts) against the service double here:
//
// A programme's detail screen with 800 episodes against the same screen with 100, in one run:
// from building the screen to the first frame that shows the whole list, and the resident
// memory once its thumbnails have come in.
//
// Programs over a programmes answer of 60 MiB (about 335,000 programmes; the screen asks for a
// page of 60): the GUI thread's longest block, within 1 ms, while
//   fetch  the screen opens on an empty programmes cache and takes the answer in, and
//   visit  the screen opens again over the cache that answer filled,
// each until its cards are listed and one more second of frames has been drawn; with the
// programmes listed and the resident memory at the end.
//
//   xvfb-run -a -s "-screen 0 1280x800x24" build/bench/programs/programs_bench
//   ... --benchmark_filter=Programs     the 60 MiB answer alone
#include "app/AppModel.h"
#include "app/AppServices.h"
#include "app/Application.h"
#include "platform/FakeMediaPlayer.h"
#include "player/PlayerController.h"
#include "screens/programs/ProgramDetailModel.h"
#include "screens/programs/ProgramsScreenModel.h"
#include "support/GuiBlockMeter.h"
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
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <vector>

using namespace orvella;
using namespace std::chrono_literals;

namespace {

constexpr int perPage = 100;

// A child's app model in a shown window, and one screen of it built in that window.
class ChildWindow
{
public:
    ChildWindow()
        : m_app(
            AppBuilder()
                .withoutBootstrap()
                .livePlayer(std::make_unique<PlayerController>(std::make_unique<FakeMediaPlayer>()))
                .build())
    {
        AppModel::setInstance(m_app.get());
        m_window.resize(1280, 800);
        m_window.show();
        test::spinFor(300ms);
        prepareEngine(m_engine);
    }
    ~ChildWindow()
    {
        m_screen.reset();
        AppModel::setInstance(nullptr);
    }

    [[nodiscard]] AppModel &app() { return *m_app; }
    [[nodiscard]] QQuickWindow &window() { return m_window; }
    // Builds the screen of `qml` (under qrc:/Orvella/screens/programs/) in the window; the
    // model named `modelName` inside it, or none.
    template<class Model>
    Model *open(const QString &qml, const QString &modelName, const QVariantMap &properties = {})
    {
        QQmlComponent component(
            &m_engine, QUrl(QStringLiteral("qrc:/Orvella/screens/programs/") + qml));
        m_screen.reset(
            qobject_cast<QQuickItem *>(component.createWithInitialProperties(properties)));
        if (!m_screen) {
            std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
            return nullptr;
        }
        auto *model = m_screen->findChild<Model *>(modelName);
        m_screen->setParentItem(m_window.contentItem());
        m_screen->setSize(m_window.size());
        return model;
    }

private:
    std::unique_ptr<AppModel> m_app;
    QQuickWindow m_window;
    QQmlEngine m_engine;
    std::unique_ptr<QQuickItem> m_screen;
};

// The child: opens programme "p<episodes>" and prints the milliseconds to the first frame with
// cards, to the first frame with the whole list, and the resident MB.
int openDetail(int episodes)
{
    ChildWindow child;
    QElapsedTimer clock;
    double firstMs = -1;
    double shownMs = -1;
    ProgramDetailModel *detail = nullptr;
    QObject::connect(&child.window(), &QQuickWindow::frameSwapped, [&] {
        if (firstMs < 0 && detail && detail->episodes()->count() > 0)
            firstMs = double(clock.nsecsElapsed()) / 1e6;
        if (shownMs < 0 && detail && detail->episodes()->count() == episodes
            && !detail->loadingMore())
            shownMs = double(clock.nsecsElapsed()) / 1e6;
    });
    clock.start();
    detail = child.open<ProgramDetailModel>(u"ProgramDetailScreen.qml"_qs, u"programDetailModel"_qs,
        { { QStringLiteral("programId"), QStringLiteral("p%1").arg(episodes) } });
    if (!detail || !test::waitUntil([&] { return shownMs >= 0; }, 20s))
        return 1;
    test::spinFor(2s); // the thumbnails in view and the prefetched ones arrive
    std::printf("%.2f %.2f %.1f\n", firstMs, shownMs, test::residentMegabytes());
    return 0;
}

// The child: opens Programs, on an empty programmes cache (`visit` false) or over the cache
// the answer filled first, and prints the GUI thread's longest block in ms from building the
// screen to one second after its cards are listed, the programmes listed and the resident MB.
int openPrograms(bool visit)
{
    ChildWindow child;
    if (visit) {
        test::runTask(child.app().refreshProgramsCache(true), 120s);
        if (child.app().programsCache().isEmpty())
            return 1;
        test::spinFor(1s);
    }
    test::GuiBlockMeter meter;
    auto *screen
        = child.open<ProgramsScreenModel>(u"ProgramsScreen.qml"_qs, u"programsScreenModel"_qs);
    if (!screen
        || !test::waitUntil(
            [&] {
                child.window().update();
                return !screen->programs().isEmpty();
            },
            120s))
        return 1;
    test::waitUntil(
        [&] {
            child.window().update();
            return false;
        },
        1s);
    std::printf("%.1f %lld %.1f\n", meter.longestMs(), qint64(screen->programs().size()),
        test::residentMegabytes());
    return 0;
}

// A programmes answer of `bytes` (about 188 bytes a programme), pictures at addresses that
// give nothing.
QByteArray programsAnswer(qint64 bytes, const QByteArray &origin)
{
    QByteArray body;
    body.reserve(bytes + 1024);
    body += R"({"status":"success","data":{"programs":[)";
    for (int i = 1; body.size() < bytes; ++i) {
        const QByteArray n = QByteArray::number(i);
        body += (i > 1 ? ",{" : "{") + QByteArray(R"("id":)") + n + R"(,"title":"Programme )" + n
            + R"(","description":"Teachings and broadcasts","image":")" + origin + "/media/none/p"
            + n + R"(.jpg","episode_count":12,"is_documentary":false})";
    }
    body += "]}}";
    return body;
}

// The service double with programmes "p100" and "p800": pages of 100 episodes, each episode
// with a picture of its own address; and a programmes answer of 60 MiB.
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
        double_.on("GET", "programs",
            test::ScriptedAnswer::raw(
                programsAnswer(60LL * 1024 * 1024, double_.origin().toString().toUtf8())));
        return true;
    }();
    if (!started)
        qFatal("the service double could not start");
    return double_;
}

// The figures a child printed on one line, or none when it failed.
QList<double> childFigures(const QStringList &arguments, qsizetype count)
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
    QTimer::singleShot(180s, &loop, &QEventLoop::quit);
    child.start(QCoreApplication::applicationFilePath(), arguments);
    loop.exec();
    if (child.state() != QProcess::NotRunning) {
        child.kill();
        child.waitForFinished();
    }
    const QList<QByteArray> printed = child.readAllStandardOutput().trimmed().split(' ');
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0
        || printed.size() != count)
        return {};
    QList<double> figures;
    for (const QByteArray &figure : printed)
        figures.append(figure.toDouble());
    return figures;
}

struct Opened
{
    double firstMs = -1;
    double ms = -1;
    double rssMb = -1;
};

Opened launch(int episodes)
{
    const QList<double> f
        = childFigures({ QStringLiteral("--detail"), QString::number(episodes) }, 3);
    if (f.isEmpty())
        return {};
    return { f[0], f[1], f[2] };
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

void BM_ProgramsWithA60MiBAnswer(benchmark::State &state)
{
    std::map<QString, std::vector<double>> longest;
    double listed = 0;
    double rss = 0;
    int runs = 0;
    for (auto _ : state) {
        for (const QString &stage : { u"fetch"_qs, u"visit"_qs }) {
            const QList<double> f = childFigures({ QStringLiteral("--programs"), stage }, 3);
            if (f.isEmpty()) {
                state.SkipWithError("Programs did not list its programmes");
                return;
            }
            std::fprintf(stderr, "%s: longest block %.1f ms, %.0f programmes, RSS %.1f MiB\n",
                qPrintable(stage), f[0], f[1], f[2]);
            longest[stage].push_back(f[0]);
            listed = f[1];
            rss = std::max(rss, f[2]);
        }
        ++runs;
    }
    for (auto &[stage, blocks] : longest) {
        std::ranges::sort(blocks);
        state.counters[("longest_block_ms_" + stage).toStdString()] = blocks[blocks.size() / 2];
    }
    state.counters["programs_listed"] = listed;
    state.counters["rss_mb_most"] = rss;
}

BENCHMARK(BM_ProgramsWithA60MiBAnswer)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--detail") == 0) {
        configureApplicationBeforeConstruction();
        QGuiApplication app(argc, argv);
        configureApplication(app);
        return openDetail(QByteArray(argv[2]).toInt());
    }
    if (argc == 3 && qstrcmp(argv[1], "--programs") == 0) {
        configureApplicationBeforeConstruction();
        QGuiApplication app(argc, argv);
        configureApplication(app);
        return openPrograms(qstrcmp(argv[2], "visit") == 0);
    }
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    service();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
