#pragma once

#include "core/SettingsStore.h"

#include <QObject>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

namespace orvella {

// The app model's published settings: one SettingsStore value, observable field by field so QML
// controls can bind to it both ways. A write changes the in-memory value at once and announces
// it; persist() stores the whole value.
class SettingsModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Held by the app model")
    Q_PROPERTY(QString displayName READ displayName WRITE setDisplayName NOTIFY changed)
    Q_PROPERTY(QString email READ email WRITE setEmail NOTIFY changed)
    Q_PROPERTY(QString phone READ phone WRITE setPhone NOTIFY changed)
    Q_PROPERTY(QString zone READ zone WRITE setZone NOTIFY changed)
    Q_PROPERTY(bool captionsEnabled READ captionsEnabled WRITE setCaptionsEnabled NOTIFY changed)
    Q_PROPERTY(
        QString preferredQuality READ preferredQuality WRITE setPreferredQuality NOTIFY changed)
    Q_PROPERTY(QString captionLanguage READ captionLanguage WRITE setCaptionLanguage NOTIFY changed)
    Q_PROPERTY(QString streamLanguage READ streamLanguage WRITE setStreamLanguage NOTIFY changed)
    Q_PROPERTY(bool autoplay READ autoplay WRITE setAutoplay NOTIFY changed)
    Q_PROPERTY(bool autoplayNext READ autoplayNext WRITE setAutoplayNext NOTIFY changed)
    Q_PROPERTY(orvella::EpisodeRepeatMode::Value episodeRepeatMode READ episodeRepeatMode WRITE
            setEpisodeRepeatMode NOTIFY changed)
    Q_PROPERTY(bool pipEnabled READ pipEnabled WRITE setPipEnabled NOTIFY changed)
    Q_PROPERTY(bool dataSaver READ dataSaver WRITE setDataSaver NOTIFY changed)
    Q_PROPERTY(bool hardwareAcceleration READ hardwareAcceleration WRITE setHardwareAcceleration
            NOTIFY changed)
    Q_PROPERTY(bool pushEnabled READ pushEnabled WRITE setPushEnabled NOTIFY changed)
    Q_PROPERTY(bool eventAlerts READ eventAlerts WRITE setEventAlerts NOTIFY changed)
    Q_PROPERTY(bool liveReminders READ liveReminders WRITE setLiveReminders NOTIFY changed)
    Q_PROPERTY(bool marketing READ marketing WRITE setMarketing NOTIFY changed)
    Q_PROPERTY(bool highContrast READ highContrast WRITE setHighContrast NOTIFY changed)
    Q_PROPERTY(bool largeText READ largeText WRITE setLargeText NOTIFY changed)
    Q_PROPERTY(bool reduceMotion READ reduceMotion WRITE setReduceMotion NOTIFY changed)
    Q_PROPERTY(bool analytics READ analytics WRITE setAnalytics NOTIFY changed)
    Q_PROPERTY(bool personalization READ personalization WRITE setPersonalization NOTIFY changed)
    Q_PROPERTY(bool shareActivity READ shareActivity WRITE setShareActivity NOTIFY changed)
    Q_PROPERTY(bool cloudSync READ cloudSync WRITE setCloudSync NOTIFY changed)
    Q_PROPERTY(bool twoFactor READ twoFactor WRITE setTwoFactor NOTIFY changed)
    Q_PROPERTY(QVariantList qualityOptions READ qualityOptions CONSTANT)

public:
    // `qualityOptions`: the stream-quality rows as {id, label} maps, for quality menus (the
    // player's catalogue).
    explicit SettingsModel(
        SettingsStore value = {}, QVariantList qualityOptions = {}, QObject *parent = nullptr);

    [[nodiscard]] const SettingsStore &value() const { return m_value; }
    // Replaces the whole value; announces a change only when something differs.
    void setValue(const SettingsStore &value);

    // Stores the whole value now; false when the settings file could not be written.
    Q_INVOKABLE bool persist() const;

    [[nodiscard]] const QVariantList &qualityOptions() const { return m_qualityOptions; }

    [[nodiscard]] QString displayName() const { return m_value.displayName; }
    [[nodiscard]] QString email() const { return m_value.email; }
    [[nodiscard]] QString phone() const { return m_value.phone; }
    [[nodiscard]] QString zone() const { return m_value.zone; }
    [[nodiscard]] bool captionsEnabled() const { return m_value.captionsEnabled; }
    [[nodiscard]] QString preferredQuality() const { return m_value.preferredQuality; }
    [[nodiscard]] QString captionLanguage() const { return m_value.captionLanguage; }
    [[nodiscard]] QString streamLanguage() const { return m_value.streamLanguage; }
    [[nodiscard]] bool autoplay() const { return m_value.autoplay; }
    [[nodiscard]] bool autoplayNext() const { return m_value.autoplayNext; }
    [[nodiscard]] orvella::EpisodeRepeatMode::Value episodeRepeatMode() const
    {
        return m_value.episodeRepeatMode;
    }
    [[nodiscard]] bool pipEnabled() const { return m_value.pipEnabled; }
    [[nodiscard]] bool dataSaver() const { return m_value.dataSaver; }
    [[nodiscard]] bool hardwareAcceleration() const { return m_value.hardwareAcceleration; }
    [[nodiscard]] bool pushEnabled() const { return m_value.pushEnabled; }
    [[nodiscard]] bool eventAlerts() const { return m_value.eventAlerts; }
    [[nodiscard]] bool liveReminders() const { return m_value.liveReminders; }
    [[nodiscard]] bool marketing() const { return m_value.marketing; }
    [[nodiscard]] bool highContrast() const { return m_value.highContrast; }
    [[nodiscard]] bool largeText() const { return m_value.largeText; }
    [[nodiscard]] bool reduceMotion() const { return m_value.reduceMotion; }
    [[nodiscard]] bool analytics() const { return m_value.analytics; }
    [[nodiscard]] bool personalization() const { return m_value.personalization; }
    [[nodiscard]] bool shareActivity() const { return m_value.shareActivity; }
    [[nodiscard]] bool cloudSync() const { return m_value.cloudSync; }
    [[nodiscard]] bool twoFactor() const { return m_value.twoFactor; }

    void setDisplayName(const QString &value);
    void setEmail(const QString &value);
    void setPhone(const QString &value);
    void setZone(const QString &value);
    void setCaptionsEnabled(bool value);
    void setPreferredQuality(const QString &value);
    void setCaptionLanguage(const QString &value);
    void setStreamLanguage(const QString &value);
    void setAutoplay(bool value);
    void setAutoplayNext(bool value);
    void setEpisodeRepeatMode(orvella::EpisodeRepeatMode::Value value);
    void setPipEnabled(bool value);
    void setDataSaver(bool value);
    void setHardwareAcceleration(bool value);
    void setPushEnabled(bool value);
    void setEventAlerts(bool value);
    void setLiveReminders(bool value);
    void setMarketing(bool value);
    void setHighContrast(bool value);
    void setLargeText(bool value);
    void setReduceMotion(bool value);
    void setAnalytics(bool value);
    void setPersonalization(bool value);
    void setShareActivity(bool value);
    void setCloudSync(bool value);
    void setTwoFactor(bool value);

signals:
    void changed();

private:
    template<typename T>
    void assign(T SettingsStore::*field, const T &value);

    SettingsStore m_value;
    QVariantList m_qualityOptions;
};

} // namespace orvella
