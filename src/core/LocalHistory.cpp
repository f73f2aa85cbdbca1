#include "core/LocalHistory.h"

#include "api/JsonBodyWriter.h"
#include "api/JsonDecoding.h"
#include "api/OrvellaAPIClient.h"
#include "core/SessionLog.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QSet>
#include <QSettings>
#include <algorithm>

namespace orvella {

namespace {

const QString episodeIdKey = QStringLiteral("episodeId");
const QString titleKey = QStringLiteral("title");
const QString programTitleKey = QStringLiteral("programTitle");
const QString imageKey = QStringLiteral("image");
const QString positionKey = QStringLiteral("position");
const QString durationKey = QStringLiteral("duration");
const QString updatedAtKey = QStringLiteral("updatedAt");

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
    const auto position = jsonWholeNumber(object.value(positionKey));
    const auto duration = jsonWholeNumber(object.value(durationKey));
    const auto updatedAt = jsonWholeNumber(object.value(updatedAtKey));
    if (!position || !duration || !updatedAt)
        return std::nullopt;
    entry.position = *position;
    entry.duration = *duration;
    entry.updatedAt = *updatedAt;
    return entry;
}

// Keys in the order the stored form has always used (a plain JSON object would sort them).
QByteArray encodeEntry(const LocalHistoryEntry &entry)
{
    JsonBodyWriter writer;
    writer.add("episodeId", entry.episodeId);
    if (entry.title)
        writer.add("title", *entry.title);
    if (entry.programTitle)
        writer.add("programTitle", *entry.programTitle);
    if (entry.image)
        writer.add("image", *entry.image);
    writer.add("position", entry.position)
        .add("duration", entry.duration)
        .add("updatedAt", entry.updatedAt);
    return writer.finish();
}

QString settingsName()
{
    return QString::fromLatin1(LocalHistoryStore::settingsKey);
}

} // namespace

ContinueWatchingItem continueWatchingItem(const LocalHistoryEntry &entry)
{
    ContinueWatchingItem item;
    item.episode_id = entry.episodeId;
    item.title = entry.title;
    item.program_title = entry.programTitle;
    item.image = entry.image;
    item.duration = entry.duration;
    item.position = entry.position;
    item.updated_at = entry.updatedAt;
    item.progress_pct
        = entry.duration >= 1 ? double(entry.position) / double(entry.duration) * 100.0 : 0.0;
    return item;
}

QList<LocalHistoryEntry> StoredEntries::load() const
{
    const QSettings settings;
    return load(settings);
}

QList<LocalHistoryEntry> StoredEntries::load(const QSettings &settings) const
{
    const QVariant stored = settings.value(m_key);
    if (!stored.isValid())
        return {};
    auto entries = LocalHistoryStore::decode(stored.toByteArray());
    if (!entries)
        return {};
    std::stable_sort(entries->begin(), entries->end(),
        [](const LocalHistoryEntry &a, const LocalHistoryEntry &b) {
            return a.updatedAt > b.updatedAt;
        });
    return *entries;
}

void StoredEntries::store(const QList<LocalHistoryEntry> &entries) const
{
    QSettings settings;
    if (entries.isEmpty())
        settings.remove(m_key);
    else
        settings.setValue(m_key, LocalHistoryStore::encode(entries));
}

void StoredEntries::record(const LocalHistoryEntry &entry, qsizetype limit) const
{
    QList<LocalHistoryEntry> entries = load();
    entries.removeIf([&](const LocalHistoryEntry &e) { return e.episodeId == entry.episodeId; });
    entries.prepend(entry);
    if (entries.size() > limit)
        entries.resize(limit);
    store(entries);
}

void StoredEntries::forget(const QString &episodeId) const
{
    QList<LocalHistoryEntry> entries = load();
    if (entries.removeIf([&](const LocalHistoryEntry &e) { return e.episodeId == episodeId; }) > 0)
        store(entries);
}

void StoredEntries::clear() const
{
    QSettings().remove(m_key);
}

namespace LocalHistoryStore {

QByteArray encode(const QList<LocalHistoryEntry> &entries)
{
    QByteArray json("[");
    for (const LocalHistoryEntry &entry : entries) {
        if (json.size() > 1)
            json.append(',');
        json.append(encodeEntry(entry));
    }
    json.append(']');
    return json;
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
    return StoredEntries(settingsKey).load();
}

QList<LocalHistoryEntry> load(const QSettings &settings)
{
    return StoredEntries(settingsKey).load(settings);
}

void store(const QList<LocalHistoryEntry> &entries)
{
    StoredEntries(settingsKey).store(entries);
}

void record(const LocalHistoryEntry &entry)
{
    StoredEntries(settingsKey).record(entry, maxEntries);
}

QCoro::Task<> migrateToServer(OrvellaAPIClient &client)
{
    QPointer<OrvellaAPIClient> guard(&client);
    const QList<LocalHistoryEntry> newest = load().mid(0, 20);
    if (newest.isEmpty()) {
        QSettings().remove(settingsName());
        co_return;
    }
    QSet<QString> offered;
    QSet<QString> uploaded;
    for (const LocalHistoryEntry &entry : newest) {
        if (offered.contains(entry.episodeId))
            continue;
        offered.insert(entry.episodeId);
        bool posted = false;
        try {
            co_await guard->postHistory(entry.episodeId, entry.position, entry.duration);
            posted = true;
        } catch (const DescribedError &error) {
            // Kept for a later upload.
            qCDebug(lcSession) << "History of" << entry.episodeId
                               << "not uploaded:" << error.description();
        }
        if (posted)
            uploaded.insert(entry.episodeId);
        if (!guard)
            break;
    }
    // Read again: what was stored may have changed while the posts ran.
    const auto stored = decode(QSettings().value(settingsName()).toByteArray());
    if (!stored)
        co_return;
    QList<LocalHistoryEntry> remaining;
    for (const LocalHistoryEntry &entry : *stored) {
        if (!uploaded.contains(entry.episodeId))
            remaining.append(entry);
    }
    store(remaining);
}

} // namespace LocalHistoryStore

} // namespace orvella
