// orvella-service-double: the service double as a standalone process, for tools/run and for
// trying the client by hand.
//   orvella-service-double [--sample] [--port N] [--media-root DIR] [--live-window N] [--quiet]
//                          [--bodies]
// Prints "listening on http://127.0.0.1:PORT" on its first line once it accepts connections.

#include "support/SampleContent.h"
#include "support/ServiceDouble.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The Orvella service double on 127.0.0.1."));
    parser.addHelpOption();
    const QCommandLineOption sample(
        QStringLiteral("sample"), QStringLiteral("Answer with the sample content."));
    const QCommandLineOption port(QStringLiteral("port"),
        QStringLiteral("Port to listen on (0: any free port)."), QStringLiteral("port"),
        QStringLiteral("0"));
    const QCommandLineOption mediaRoot(QStringLiteral("media-root"),
        QStringLiteral("Folder served under /media/."), QStringLiteral("dir"));
    const QCommandLineOption liveWindow(QStringLiteral("live-window"),
        QStringLiteral("Segments in a live playlist window."), QStringLiteral("segments"),
        QStringLiteral("3"));
    const QCommandLineOption quiet(
        QStringLiteral("quiet"), QStringLiteral("Do not print the requests."));
    const QCommandLineOption bodies(QStringLiteral("bodies"),
        QStringLiteral("Print the body of each request that has one (up to 300 bytes)."));
    parser.addOptions({ sample, port, mediaRoot, liveWindow, quiet, bodies });
    parser.process(app);

    orvella::test::ServiceDouble service;
    if (parser.isSet(mediaRoot))
        service.setMediaRoot(parser.value(mediaRoot));
    service.setLiveWindow(parser.value(liveWindow).toInt());
    if (!service.start(quint16(parser.value(port).toUInt()))) {
        std::fprintf(stderr, "orvella-service-double: cannot listen on port %s\n",
            qPrintable(parser.value(port)));
        return 1;
    }
    if (parser.isSet(sample))
        orvella::test::installSampleContent(service);
    if (!parser.isSet(quiet)) {
        const bool withBodies = parser.isSet(bodies);
        QObject::connect(&service, &orvella::test::ServiceDouble::requestReceived,
            [withBodies](const orvella::test::RecordedRequest &request) {
                std::fprintf(
                    stderr, "%s %s\n", request.method.constData(), request.target.constData());
                if (withBodies && !request.body.isEmpty())
                    std::fprintf(stderr, "  %s\n", request.body.left(300).constData());
            });
    }
    std::printf(
        "orvella-service-double: listening on %s\n", qPrintable(service.origin().toString()));
    std::fflush(stdout);
    return app.exec();
}
