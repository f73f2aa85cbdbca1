// The home screen with 20 rails of 30 distinct pictures from the service double, against the
// same screen with every RemoteImage replaced by Qt's own Image (asynchronous, decoded at 200
// pixels, no placeholder; BaselineRemoteImage.qml), measured in the same run. For each: the time
// from building the screen to the first frame in which every card inside the window shows its
// picture, the resident memory once settled (3 s later), the card delegates built, the decoded
// pictures held and the frames drawn until then.
//
//   xvfb-run -a -s "-screen 0 1280x800x24" build/bench/home/home_bench [--runs N]
//
// Every measured run is its own process with empty cache folders; the double runs here.
#include "app/AppModel.h"
#include "app/AppServices.h"
#include "app/Application.h"
#include "screens/home/HomeScreenModel.h"
#include "support/FreshProcess.h"
#include "support/ServiceDouble.h"
#include "support/TestAsync.h"
#include "ui/ImageCache.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QJsonArray>
#include <QPainter>
#include <QQmlAbstractUrlInterceptor>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSettings>
#include <algorithm>
#include <cstdio>
#include <map>

namespace {

// Hands the baseline's picture to every component that asks for RemoteImage.
class BaselinePictures : public QQmlAbstractUrlInterceptor
{
public:
    QUrl intercept(const QUrl &url, DataType type) override
    {
        if (type == QmlFile && url.path().endsWith(u"/RemoteImage.qml"))
            return QUrl::fromLocalFile(QStringLiteral(ORVELLA_BASELINE_IMAGE_QML));
        return url;
    }
};

using namespace std::chrono_literals;
using orvella::test::ServiceDouble;

constexpr int railCount = 20;
constexpr int cardsPerRail = 30;

QString picturePath(int rail, int card)
{
    return QStringLiteral("/media/bench/%1-%2.jpg").arg(rail).arg(card);
}

// A distinct 640x360 JPEG per card.
QByteArray picture(int rail, int card)
{
    QImage image(640, 360, QImage::Format_RGB32);
    image.fill(QColor::fromHsv((rail * 37 + card * 11) % 360, 160, 200));
    QPainter painter(&image);
    painter.setPen(Qt::white);
    painter.setFont(QFont(QStringLiteral("Noto Sans"), 48));
    painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("%1 · %2").arg(rail).arg(card));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 85);
    return bytes;
}

QJsonObject homeData(const QString &origin)
{
    QJsonArray rails;
    for (int r = 0; r < railCount; ++r) {
        QJsonArray items;
        for (int c = 0; c < cardsPerRail; ++c) {
            items.append(QJsonObject { { "id", QStringLiteral("%1-%2").arg(r).arg(c) },
                { "title", QStringLiteral("Episode %1").arg(c + 1) },
                { "program_title", QStringLiteral("Programme %1").arg(r + 1) },
                { "image", origin + picturePath(r, c) } });
        }
        rails.append(QJsonObject { { "id", QString::number(r) },
            { "title", QStringLiteral("Rail %1").arg(r + 1) }, { "items", items } });
    }
    return { { "hero",
                 QJsonObject { { "title", "Welcome" }, { "subtitle", "Healing streams" },
                     { "image", origin + picturePath(0, 0) } } },
        { "rails", rails } };
}

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

void collect(QQuickItem *item, QList<QQuickItem *> &cards)
{
    if (item->objectName() == u"homeCardPicture")
        cards.append(item);
    for (QQuickItem *child : item->childItems())
        collect(child, cards);
}

// One measured showing, in this process: prints
// "RESULT <ms> <rss KiB> <cards> <cache bytes> <frames drawn until done>".
int measure(const QString &mode, const QString &origin, int height)
{
    qputenv("ORVELLA_API_BASE", origin.toUtf8());
    QSettings settings;
    settings.setValue("orvella.session.access_token", "access-1");
    settings.setValue("orvella.session.refresh_token", "refresh-1");
    settings.setValue("access_expires", QDateTime::currentSecsSinceEpoch() + 86400.0);
    settings.sync();
    std::unique_ptr<orvella::AppModel> app = orvella::AppBuilder().withoutBootstrap().build();
    orvella::AppModel::setInstance(app.get());
    app->restoreSession();
    orvella::test::runTask(app->refreshHome(true));
    if (!app->home())
        qFatal("no home page from the double");

    QQuickWindow window;
    window.resize(1280, height);
    window.show();
    QQmlEngine engine;
    BaselinePictures baseline;
    if (mode == u"baseline")
        engine.addUrlInterceptor(&baseline);
    orvella::prepareEngine(engine);
    orvella::test::spinFor(500ms);

    const QUrl url(QStringLiteral("qrc:/Orvella/screens/home/HomeScreen.qml"));
    QElapsedTimer clock;
    clock.start();
    QQmlComponent component(&engine, url);
    std::unique_ptr<QQuickItem> screen(qobject_cast<QQuickItem *>(component.create()));
    if (!screen)
        qFatal("%s", qPrintable(component.errorString()));
    screen->setParentItem(window.contentItem());
    screen->setSize(window.size());

    // Whether every card inside the window has its picture, decided before each frame is
    // synchronised; the frame that follows a yes is the one measured.
    const QRectF shown(0, 0, window.width(), window.height());
    const auto allShown = [&] {
        QList<QQuickItem *> cards;
        collect(screen.get(), cards);
        int inside = 0;
        for (QQuickItem *card : std::as_const(cards)) {
            const QRectF rect = card->mapRectToScene(card->boundingRect());
            if (!card->isVisible() || !rect.intersects(shown))
                continue;
            ++inside;
            if (!card->property("hasImage").toBool())
                return false;
        }
        return inside > 0;
    };
    bool pending = false;
    qint64 doneMs = -1;
    QObject::connect(&window, &QQuickWindow::afterAnimating, [&] { pending = allShown(); });
    int frames = 0;
    QObject::connect(&window, &QQuickWindow::frameSwapped, [&] {
        if (doneMs >= 0)
            return;
        ++frames;
        if (pending)
            doneMs = clock.elapsed();
    });
    orvella::test::waitUntil(
        [&] {
            window.update();
            return doneMs >= 0;
        },
        30s);
    orvella::test::spinFor(3s);
    QList<QQuickItem *> cards;
    collect(screen.get(), cards);
    std::printf("RESULT %lld %ld %lld %lld %d\n", doneMs, residentKiB(), qint64(cards.size()),
        orvella::ImageCache::shared().totalCost() * 4, frames);
    std::fflush(stdout);
    screen.reset();
    orvella::AppModel::setInstance(nullptr);
    return doneMs >= 0 ? 0 : 1;
}

struct Result
{
    double ms = -1, rssMiB = 0, cards = 0, cacheMiB = 0, frames = 0;
};

// Runs one measurement in a fresh process with empty config and cache folders.
Result launch(const QString &mode, const QString &origin, int height)
{
    Result result;
    const QStringList arguments { QStringLiteral("--measure"), mode, origin,
        QString::number(height) };
    for (const QByteArray &line : orvella::test::runFreshProcess(arguments, 60s)) {
        const QList<QByteArray> f = line.split(' ');
        if (f.size() == 6 && f[0] == "RESULT") {
            result = { f[1].toDouble(), f[2].toDouble() / 1024, f[3].toDouble(),
                f[4].toDouble() / 1048576, f[5].toDouble() };
        }
    }
    return result;
}

double median(std::vector<double> values)
{
    std::ranges::sort(values);
    return values.empty() ? -1 : values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() == 5 && args[1] == u"--measure")
        return measure(args[2], args[3], args[4].toInt());
    const int runs = args.size() == 3 && args[1] == u"--runs" ? std::max(1, args[2].toInt()) : 3;

    ServiceDouble service;
    if (!service.start())
        return 1;
    const QString origin = service.origin().toString();
    std::map<QString, QByteArray> pictures;
    for (int r = 0; r < railCount; ++r) {
        for (int c = 0; c < cardsPerRail; ++c)
            pictures[picturePath(r, c)] = picture(r, c);
    }
    service.handle("GET", "/media/bench/*", [&pictures](const orvella::test::RecordedRequest &r) {
        const auto it = pictures.find(r.path);
        return it == pictures.end() ? orvella::test::ScriptedAnswer::empty(404)
                                    : orvella::test::ScriptedAnswer::raw(it->second, "image/jpeg");
    });
    service.on("GET", "tv/home", orvella::test::ScriptedAnswer::envelope(homeData(origin)));
    service.on("GET", "user/continue-watching",
        orvella::test::ScriptedAnswer::envelope(QJsonObject { { "items", QJsonArray {} } }));

    std::map<QString, std::vector<Result>> results;
    // The order alternates, so neither side always runs on a machine warmed by the other.
    for (int run = 0; run < runs; ++run) {
        QStringList order { QStringLiteral("home"), QStringLiteral("baseline") };
        if (run % 2 == 1)
            std::ranges::reverse(order);
        for (const QString &mode : std::as_const(order))
            results[mode].push_back(launch(mode, origin, 800));
    }
    const Result tall = launch(QStringLiteral("home"), origin, 1600);

    std::printf("%d rails x %d distinct 640x360 pictures, window 1280x800, %d runs each\n",
        railCount, cardsPerRail, runs);
    std::map<QString, Result> medians;
    for (auto &[mode, list] : results) {
        std::vector<double> ms, rss, cards, cache, frames;
        for (const Result &r : list) {
            ms.push_back(r.ms);
            rss.push_back(r.rssMiB);
            cards.push_back(r.cards);
            cache.push_back(r.cacheMiB);
            frames.push_back(r.frames);
            std::printf("  %-8s %7.0f ms  %6.1f MiB  %3.0f card delegates  %3.0f frames\n",
                qPrintable(mode), r.ms, r.rssMiB, r.cards, r.frames);
        }
        medians[mode] = { median(ms), median(rss), median(cards), median(cache), median(frames) };
    }
    const Result &ours = medians[QStringLiteral("home")];
    const Result &base = medians[QStringLiteral("baseline")];
    std::printf("median: home %.0f ms, %.1f MiB RSS, %.0f delegates, %.1f MiB decoded pictures, "
                "%.0f frames\n",
        ours.ms, ours.rssMiB, ours.cards, ours.cacheMiB, ours.frames);
    std::printf("median: baseline %.0f ms, %.1f MiB RSS, %.0f delegates, %.0f frames\n", base.ms,
        base.rssMiB, base.cards, base.frames);
    std::printf("ratios home/baseline: time %.2f, memory %.2f\n", ours.ms / base.ms,
        ours.rssMiB / base.rssMiB);
    std::printf(
        "delegates at 1280x1600: %.0f (of %d cards)\n", tall.cards, railCount * cardsPerRail);
    return 0;
}
