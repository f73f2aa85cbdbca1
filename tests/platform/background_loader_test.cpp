#include "platform/BackgroundFileLoader.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace orvella;

namespace {

bool runFfmpeg(const QStringList &arguments)
{
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty())
        return false;
    QProcess process;
    process.start(ffmpeg,
        QStringList { QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y") }
            + arguments);
    return process.waitForFinished(60000) && process.exitCode() == 0;
}

} // namespace

TEST(BackgroundFileLoader, PicturesGifsAndMovies)
{
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("room.png"));
    QImage picture(320, 200, QImage::Format_RGB32);
    picture.fill(QColor(10, 20, 30));
    ASSERT_TRUE(picture.save(png));
    EXPECT_EQ(loadBackgroundPicture(png).size(), QSize(320, 200));

    const QString gif = dir.filePath(QStringLiteral("loop.gif"));
    ASSERT_TRUE(runFfmpeg({ QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
        QStringLiteral("testsrc=size=64x48:rate=5"), QStringLiteral("-frames:v"),
        QStringLiteral("3"), gif }));
    EXPECT_EQ(loadBackgroundPicture(gif).size(), QSize(64, 48));

    const QString plain = dir.filePath(QStringLiteral("plain.mp4"));
    ASSERT_TRUE(runFfmpeg({ QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
        QStringLiteral("testsrc=size=320x240:rate=10"), QStringLiteral("-frames:v"),
        QStringLiteral("5"), QStringLiteral("-c:v"), QStringLiteral("libx264"), plain }));
    EXPECT_EQ(loadBackgroundPicture(plain).size(), QSize(320, 240));

    // A movie recorded on its side shows upright: its first frame, turned as the display matrix
    // says, exactly as the ffmpeg tool turns it.
    const QString turned = dir.filePath(QStringLiteral("turned.mp4"));
    ASSERT_TRUE(
        runFfmpeg({ QStringLiteral("-i"), plain, QStringLiteral("-c"), QStringLiteral("copy"),
            QStringLiteral("-metadata:s:v:0"), QStringLiteral("rotate=90"), turned }));
    const QImage upright = loadBackgroundPicture(turned);
    ASSERT_EQ(upright.size(), QSize(240, 320));
    const QString reference = dir.filePath(QStringLiteral("reference.png"));
    ASSERT_TRUE(runFfmpeg({ QStringLiteral("-i"), turned, QStringLiteral("-frames:v"),
        QStringLiteral("1"), reference }));
    const QImage expected = QImage(reference).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(expected.size(), upright.size());
    qint64 difference = 0;
    for (int y = 0; y < expected.height(); y += 4) {
        for (int x = 0; x < expected.width(); x += 4)
            difference += std::abs(qGray(expected.pixel(x, y)) - qGray(upright.pixel(x, y)));
    }
    EXPECT_LT(difference / ((expected.width() / 4) * (expected.height() / 4)), 12);

    const QString junk = dir.filePath(QStringLiteral("notes.txt"));
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    EXPECT_TRUE(loadBackgroundPicture(junk).isNull());
    EXPECT_TRUE(loadBackgroundPicture(dir.filePath(QStringLiteral("missing.png"))).isNull());
}
