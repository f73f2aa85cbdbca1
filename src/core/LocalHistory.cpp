#include "core/LocalHistory.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <algorithm>
#include <cmath>

namespace orvella {

namespace {

const QString episodeIdKey = QStringLiteral("episodeId");
const QString titleKey = QStringLiteral("title");
const QString programTitleKey = QStringLiteral("programTitle");
const QString imageKey = QStringLiteral("image");
const QString positionKey = QStringLiteral("position");
const QString durationKey = QStringLiteral("duration");
const QString updatedAtKey = QStringLiteral("updatedAt");

// A JSON number that is a whole 64-bit integer; 12.5 or 1e300 do not fit an integer field.
std::optional<qint64> wholeNumber(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::trunc(number) != number || number < -9.2e18
        || number > 9.2e18)
        return std::nullopt;
    return static_cast<qint64>(number);
}

// Absent and null are both "no value"; any other non-text value fails the entry.
bool optionalText(const QJsonObject &object, const QString &key, std::optional<QString> &out)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return true;
    if (!value.isString())
        return false;
    out = value.toString();
    return true;
}

std::optional<LocalHistoryEntry> decodeEntry(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    LocalHistoryEntry entry;
    const QJsonValue id = object.value(episodeIdKey);
    if (!id.isString())
        return std::nullopt;
    entry.episodeId = id.toString();
    if (!optionalText(object, titleKey, entry.title)
        || !optionalText(object, programTitleKey, entry.programTitle)
        || !optionalText(object, imageKey, entry.image))
        return std::nullopt;
    const auto position = wholeNumber(object.value(positionKey));
    const auto duration = wholeNumber(object.value(durationKey));
    const auto updatedAt = wholeNumber(object.value(updatedAtKey));
    if (!position || !duration || !updatedAt)
        return std::nullopt;
    entry.position = *position;
    entry.duration = *duration;
    entry.updatedAt = *updatedAt;
    return entry;
}

QJsonObject encodeEntry(const LocalHistoryEntry &entry)
{
    QJsonObject object { { episodeIdKey, entry.episodeId }, { positionKey, entry.position },
        { durationKey, entry.duration }, { updatedAtKey, entry.updatedAt } };
    if (entry.title)
        object.insert(titleKey, *entry.title);
    if (entry.programTitle)
        object.insert(programTitleKey, *entry.programTitle);
    if (entry.image)
        object.insert(imageKey, *entry.image);
    return object;
}

QString settingsName()
{
    return QString::fromLatin1(LocalHistoryStore::settingsKey);
}

} // namespace

namespace LocalHistoryStore {

QByteArray encode(const QList<LocalHistoryEntry> &entries)
{
    QJsonArray array;
    for (const LocalHistoryEntry &entry : entries)
        array.append(encodeEntry(entry));
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

std::optional<QList<LocalHistoryEntry>> decode(const QByteArray &json)
{
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    QList<LocalHistoryEntry> entries;
    const QJsonArray array = document.array();
    entries.reserve(array.size());
    for (const QJsonValue &value : array) {
        auto entry = decodeEntry(value);
        if (!entry)
            return std::nullopt;
        entries.append(std::move(*entry));
    }
    return entries;
}

QList<LocalHistoryEntry> load()
{
    const QSettings settings;
    return load(settings);
}

QList<LocalHistoryEntry> load(const QSettings &settings)
{
    const QVariant stored = settings.value(settingsName());
    if (!stored.isValid())
        return {};
    auto entries = decode(stored.toByteArray());
    if (!entries)
        return {};
    std::stable_sort(entries->begin(), entries->end(),
        [](const LocalHistoryEntry &a, const LocalHistoryEntry &b) {
            return a.updatedAt > b.updatedAt;
        });
    return *entries;
}

void store(const QList<LocalHistoryEntry> &entries)
{
    QSettings settings;
    if (entries.isEmpty())
        settings.remove(settingsName());
    else
        settings.setValue(settingsName(), encode(entries));
}

} // namespace LocalHistoryStore

} // namespace orvella
