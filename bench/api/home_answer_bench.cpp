// A large home answer, 10, 50 and 200 MB of valid JSON in 20 rails, served by the service double
// on a thread of its own, and the GUI thread's longest block while the client takes it:
//   client  OrvellaAPIClient::getHome alone, until the decoded home is in the caller's hands;
//   screen  the app model's home refresh with the home screen shown in a window, until its rails
//           are listed and one more second of frames has been drawn;
//   reload  the same home fetched again once shown, as a forced refresh does.
// Each case runs in a fresh process; the longest block is the longest gap between the ticks of
// a 1 ms timer on the GUI thread. Also printed: the whole time, the rails and cards taken in
// (the decoded home, or the screen's models), and the resident memory before the request and at
// the end (an answer past the client's bound must leave it where it was).
//
//   build/bench/api/home_answer_bench [--runs N] [--sizes 10,50,200]
#include "api/OrvellaAPIClient.h"
#include "app/AppModel.h"
#include "app/AppServices.h"
#include "app/Application.h"
#include "screens/home/HomeScreenModel.h"
#include "support/FreshProcess.h"
#include "support/GuiBlockMeter.h"
#include "support/ProcessMemory.h"
#include "support/ServiceDouble.h"
#include "support/TestAsync.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <map>

using namespace std::chrono_literals;
using orvella::test::ScriptedAnswer;
using orvella::test::ServiceDouble;

namespace {

constexpr int railCount = 20;

// About 130 bytes a card, as the answers of the kind that blocked the window.
QByteArray homeAnswer(qint64 bytes, const QByteArray &origin)
{
    QByteArray body;
    body.reserve(bytes + 4096);
    body += R"({"status":"success","data":{"hero":{"title":"Welcome","subtitle":"Streams"},)";
    body += R"("rails":[)";
    const qint64 perRail = bytes / railCount;
    for (int r = 0; r < railCount; ++r) {
        const QByteArray rail = QByteArray::number(r);
        body += (r ? ",{" : "{") + QByteArray(R"("id":"r)") + rail + R"(","title":"Rail )" + rail
            + R"(","items":[)";
        const qint64 end = body.size() + perRail;
        for (int c = 0; body.size() < end; ++c) {
            const QByteArray id = rail + '-' + QByteArray::number(c);
            body += (c ? ",{" : "{") + QByteArray(R"("id":")") + id + R"(","title":"Episode )"
                + QByteArray::number(c) + R"(","image":")" + origin + "/media/none/" + id
                + R"(.jpg","program_title":"Programme )" + rail + R"(","duration":1800})";
        }
        body += "]}";
    }
    body += "]}}";
    return body;
}

// The double on a thread of its own: writing 50 MB to its socket is not the client's work.
class ServiceThread
{
public:
    ServiceThread()
    {
        m_service = new ServiceDouble;
        m_service->on("GET", "user/continue-watching",
            ScriptedAnswer::envelope(QJsonObject { { "items", QJsonArray {} } }));
        m_service->moveToThread(&m_thread);
        m_thread.start();
        QMetaObject::invokeMethod(
            m_service, [this] { m_started = m_service->start(); }, Qt::BlockingQueuedConnection);
    }
    ~ServiceThread()
    {
        QMetaObject::invokeMethod(
            m_service, [this] { delete m_service; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    [[nodiscard]] bool started() const { return m_started; }
    [[nodiscard]] QUrl origin() const { return m_service->origin(); }
    void serveHome(const QByteArray &body, std::chrono::milliseconds delay)
    {
        QMetaObject::invokeMethod(
            m_service,
            [this, body, delay] {
                m_service->on("GET", "tv/home", ScriptedAnswer::raw(body).withDelay(delay));
            },
            Qt::BlockingQueuedConnection);
    }

private:
    QThread m_thread;
    ServiceDouble *m_service = nullptr;
    bool m_started = false;
};

struct Result
{
    double longestMs = -1, totalMs = -1, rails = 0, cards = 0, rssBeforeMiB = 0, rssMiB = 0;
    bool done = false;
};

Result measureClient(const QString &cache)
{
    orvella::APIClientOptions options;
    options.cacheDirectory = cache;
    options.main = { 60s, 0s };
    orvella::OrvellaAPIClient client(options);
    Result result;
    result.rssBeforeMiB = orvella::test::residentMegabytes();
    QElapsedTimer clock;
    clock.start();
    orvella::test::GuiBlockMeter meter;
    try {
        const orvella::HomeData home = orvella::test::runTask(client.getHome(), 300s);
        result.done = true;
        for (const orvella::HomeRail &rail : home.rails.value_or(QList<orvella::HomeRail>())) {
            ++result.rails;
            result.cards += rail.items.value_or(QList<orvella::RailItem>()).size();
        }
    } catch (const orvella::DescribedError &error) {
        std::fprintf(stderr, "getHome: %s\n", qPrintable(error.description()));
    } catch (const std::exception &error) {
        std::fprintf(stderr, "getHome: %s\n", error.what());
    }
    result.totalMs = double(clock.elapsed());
    result.longestMs = meter.longestMs();
    return result;
}

// The screen loads the home as it is built; the double holds the answer back for two seconds,
// so building the screen is over before the meter starts. With `reload`, what is measured is a
// second fetch of the same home once the first is shown.
Result measureScreen(bool reload)
{
    std::unique_ptr<orvella::AppModel> app = orvella::AppBuilder().withoutBootstrap().build();
    orvella::AppModel::setInstance(app.get());
    QQuickWindow window;
    window.resize(1280, 800);
    window.show();
    QQmlEngine engine;
    orvella::prepareEngine(engine);
    QQmlComponent component(
        &engine, QUrl(QStringLiteral("qrc:/Orvella/screens/home/HomeScreen.qml")));
    std::unique_ptr<QQuickItem> screen(qobject_cast<QQuickItem *>(component.create()));
    if (!screen)
        qFatal("%s", qPrintable(component.errorString()));
    screen->setParentItem(window.contentItem());
    screen->setSize(window.size());
    auto *model = screen->findChild<orvella::HomeScreenModel *>();
    if (!model)
        qFatal("no home screen model");
    orvella::test::spinFor(1s);
    // Until the rails are listed, or the home failed.
    const auto shown = [&] {
        orvella::test::waitUntil(
            [&] {
                window.update();
                return model->rails()->count() > 0 || app->bootstrapError();
            },
            300s);
        return model->rails()->count() > 0;
    };
    if (reload) {
        shown();
        orvella::test::spinFor(1s);
    }

    Result result;
    result.rssBeforeMiB = orvella::test::residentMegabytes();
    QElapsedTimer clock;
    clock.start();
    orvella::test::GuiBlockMeter meter;
    if (reload) {
        try {
            orvella::test::runTask(app->refreshHome(true), 300s);
        } catch (const orvella::test::TaskDeadlineExceeded &) {
            std::fprintf(stderr, "the reload did not end\n");
        }
    }
    result.done = shown();
    result.totalMs = double(clock.elapsed());
    orvella::test::waitUntil(
        [&] {
            window.update();
            return false;
        },
        1s);
    result.longestMs = meter.longestMs();
    result.rails = model->rails()->count();
    for (int r = 0; r < model->rails()->count(); ++r)
        result.cards += model->rails()->itemsAt(r)->count();
    screen.reset();
    orvella::AppModel::setInstance(nullptr);
    return result;
}

int measure(const QString &stage, const QString &origin)
{
    qputenv("ORVELLA_API_BASE", origin.toUtf8());
    QTemporaryDir cache;
    Result result
        = stage == u"client" ? measureClient(cache.path()) : measureScreen(stage == u"reload");
    result.rssMiB = orvella::test::residentMegabytes();
    std::printf("RESULT %d %.1f %.0f %.0f %.0f %.1f %.1f\n", result.done ? 1 : 0, result.longestMs,
        result.totalMs, result.rails, result.cards, result.rssBeforeMiB, result.rssMiB);
    std::fflush(stdout);
    return 0;
}

Result launch(const QString &stage, const QString &origin)
{
    Result result;
    for (const QByteArray &line :
        orvella::test::runFreshProcess({ QStringLiteral("--measure"), stage, origin }, 400s)) {
        const QList<QByteArray> f = line.split(' ');
        if (f.size() == 8 && f[0] == "RESULT") {
            result = { f[2].toDouble(), f[3].toDouble(), f[4].toDouble(), f[5].toDouble(),
                f[6].toDouble(), f[7].toDouble(), f[1] == "1" };
        }
    }
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    // As the client starts, its allocator settings included.
    orvella::configureApplicationBeforeConstruction();
    QGuiApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() == 4 && args[1] == u"--measure")
        return measure(args[2], args[3]);
    int runs = 3;
    QList<int> sizes { 10, 50, 200 };
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == u"--runs")
            runs = std::max(1, args[i + 1].toInt());
        if (args[i] == u"--sizes") {
            sizes.clear();
            for (const QString &size : args[i + 1].split(u','))
                sizes.append(size.toInt());
        }
    }

    ServiceThread service;
    if (!service.started())
        return 1;
    const QString origin = service.origin().toString();
    for (const int megabytes : std::as_const(sizes)) {
        const QByteArray body = homeAnswer(qint64(megabytes) * 1000 * 1000, origin.toUtf8());
        for (const QString &stage :
            { QStringLiteral("client"), QStringLiteral("screen"), QStringLiteral("reload") }) {
            service.serveHome(body, stage == u"client" ? 0s : 2s);
            std::vector<double> longest;
            for (int run = 0; run < runs; ++run) {
                const Result r = launch(stage, origin);
                std::printf("%3d MB %-6s %s longest block %7.1f ms  whole %6.0f ms  %2.0f rails "
                            "%7.0f cards  RSS %6.1f -> %6.1f MiB\n",
                    megabytes, qPrintable(stage), r.done ? "done  " : "failed", r.longestMs,
                    r.totalMs, r.rails, r.cards, r.rssBeforeMiB, r.rssMiB);
                std::fflush(stdout);
                longest.push_back(r.longestMs);
            }
            std::ranges::sort(longest);
            std::printf("%3d MB %-6s median longest block %.1f ms\n", megabytes, qPrintable(stage),
                longest[longest.size() / 2]);
        }
    }
    return 0;
}
