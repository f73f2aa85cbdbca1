#pragma once

#include "api/ContentModels.h"

#include <QByteArray>
#include <QCoro/QCoroTask>
#include <QList>
#include <QString>
#include <optional>

class QSettings;

namespace orvella {

class OrvellaAPIClient;

// One record of the watch history kept on this computer while nobody is signed in.
struct LocalHistoryEntry
{
    QString episodeId;
    std::optional<QString> title;
    std::optional<QString> programTitle;
    std::optional<QString> image;
    qint64 position = 0; // whole seconds
    qint64 duration = 0; // whole seconds
    qint64 updatedAt = 0; // whole seconds since 1970-01-01 UTC

    friend bool operator==(const LocalHistoryEntry &, const LocalHistoryEntry &) = default;
};

// The continue-watching entry that says the same (progress 0 without a duration).
[[nodiscard]] ContinueWatchingItem continueWatchingItem(const LocalHistoryEntry &entry);

// A list of entries kept in the application's settings under one key, in the local history's
// stored form (a JSON array kept as a byte array), newest first.
class StoredEntries
{
public:
    explicit StoredEntries(const char *key)
        : m_key(QString::fromLatin1(key))
    { }

    // The stored entries, newest first (stable on equal times); empty when nothing is stored or
    // the document cannot be read. Never changes what is stored.
    [[nodiscard]] QList<LocalHistoryEntry> load() const;
    [[nodiscard]] QList<LocalHistoryEntry> load(const QSettings &settings) const;
    // Stores the entries in the given order, or removes the key when there are none.
    void store(const QList<LocalHistoryEntry> &entries) const;
    // Any stored entry of the same episode goes, the new one comes first, and only the newest
    // `limit` are kept.
    void record(const LocalHistoryEntry &entry, qsizetype limit) const;
    // The entries of one episode go.
    void forget(const QString &episodeId) const;
    void clear() const;

private:
    QString m_key;
};

// The stored form of the local watch history: one JSON array of entries, kept as a byte array
// under "local.history" in the application's settings.
namespace LocalHistoryStore {

inline constexpr auto settingsKey = "local.history";

// The JSON array, each entry with its keys named like the fields; absent optionals left out.
[[nodiscard]] QByteArray encode(const QList<LocalHistoryEntry> &entries);
// The entries in stored order, or nothing when the document or any one entry does not fit
// (bad JSON, a missing required key, a value of the wrong type).
[[nodiscard]] std::optional<QList<LocalHistoryEntry>> decode(const QByteArray &json);

// The stored entries, newest first (stable on equal times); empty when nothing is stored or the
// document cannot be read. Never changes what is stored.
[[nodiscard]] QList<LocalHistoryEntry> load();
[[nodiscard]] QList<LocalHistoryEntry> load(const QSettings &settings);

// Stores the entries in the given order, or removes the key when there are none.
void store(const QList<LocalHistoryEntry> &entries);

inline constexpr qsizetype maxEntries = 40;
// Records one entry: any stored entry of the same episode goes, the new one comes first, and
// only the newest maxEntries are kept.
void record(const LocalHistoryEntry &entry);

// Uploads the history after a sign-in: among the 20 newest entries, the newest of each episode
// is posted, one after the other. Entries of episodes whose post succeeded are then removed;
// all others stay, in their order, for a later upload (the key goes when none remain). Never
// throws.
QCoro::Task<> migrateToServer(OrvellaAPIClient &client);

} // namespace LocalHistoryStore

} // namespace orvella
