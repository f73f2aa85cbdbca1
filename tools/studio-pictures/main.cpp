// Paints the studio's background pictures and the service's logo into the source folder:
//   studio-pictures SOURCE_FOLDER [NAME...]
// writes SOURCE_FOLDER/studio/backgrounds/<name>.jpg|png and
// SOURCE_FOLDER/ui/Orvella-logo-crop.png. Every picture is a pure function of this code, so a run
// reproduces the committed files.

#include "Pictures.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <cstdio>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: studio-pictures SOURCE_FOLDER [NAME...]\n");
        return 2;
    }
    const QDir sources(args.first());
    const QStringList wanted = args.mid(1);
    std::vector<paint::Picture> pictures = paint::brandedPictures();
    for (paint::Picture &picture : paint::placePictures())
        pictures.push_back(std::move(picture));
    int failures = 0;
    for (const paint::Picture &picture : pictures) {
        if (!wanted.isEmpty() && !wanted.contains(picture.name))
            continue;
        QElapsedTimer timer;
        timer.start();
        const QImage image = picture.paint();
        const QDir folder(sources.filePath(picture.folder));
        if (!QDir().mkpath(folder.path())) {
            std::fprintf(stderr, "cannot create %s\n", qPrintable(folder.path()));
            return 1;
        }
        const QString path
            = folder.filePath(picture.name + '.' + QString::fromLatin1(picture.format));
        QImageWriter writer(path, picture.format);
        if (picture.format == "jpg") {
            writer.setQuality(picture.quality);
            writer.setOptimizedWrite(true);
            writer.setProgressiveScanWrite(true);
        } else {
            writer.setQuality(0); // PNG: the strongest (lossless) compression
        }
        if (!writer.write(image)) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
            ++failures;
            continue;
        }
        std::printf("%-22s %4dx%-4d %7lld bytes %6lld ms\n", qPrintable(picture.name),
            image.width(), image.height(), QFileInfo(path).size(), timer.elapsed());
        std::fflush(stdout);
    }
    return failures == 0 ? 0 : 1;
}
