#pragma once

#include "ui/PictureItem.h"

#include <QUrl>
#include <QtQml/qqmlregistration.h>

namespace orvella {

// A picture shipped inside the application, stretched over the item; its implicit size is the
// picture's. Unlike Image, its texture does not wait in the shared picture cache until the
// process ends.
class BundledImageItem : public PictureItem
{
    Q_OBJECT
    QML_NAMED_ELEMENT(BundledImage)
    Q_PROPERTY(QUrl source READ source WRITE setSource NOTIFY sourceChanged)

public:
    explicit BundledImageItem(QQuickItem *parent = nullptr);

    [[nodiscard]] QUrl source() const { return m_source; }
    void setSource(const QUrl &source);

signals:
    void sourceChanged();

private:
    QUrl m_source;
};

} // namespace orvella
