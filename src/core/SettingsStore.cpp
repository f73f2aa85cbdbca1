#include "core/SettingsStore.h"

#include "core/SessionLog.h"

#include <QSettings>

namespace orvella {

namespace {

namespace key {
constexpr auto displayName = "profile.name";
constexpr auto email = "profile.email";
constexpr auto phone = "profile.phone";
constexpr auto zone = "profile.zone";
constexpr auto captionsEnabled = "playback.captions";
constexpr auto preferredQuality = "playback.quality";
constexpr auto captionLanguage = "playback.captionLang";
constexpr auto streamLanguage = "playback.streamLang";
constexpr auto autoplay = "playback.autoplay";
constexpr auto autoplayNext = "playback.autoplayNext";
constexpr auto episodeRepeatMode = "playback.episodeRepeat";
constexpr auto pipEnabled = "playback.pip";
constexpr auto dataSaver = "playback.dataSaver";
constexpr auto hardwareAcceleration = "playback.hw";
constexpr auto pushEnabled = "notif.push";
constexpr auto eventAlerts = "notif.events";
constexpr auto liveReminders = "notif.live";
constexpr auto marketing = "notif.marketing";
constexpr auto highContrast = "a11y.contrast";
constexpr auto largeText = "a11y.largeText";
constexpr auto reduceMotion = "a11y.reduceMotion";
constexpr auto analytics = "privacy.analytics";
constexpr auto personalization = "privacy.personalization";
constexpr auto shareActivity = "privacy.shareActivity";
constexpr auto cloudSync = "account.cloudSync";
constexpr auto twoFactor = "account.2fa";
} // namespace key

QString name(const char *key)
{
    return QString::fromLatin1(key);
}

// Text, or a number read as text; anything else (no value, a list, bytes) gives the fallback.
QString readString(const QSettings &settings, const char *key, const QString &fallback)
{
    const QVariant value = settings.value(name(key));
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return value.toString();
    default:
        return fallback;
    }
}

// A stored Boolean, or its text form as an INI file gives it back ("true", "false"); any other
// value gives the fallback.
bool readBoolObject(const QSettings &settings, const char *key, bool fallback)
{
    const QVariant value = settings.value(name(key));
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        if (text == u"true")
            return true;
        if (text == u"false")
            return false;
    }
    return fallback;
}

// The platform's Boolean reading: a missing key is false, text other than "", "0" and "false"
// is true.
bool readBool(const QSettings &settings, const char *key)
{
    return settings.value(name(key)).toBool();
}

} // namespace

SettingsStore SettingsStore::load(const QualityNames &quality)
{
    const QSettings settings;
    return load(settings, quality);
}

SettingsStore SettingsStore::load(const QSettings &s, const QualityNames &quality)
{
    const SettingsStore defaults;
    SettingsStore v;
    v.displayName = readString(s, key::displayName, defaults.displayName);
    v.email = readString(s, key::email, defaults.email);
    v.phone = readString(s, key::phone, defaults.phone);
    v.zone = readString(s, key::zone, defaults.zone);
    v.captionsEnabled = readBoolObject(s, key::captionsEnabled, defaults.captionsEnabled);
    v.preferredQuality = readString(s, key::preferredQuality, defaults.preferredQuality);
    if (quality)
        v.preferredQuality = quality(v.preferredQuality);
    v.captionLanguage = readString(s, key::captionLanguage, defaults.captionLanguage);
    v.streamLanguage = readString(s, key::streamLanguage, defaults.streamLanguage);
    v.autoplay = readBoolObject(s, key::autoplay, defaults.autoplay);
    v.autoplayNext = readBoolObject(s, key::autoplayNext, defaults.autoplayNext);
    v.episodeRepeatMode
        = EpisodeRepeatMode::fromRawValue(readString(s, key::episodeRepeatMode, QString()))
              .value_or(EpisodeRepeatMode::Off);
    v.pipEnabled = readBoolObject(s, key::pipEnabled, defaults.pipEnabled);
    v.dataSaver = readBoolObject(s, key::dataSaver, defaults.dataSaver);
    v.hardwareAcceleration
        = readBoolObject(s, key::hardwareAcceleration, defaults.hardwareAcceleration);
    v.pushEnabled = readBoolObject(s, key::pushEnabled, defaults.pushEnabled);
    v.eventAlerts = readBoolObject(s, key::eventAlerts, defaults.eventAlerts);
    v.liveReminders = readBoolObject(s, key::liveReminders, defaults.liveReminders);
    v.marketing = readBoolObject(s, key::marketing, defaults.marketing);
    v.highContrast = readBool(s, key::highContrast);
    v.largeText = readBool(s, key::largeText);
    v.reduceMotion = readBool(s, key::reduceMotion);
    v.analytics = readBoolObject(s, key::analytics, defaults.analytics);
    v.personalization = readBoolObject(s, key::personalization, defaults.personalization);
    v.shareActivity = readBool(s, key::shareActivity);
    v.cloudSync = readBool(s, key::cloudSync);
    v.twoFactor = readBool(s, key::twoFactor);
    return v;
}

bool SettingsStore::persist() const
{
    QSettings settings;
    persist(settings);
    return writeSettingsFile(settings, "the settings");
}

bool writeSettingsFile(QSettings &settings, const char *what)
{
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    qCWarning(lcSession) << what << "could not be stored in" << settings.fileName();
    return false;
}

void SettingsStore::persist(QSettings &s) const
{
    s.setValue(name(key::displayName), displayName);
    s.setValue(name(key::email), email);
    s.setValue(name(key::phone), phone);
    s.setValue(name(key::zone), zone);
    s.setValue(name(key::captionsEnabled), captionsEnabled);
    s.setValue(name(key::preferredQuality), preferredQuality);
    s.setValue(name(key::captionLanguage), captionLanguage);
    s.setValue(name(key::streamLanguage), streamLanguage);
    s.setValue(name(key::autoplay), autoplay);
    s.setValue(name(key::autoplayNext), autoplayNext);
    s.setValue(name(key::episodeRepeatMode), EpisodeRepeatMode::rawValue(episodeRepeatMode));
    s.setValue(name(key::pipEnabled), pipEnabled);
    s.setValue(name(key::dataSaver), dataSaver);
    s.setValue(name(key::hardwareAcceleration), hardwareAcceleration);
    s.setValue(name(key::pushEnabled), pushEnabled);
    s.setValue(name(key::eventAlerts), eventAlerts);
    s.setValue(name(key::liveReminders), liveReminders);
    s.setValue(name(key::marketing), marketing);
    s.setValue(name(key::highContrast), highContrast);
    s.setValue(name(key::largeText), largeText);
    s.setValue(name(key::reduceMotion), reduceMotion);
    s.setValue(name(key::analytics), analytics);
    s.setValue(name(key::personalization), personalization);
    s.setValue(name(key::shareActivity), shareActivity);
    s.setValue(name(key::cloudSync), cloudSync);
    s.setValue(name(key::twoFactor), twoFactor);
}

} // namespace orvella
