#include "core/SettingsModel.h"

#include "core/PublishedValue.h"

namespace orvella {

SettingsModel::SettingsModel(SettingsStore value, QVariantList qualityOptions, QObject *parent)
    : QObject(parent)
    , m_value(std::move(value))
    , m_qualityOptions(std::move(qualityOptions))
{ }

void SettingsModel::setValue(const SettingsStore &value)
{
    publish(this, m_value, value, &SettingsModel::changed);
}

bool SettingsModel::persist() const
{
    return m_value.persist();
}

template<typename T>
void SettingsModel::assign(T SettingsStore::*field, const T &value)
{
    publish(this, m_value.*field, value, &SettingsModel::changed);
}

void SettingsModel::setDisplayName(const QString &value)
{
    assign(&SettingsStore::displayName, value);
}

void SettingsModel::setEmail(const QString &value)
{
    assign(&SettingsStore::email, value);
}

void SettingsModel::setPhone(const QString &value)
{
    assign(&SettingsStore::phone, value);
}

void SettingsModel::setZone(const QString &value)
{
    assign(&SettingsStore::zone, value);
}

void SettingsModel::setCaptionsEnabled(bool value)
{
    assign(&SettingsStore::captionsEnabled, value);
}

void SettingsModel::setPreferredQuality(const QString &value)
{
    assign(&SettingsStore::preferredQuality, value);
}

void SettingsModel::setCaptionLanguage(const QString &value)
{
    assign(&SettingsStore::captionLanguage, value);
}

void SettingsModel::setStreamLanguage(const QString &value)
{
    assign(&SettingsStore::streamLanguage, value);
}

void SettingsModel::setAutoplay(bool value)
{
    assign(&SettingsStore::autoplay, value);
}

void SettingsModel::setAutoplayNext(bool value)
{
    assign(&SettingsStore::autoplayNext, value);
}

void SettingsModel::setEpisodeRepeatMode(orvella::EpisodeRepeatMode::Value value)
{
    assign(&SettingsStore::episodeRepeatMode, value);
}

void SettingsModel::setPipEnabled(bool value)
{
    assign(&SettingsStore::pipEnabled, value);
}

void SettingsModel::setDataSaver(bool value)
{
    assign(&SettingsStore::dataSaver, value);
}

void SettingsModel::setHardwareAcceleration(bool value)
{
    assign(&SettingsStore::hardwareAcceleration, value);
}

void SettingsModel::setPushEnabled(bool value)
{
    assign(&SettingsStore::pushEnabled, value);
}

void SettingsModel::setEventAlerts(bool value)
{
    assign(&SettingsStore::eventAlerts, value);
}

void SettingsModel::setLiveReminders(bool value)
{
    assign(&SettingsStore::liveReminders, value);
}

void SettingsModel::setMarketing(bool value)
{
    assign(&SettingsStore::marketing, value);
}

void SettingsModel::setHighContrast(bool value)
{
    assign(&SettingsStore::highContrast, value);
}

void SettingsModel::setLargeText(bool value)
{
    assign(&SettingsStore::largeText, value);
}

void SettingsModel::setReduceMotion(bool value)
{
    assign(&SettingsStore::reduceMotion, value);
}

void SettingsModel::setAnalytics(bool value)
{
    assign(&SettingsStore::analytics, value);
}

void SettingsModel::setPersonalization(bool value)
{
    assign(&SettingsStore::personalization, value);
}

void SettingsModel::setShareActivity(bool value)
{
    assign(&SettingsStore::shareActivity, value);
}

void SettingsModel::setCloudSync(bool value)
{
    assign(&SettingsStore::cloudSync, value);
}

void SettingsModel::setTwoFactor(bool value)
{
    assign(&SettingsStore::twoFactor, value);
}

} // namespace orvella
