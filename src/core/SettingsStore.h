#pragma once

#include "core/EpisodeRepeatMode.h"

#include <QString>
#include <functional>

class QSettings;

namespace orvella {

// Every user preference, as one value. Read once at start with load(); screens change fields of
// the app model's copy and write it back whole with persist(). Each field has its own key in the
// application's settings file; the keys are stored on the viewer's machine and never change.
struct SettingsStore
{
    QString displayName;
    QString email;
    QString phone;
    QString zone;
    bool captionsEnabled = true;
    QString preferredQuality = QStringLiteral("Auto"); // a stream-quality id
    QString captionLanguage = QStringLiteral("en");
    QString streamLanguage = QStringLiteral("en");
    bool autoplay = true;
    bool autoplayNext = true;
    EpisodeRepeatMode::Value episodeRepeatMode = EpisodeRepeatMode::Off;
    bool pipEnabled = true;
    bool dataSaver = false;
    bool hardwareAcceleration = true;
    bool pushEnabled = true;
    bool eventAlerts = true;
    bool liveReminders = true;
    bool marketing = false;
    bool highContrast = false;
    bool largeText = false;
    bool reduceMotion = false;
    bool analytics = true;
    bool personalization = true;
    bool shareActivity = false;
    bool cloudSync = false;
    bool twoFactor = false;

    friend bool operator==(const SettingsStore &, const SettingsStore &) = default;

    // The quality id a stored quality name stands for (old names map to today's ids).
    using QualityNames = std::function<QString(QStringView stored)>;

    // Reads all keys from the application's settings; missing or unreadable values give the
    // defaults above. Never fails. Without `quality` the stored quality name is kept as it is.
    [[nodiscard]] static SettingsStore load(const QualityNames &quality = {});
    [[nodiscard]] static SettingsStore load(
        const QSettings &settings, const QualityNames &quality = {});

    // Writes all fields under their keys and the settings file at once. False when the file
    // could not be written (a read-only folder, a full disk): the values then live in this
    // process only. Nothing is removed.
    bool persist() const;
    // Sets the keys only; the caller writes the file.
    void persist(QSettings &settings) const;
};

// Writes what `settings` holds to its file now. False, with a warning naming `what` and the
// file, when the file could not be written.
bool writeSettingsFile(QSettings &settings, const char *what);

// What a screen shows in place of its saved message when a write the viewer asked for failed.
[[nodiscard]] inline QString notSavedText()
{
    return QStringLiteral("Could not save on this computer.");
}

} // namespace orvella
