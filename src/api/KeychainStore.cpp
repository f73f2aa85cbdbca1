#include "api/KeychainStore.h"

#include "api/ApiLog.h"
#include "api/HeaderText.h"

#include <QSettings>
#include <QUuid>

namespace orvella {

namespace {

std::optional<QString> textValue(const QVariant &value)
{
    // Settings files keep no types: text may come back as a string or as bytes.
    if (value.typeId() == QMetaType::QString)
        return value.toString();
    if (value.typeId() == QMetaType::QByteArray)
        return QString::fromUtf8(value.toByteArray());
    return std::nullopt;
}

} // namespace

namespace KeychainStore {

std::optional<QString> get(const QString &key)
{
    const auto value = textValue(QSettings().value(QLatin1StringView(sessionPrefix) + key));
    // Stored values go into request headers: one with control characters counts as absent.
    if (value && !isHeaderSafe(*value)) {
        qCWarning(lcApi) << "Stored" << key << "holds control characters; ignored";
        return std::nullopt;
    }
    return value;
}

void set(const QString &key, const QString &value)
{
    QSettings settings;
    settings.setValue(QLatin1StringView(sessionPrefix) + key, value);
}

void remove(const QString &key)
{
    QSettings settings;
    settings.remove(QLatin1StringView(sessionPrefix) + key);
    settings.remove(QLatin1StringView(legacyPrefix) + key);
}

} // namespace KeychainStore

QString storedDeviceId()
{
    const QString key = QStringLiteral("orvella.deviceId");
    QSettings settings;
    if (const auto stored = textValue(settings.value(key)); stored && !stored->isEmpty()) {
        if (isHeaderSafe(*stored))
            return *stored;
        qCWarning(lcApi) << "Stored device id holds control characters; a new one replaces it";
    }
    const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces).toLower();
    settings.setValue(key, id);
    return id;
}

} // namespace orvella
