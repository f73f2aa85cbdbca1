#pragma once

#include "ui/PictureItem.h"

#include <QFutureWatcher>
#include <QImage>
#include <QUrl>
#include <QtQml/qqmlregistration.h>
#include <memory>

namespace orvella {

// A swatch's picture: decoded on the picture decoders' threads at the size it is shown at,
// cropped to fill the item with its aspect ratio kept. Its texture belongs to the item's node,
// so it goes with the window (a QML Image's would wait in the shared cache).
class SwatchPictureItem : public PictureItem
{
    Q_OBJECT
    QML_NAMED_ELEMENT(SwatchPicture)
    Q_PROPERTY(QUrl source READ source WRITE setSource NOTIFY sourceChanged)
    Q_PROPERTY(bool ready READ ready NOTIFY readyChanged)

public:
    explicit SwatchPictureItem(QQuickItem *parent = nullptr);
    ~SwatchPictureItem() override;

    [[nodiscard]] QUrl source() const { return m_source; }
    void setSource(const QUrl &source);
    // True once the picture for the current source and size is shown.
    [[nodiscard]] bool ready() const { return m_ready; }
    [[nodiscard]] QSize pictureSize() const { return picture().size(); }

    // The picture at the file, scaled while decoding and cropped to fill the size.
    [[nodiscard]] static QImage decodeFilling(const QString &path, QSize size);

signals:
    void sourceChanged();
    void readyChanged();

protected:
    void geometryChange(const QRectF &newGeometry, const QRectF &oldGeometry) override;
    void itemChange(ItemChange change, const ItemChangeData &value) override;

private:
    void decode();
    void setReady(bool ready);

    QUrl m_source;
    QSize m_requested; // the pixel size last asked for
    std::unique_ptr<QFutureWatcher<QImage>> m_watcher;
    bool m_ready = false;
};

} // namespace orvella
