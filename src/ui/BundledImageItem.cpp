#include "ui/BundledImageItem.h"

#include "platform/PlatformLog.h"

#include <QQmlFile>

namespace orvella {

BundledImageItem::BundledImageItem(QQuickItem *parent)
    : PictureItem(QSGTexture::Linear, parent)
{ }

void BundledImageItem::setSource(const QUrl &source)
{
    if (source == m_source)
        return;
    m_source = source;
    // Only pictures compiled into the application or next to it: nothing from the network.
    const QString path = QQmlFile::urlToLocalFileOrQrc(source);
    QImage image = path.isEmpty() ? QImage() : QImage(path);
    if (image.isNull() && !source.isEmpty())
        qCWarning(lcPlatform) << "No bundled picture at" << source;
    // The picture's own size, so a layout can keep its proportions.
    setImplicitSize(image.width(), image.height());
    setPicture(std::move(image));
    emit sourceChanged();
}

} // namespace orvella
