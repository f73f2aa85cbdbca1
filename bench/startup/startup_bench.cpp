// Start-up and playing cost of the real client against baselines measured in the same run: a
// bare Qt Quick ApplicationWindow as Qt starts it (OpenGL) and on the software scene graph
// (first window frame), and the mpv command-line player on the same live stream (first video
// frame, CPU and resident memory while playing). Every time is taken here, from the launch to
// the moment the process reports the event on its output, so all are measured alike; each
// round launches them in turn, in the opposite order from the round before.
//
//   xvfb-run -a -s "-screen 0 1280x800x24" build/bench/startup/startup_bench
//       [--runs N] [--play-seconds S] [--client PATH]
//
// Cold runs start each process with an empty cache folder (shader caches, fonts); warm runs
// share one folder filled by a first, uncounted launch. The client starts signed in against
// the service double with its sample content.
#include "support/SampleContent.h"
#include "support/ServiceDouble.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <unistd.h>

namespace {

using orvella::test::ServiceDouble;

const QString windowFrame = QStringLiteral("first window frame");
const QString loadIssued = QStringLiteral("live load issued");
const QString videoFrame = QStringLiteral("first video frame drawn");
const QString welcomeLifted = QStringLiteral("welcome lifted");
// The welcome's fade once it lifts.
constexpr double welcomeFadeMs = 350;
// mpv's own words for its first picture on screen (shown with --msg-level=cplayer=v).
const QString mpvVideoFrame = QStringLiteral("first video frame after restart shown");

struct Usage
{
    double cpuPercent = 0;
    double rssMiB = 0;
};

// One launched process: the milliseconds from launch at which each awaited line appeared.
class Launch
{
public:
    Launch(const QString &program, const QStringList &arguments,
        const QProcessEnvironment &environment, QStringList awaited)
        : m_awaited(std::move(awaited))
    {
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        QObject::connect(&m_process, &QProcess::readyRead, [this] { readLines(); });
        m_clock.start();
        m_process.start(program, arguments);
    }
    ~Launch()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

    // Waits until every awaited line appeared, the process ended or the limit passed.
    bool wait(int limitMs)
    {
        QEventLoop loop;
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        QObject::connect(&m_process, &QProcess::finished, &loop, &QEventLoop::quit);
        m_wake = &loop;
        limit.start(limitMs);
        if (!complete() && m_process.state() != QProcess::NotRunning)
            loop.exec();
        m_wake = nullptr;
        if (!complete())
            std::fprintf(stderr, "startup_bench: %s gave only %d of %d marks; its output:\n%s\n",
                qPrintable(m_process.program()), int(m_stamps.size()), int(m_awaited.size()),
                m_output.right(3000).constData());
        return complete();
    }

    [[nodiscard]] std::optional<double> at(const QString &line) const
    {
        const auto found = m_stamps.find(line);
        return found == m_stamps.end() ? std::nullopt : std::optional(found->second);
    }

    // CPU share and mean resident memory over the next `seconds`.
    Usage measure(int seconds)
    {
        const qint64 pid = m_process.processId();
        const auto ticksBefore = cpuTicks(pid);
        QElapsedTimer wall;
        wall.start();
        double rssSum = 0;
        int samples = 0;
        for (int i = 0; i < seconds * 4; ++i) {
            sleepInLoop(250);
            rssSum += rssMiB(pid);
            ++samples;
        }
        const double cpuSeconds
            = double(cpuTicks(pid) - ticksBefore) / double(sysconf(_SC_CLK_TCK));
        return { 100.0 * cpuSeconds / (double(wall.elapsed()) / 1000.0), rssSum / samples };
    }

    static void sleepInLoop(int ms)
    {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }

private:
    [[nodiscard]] bool complete() const { return m_stamps.size() == size_t(m_awaited.size()); }

    void readLines()
    {
        const double now = double(m_clock.nsecsElapsed()) / 1e6;
        const QByteArray chunk = m_process.readAll();
        m_output += chunk;
        for (const QString &line : m_awaited) {
            if (!m_stamps.contains(line) && m_output.contains(line.toUtf8()))
                m_stamps.emplace(line, now);
        }
        if (complete() && m_wake)
            m_wake->quit();
    }

    static qint64 cpuTicks(qint64 pid)
    {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            return 0;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        // utime and stime are fields 14 and 15; the list starts at field 3.
        return fields.size() > 12 ? fields[11].toLongLong() + fields[12].toLongLong() : 0;
    }

    static double rssMiB(qint64 pid)
    {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!status.open(QIODevice::ReadOnly))
            return 0;
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
        }
        return 0;
    }

    QProcess m_process;
    QElapsedTimer m_clock;
    QStringList m_awaited;
    QByteArray m_output;
    std::map<QString, double> m_stamps;
    QEventLoop *m_wake = nullptr;
};

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Figures
{
    std::vector<double> clientWindow, bareWindow, softwareBareWindow, clientVideo, mpvVideo,
        welcome, loadIssued;
};

class Bench
{
public:
    Bench(QString client, QString bare, QString media)
        : m_client(std::move(client))
        , m_bare(std::move(bare))
        , m_stream(std::move(media))
    {
        QSettings settings(
            m_root.filePath(QStringLiteral("config/Orvella/OrvellaTV.conf")), QSettings::IniFormat);
        settings.setValue("orvella.session.access_token", "access-1");
        settings.setValue("orvella.session.refresh_token", "refresh-1");
        settings.setValue("access_expires", QDateTime::currentSecsSinceEpoch() + 86400.0);
        settings.sync();
    }

    QProcessEnvironment environment(const QString &cache) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_root.filePath("config"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), m_root.filePath("data"));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), cache);
        environment.insert(QStringLiteral("QT_LOGGING_RULES"), "orvella.startup.info=true");
        environment.insert(QStringLiteral("ORVELLA_API_BASE"), m_origin);
        return environment;
    }

    QString freshCache()
    {
        const QString path = m_root.filePath(QStringLiteral("cache-%1").arg(++m_caches));
        QDir().mkpath(path);
        return path;
    }

    std::unique_ptr<Launch> client(const QString &cache)
    {
        return std::make_unique<Launch>(m_client, QStringList {}, environment(cache),
            QStringList { windowFrame, loadIssued, videoFrame, welcomeLifted });
    }
    std::unique_ptr<Launch> bare(const QString &cache, bool software)
    {
        QProcessEnvironment environment = this->environment(cache);
        if (software)
            environment.insert(QStringLiteral("QT_QUICK_BACKEND"), QStringLiteral("software"));
        return std::make_unique<Launch>(
            m_bare, QStringList {}, environment, QStringList { windowFrame });
    }
    std::unique_ptr<Launch> mpv(const QString &cache)
    {
        const QStringList arguments { QStringLiteral("--no-config"), QStringLiteral("--vo=x11"),
            QStringLiteral("--ao=pipewire,pulse,alsa"),
            QStringLiteral("--audio-fallback-to-null=yes"), QStringLiteral("--hls-bitrate=max"),
            QStringLiteral("--geometry=1280x720"), QStringLiteral("--msg-level=all=warn,cplayer=v"),
            m_stream };
        return std::make_unique<Launch>(
            QStringLiteral("mpv"), arguments, environment(cache), QStringList { mpvVideoFrame });
    }

    // One launch of each: client, bare windows, mpv, all with the same cache folder kind, in
    // this order or (`reversed`) the opposite one.
    void round(Figures &figures, const QString &clientCache, const QString &bareCache,
        const QString &mpvCache, bool reversed)
    {
        std::vector<std::function<void()>> launches {
            [&] {
                auto launch = client(clientCache);
                if (launch->wait(30000)) {
                    figures.clientWindow.push_back(*launch->at(windowFrame));
                    figures.loadIssued.push_back(*launch->at(loadIssued));
                    figures.clientVideo.push_back(*launch->at(videoFrame));
                    figures.welcome.push_back(
                        *launch->at(welcomeLifted) - *launch->at(windowFrame));
                }
            },
            [&] {
                auto launch = bare(bareCache, false);
                if (launch->wait(20000))
                    figures.bareWindow.push_back(*launch->at(windowFrame));
            },
            [&] {
                auto launch = bare(bareCache, true);
                if (launch->wait(20000))
                    figures.softwareBareWindow.push_back(*launch->at(windowFrame));
            },
            [&] {
                auto launch = mpv(mpvCache);
                if (launch->wait(20000))
                    figures.mpvVideo.push_back(*launch->at(mpvVideoFrame));
            },
        };
        if (reversed)
            std::reverse(launches.begin(), launches.end());
        for (const auto &launch : launches)
            launch();
    }

    void setOrigin(const QString &origin) { m_origin = origin; }

private:
    QTemporaryDir m_root;
    QString m_client, m_bare, m_stream, m_origin;
    int m_caches = 0;
};

// The median, with the range in brackets.
QString spread(const std::vector<double> &values)
{
    if (values.empty())
        return QStringLiteral("-");
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return QStringLiteral("%1 [%2-%3]")
        .arg(median(values), 0, 'f', 0)
        .arg(*low, 0, 'f', 0)
        .arg(*high, 0, 'f', 0);
}

double ratio(double value, double baseline)
{
    return baseline > 0 ? value / baseline : 0;
}

void printStartup(const char *title, const Figures &f)
{
    const double clientWindow = median(f.clientWindow), bareWindow = median(f.bareWindow),
                 softwareBareWindow = median(f.softwareBareWindow);
    const double clientVideo = median(f.clientVideo), mpvVideo = median(f.mpvVideo);
    std::printf("%s (median [range] of %zu, ms from launch)\n", title, f.clientWindow.size());
    std::printf(
        "  first window frame   client %s, bare window %s (software scene graph %s)\n"
        "                       ratio %.2f (target <= 1.2), %.2f against the software one\n",
        qPrintable(spread(f.clientWindow)), qPrintable(spread(f.bareWindow)),
        qPrintable(spread(f.softwareBareWindow)), ratio(clientWindow, bareWindow),
        ratio(clientWindow, softwareBareWindow));
    std::printf("  first video frame    client %s, mpv %s\n"
                "                       ratio %.2f (target <= 1.3)\n",
        qPrintable(spread(f.clientVideo)), qPrintable(spread(f.mpvVideo)),
        ratio(clientVideo, mpvVideo));
    std::printf("  live load issued     client %s\n", qPrintable(spread(f.loadIssued)));
    // The welcome starts to fade when it lifts; the picture is wholly visible once it faded.
    std::printf("  welcome lifted       %s after the first window frame, faded out at %.0f"
                " (target <= 1350), picture %s\n",
        qPrintable(spread(f.welcome)), median(f.welcome) + welcomeFadeMs,
        median(f.clientVideo) < median(f.welcome) + clientWindow ? "drawn before it lifts"
                                                                 : "NOT drawn before it lifts");
}

// The machine's load over the last minute, from /proc/loadavg.
QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    return QString::fromLatin1(file.readAll().split(' ').value(0));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption runs(QStringLiteral("runs"),
        QStringLiteral("Launches of each program, cold and warm."), QStringLiteral("n"),
        QStringLiteral("3"));
    const QCommandLineOption play(QStringLiteral("play-seconds"),
        QStringLiteral("Seconds of live playing measured."), QStringLiteral("s"),
        QStringLiteral("30"));
    const QCommandLineOption clientPath(QStringLiteral("client"),
        QStringLiteral("The client to measure."), QStringLiteral("path"),
        QStringLiteral(ORVELLA_CLIENT_PATH));
    parser.addOptions({ runs, play, clientPath });
    parser.process(app);
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "startup_bench: needs an X display (run it under xvfb-run)\n");
        return 2;
    }

    ServiceDouble service;
    if (!service.start())
        return 1;
    orvella::test::installSampleContent(service);
    Bench bench(parser.value(clientPath), QStringLiteral(ORVELLA_BARE_WINDOW_PATH),
        service.mediaUrl(QStringLiteral("live/master.m3u8")).toString());
    bench.setOrigin(service.origin().toString());

    const int count = std::max(1, parser.value(runs).toInt());
    const QString loadBefore = loadAverage();
    Figures cold, warm;
    for (int i = 0; i < count; ++i)
        bench.round(cold, bench.freshCache(), bench.freshCache(), bench.freshCache(), i % 2);
    const QString clientCache = bench.freshCache(), bareCache = bench.freshCache(),
                  mpvCache = bench.freshCache();
    Figures priming;
    bench.round(priming, clientCache, bareCache, mpvCache, false);
    for (int i = 0; i < count; ++i)
        bench.round(warm, clientCache, bareCache, mpvCache, i % 2);

    printStartup("Cold (empty caches)", cold);
    printStartup("Warm", warm);

    // Playing: each player on its own, from two seconds after its first picture.
    const int seconds = std::max(1, parser.value(play).toInt());
    Usage client, mpv;
    {
        auto launch = bench.client(clientCache);
        if (launch->wait(30000)) {
            Launch::sleepInLoop(2000);
            client = launch->measure(seconds);
        }
    }
    {
        auto launch = bench.mpv(mpvCache);
        if (launch->wait(20000)) {
            Launch::sleepInLoop(2000);
            mpv = launch->measure(seconds);
        }
    }
    std::printf("Playing live 720p for %d s\n", seconds);
    std::printf(
        "  CPU                  client %6.1f %%   mpv %6.1f %%   ratio %.2f  (target <= 2)\n",
        client.cpuPercent, mpv.cpuPercent,
        mpv.cpuPercent > 0 ? client.cpuPercent / mpv.cpuPercent : 0);
    std::printf(
        "  resident memory      client %6.1f MiB mpv %6.1f MiB ratio %.2f  (target <= 1.3)\n",
        client.rssMiB, mpv.rssMiB, mpv.rssMiB > 0 ? client.rssMiB / mpv.rssMiB : 0);
    std::printf("Load average (1 min) %s before, %s after\n", qPrintable(loadBefore),
        qPrintable(loadAverage()));
    return 0;
}
