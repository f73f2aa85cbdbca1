#include "studio/StudioPreviewItem.h"

namespace orvella {

StudioPreviewItem::StudioPreviewItem(QQuickItem *parent)
    : PictureItem(QSGTexture::Linear, Fit::Crop, parent)
{
    setPictureChangesOften(true);
}

void StudioPreviewItem::setImage(const QImage &image)
{
    if (image.isNull() && picture().isNull())
        return;
    setPicture(image);
    emit imageChanged();
}

} // namespace orvella
