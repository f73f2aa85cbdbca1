#pragma once

#include "ui/PictureItem.h"

#include <QtQml/qqmlregistration.h>

namespace orvella {

// The picture layer of RemoteImage: shows the shared cache's entry for its key on the first
// frame, otherwise fetches and decodes at `targetPixelSize` off the main thread. The picture
// fills the item (cropped, aspect kept) with corners of `cornerRadius` cut into it. A new key
// keeps the old picture until the new one arrives; failures leave the item empty.
class RemoteImageItem : public PictureItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(QString url READ url WRITE setUrl NOTIFY urlChanged)
    Q_PROPERTY(double targetPixelSize READ targetPixelSize WRITE setTargetPixelSize NOTIFY
            targetPixelSizeChanged)
    Q_PROPERTY(bool hasImage READ hasImage NOTIFY hasImageChanged)
    Q_PROPERTY(bool opaque READ isOpaque NOTIFY hasImageChanged)
    Q_PROPERTY(QString cacheKey READ cacheKey NOTIFY cacheKeyChanged)
    Q_PROPERTY(QSize imageSize READ imageSize NOTIFY hasImageChanged)

public:
    explicit RemoteImageItem(QQuickItem *parent = nullptr);
    ~RemoteImageItem() override;

    [[nodiscard]] QString url() const { return m_url; }
    void setUrl(const QString &url);
    [[nodiscard]] double targetPixelSize() const { return m_targetPixelSize; }
    void setTargetPixelSize(double size);
    [[nodiscard]] bool hasImage() const { return !picture().isNull(); }
    // Whether the picture shown covers the whole frame (it has no transparent pixels).
    [[nodiscard]] bool isOpaque() const { return hasImage() && !picture().hasAlphaChannel(); }
    [[nodiscard]] QString cacheKey() const;
    [[nodiscard]] QSize imageSize() const { return picture().size(); }
    [[nodiscard]] QImage image() const { return picture(); }

signals:
    void urlChanged();
    void targetPixelSizeChanged();
    void hasImageChanged();
    void cacheKeyChanged();

protected:
    void componentComplete() override;

private:
    void keyChanged();
    void applyCacheHit();
    void load();
    void cancelLoad();
    void setImage(const QImage &image);

    QString m_url;
    double m_targetPixelSize = 0;
    quint64 m_generation = 0;
    quint64 m_fetchId = 0;
};

} // namespace orvella
