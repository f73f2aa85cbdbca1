#include "studio/StudioPictureCatalog.h"

#include "studio/StudioLog.h"

#include <QFile>
#include <QImageReader>

namespace orvella::studioPictures {

namespace {

const QString folder = QStringLiteral(":/Orvella/studio/backgrounds/");

QImage read(const QString &path, QSize decodeSize)
{
    QImageReader reader(path);
    if (decodeSize.isValid()) {
        const QSize full = reader.size();
        if (full.isValid())
            reader.setScaledSize(full.scaled(decodeSize, Qt::KeepAspectRatioByExpanding));
    }
    QImage image = reader.read();
    if (image.isNull())
        qCWarning(lcStudio) << "Cannot read the studio picture" << path << reader.errorString();
    return image;
}

} // namespace

QString picturePath(const QString &assetName)
{
    if (assetName.isEmpty())
        return {};
    const QString path = folder + assetName + QStringLiteral(".jpg");
    return QFile::exists(path) ? path : QString();
}

QImage loadPicture(const QString &assetName, QSize decodeSize)
{
    const QString path = picturePath(assetName);
    return path.isEmpty() ? QImage() : read(path, decodeSize);
}

QImage loadLogo(const QString &assetName)
{
    if (assetName != QLatin1String("OrvellaLogoTiles")
        && assetName != QLatin1String("OrvellaBrandBG"))
        return {};
    const QString path = folder + QStringLiteral("OrvellaEmblem.png");
    return QFile::exists(path) ? read(path, {}) : QImage();
}

} // namespace orvella::studioPictures
