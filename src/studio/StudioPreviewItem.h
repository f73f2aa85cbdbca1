#pragma once

#include "ui/PictureItem.h"

#include <QImage>
#include <QtQml/qqmlregistration.h>

namespace orvella {

// Shows a processed studio frame cropped to fill the item with its aspect ratio kept, inside
// corners of `cornerRadius` that every scene-graph back end draws alike.
class StudioPreviewItem : public PictureItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QImage image READ image WRITE setImage NOTIFY imageChanged)

public:
    explicit StudioPreviewItem(QQuickItem *parent = nullptr);

    [[nodiscard]] QImage image() const { return picture(); }
    void setImage(const QImage &image);

signals:
    void imageChanged();
};

} // namespace orvella
