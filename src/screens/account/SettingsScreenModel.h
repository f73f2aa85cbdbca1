#pragma once

#include "core/ObjectLink.h"
#include "core/SettingsStore.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>
#include <optional>
#include <stop_token>

namespace orvella {

class AppModel;
class SettingsModel;

// The sections of the settings screen, in sidebar order; the raw value is the identity.
namespace SettingsSection {
enum Value { Profile, Playback, Notifications, Language, Accessibility, Privacy, Account };
[[nodiscard]] QString rawValue(Value section);
[[nodiscard]] std::optional<Value> fromRawValue(QStringView raw);
[[nodiscard]] QString title(Value section);
[[nodiscard]] QString symbol(Value section);
[[nodiscard]] const QList<Value> &allCases();
} // namespace SettingsSection

// The settings screen: the selected section, the save message, the immediate quality and data
// saver choices that also cap the live player, the links it opens and the account lines. Rows
// edit the app model's settings directly; Save stores them. Each visit refreshes the profile,
// and what the viewer types into a profile field meanwhile survives that refresh.
class SettingsScreenModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(orvella::AppModel *app READ app WRITE setApp NOTIFY appChanged)
    Q_PROPERTY(QVariantList sections READ sections CONSTANT)
    Q_PROPERTY(QString section READ section NOTIFY sectionChanged)
    Q_PROPERTY(QString sectionTitle READ sectionTitle NOTIFY sectionChanged)
    Q_PROPERTY(QString saveMessage READ saveMessageText NOTIFY saveMessageChanged)
    Q_PROPERTY(bool hasSaveMessage READ hasSaveMessage NOTIFY saveMessageChanged)
    Q_PROPERTY(bool saveFailed READ saveFailed NOTIFY saveMessageChanged)
    Q_PROPERTY(QStringList qualityIds READ qualityIds CONSTANT)
    Q_PROPERTY(bool isGuest READ isGuest NOTIFY accountChanged)
    Q_PROPERTY(QString identityName READ identityName NOTIFY accountChanged)
    Q_PROPERTY(QString identityEmail READ identityEmail NOTIFY accountChanged)
    Q_PROPERTY(QString identityPhone READ identityPhone NOTIFY accountChanged)
    Q_PROPERTY(QString identityZone READ identityZone NOTIFY accountChanged)
    Q_PROPERTY(QString captionLanguageLine READ captionLanguageLine NOTIFY accountChanged)
    Q_PROPERTY(bool hasTerms READ hasTerms NOTIFY accountChanged)

public:
    explicit SettingsScreenModel(QObject *parent = nullptr);
    ~SettingsScreenModel() override;

    [[nodiscard]] AppModel *app() const { return m_app.get(); }
    void setApp(AppModel *app);

    [[nodiscard]] static QVariantList sections();
    [[nodiscard]] QString section() const { return SettingsSection::rawValue(m_section); }
    [[nodiscard]] QString sectionTitle() const { return SettingsSection::title(m_section); }
    [[nodiscard]] const std::optional<QString> &saveMessage() const { return m_saveMessage; }
    [[nodiscard]] QString saveMessageText() const { return m_saveMessage.value_or(QString()); }
    [[nodiscard]] bool hasSaveMessage() const { return m_saveMessage.has_value(); }
    // The message says the last write could not be stored.
    [[nodiscard]] bool saveFailed() const { return m_saveMessage == notSavedText(); }
    [[nodiscard]] static QStringList qualityIds();

    [[nodiscard]] bool isGuest() const;
    // The account section's identity lines: the profile's value when present, else the
    // settings'. Empty lines other than the name are not shown.
    [[nodiscard]] QString identityName() const;
    [[nodiscard]] QString identityEmail() const;
    [[nodiscard]] QString identityPhone() const;
    [[nodiscard]] QString identityZone() const;
    [[nodiscard]] QString captionLanguageLine() const;

    // Where the links lead: the configuration's page when it is a web link, else the service's
    // privacy page; no terms row without one.
    [[nodiscard]] QUrl privacyURL() const;
    [[nodiscard]] std::optional<QUrl> termsURL() const;
    [[nodiscard]] bool hasTerms() const { return termsURL().has_value(); }

    // The screen was shown: the profile is refreshed from the service.
    Q_INVOKABLE void appear();
    Q_INVOKABLE void disappear();
    Q_INVOKABLE void selectSection(const QString &raw);
    Q_INVOKABLE void save();
    // The quality grid and the data-saver switch: stored at once, and they cap the live player.
    Q_INVOKABLE void pickQuality(const QString &id);
    Q_INVOKABLE void setDataSaver(bool on);
    // A profile text row typed into ("displayName", "email", "phone", "zone").
    Q_INVOKABLE void editProfileField(const QString &field, const QString &text);
    Q_INVOKABLE void signOut();
    Q_INVOKABLE void signIn();
    Q_INVOKABLE void openLanguageSelector();
    Q_INVOKABLE void openPrivacy();
    Q_INVOKABLE void openTerms();
    Q_INVOKABLE void openActivation();

    // The appear task, for tests to await.
    QCoro::Task<> syncProfile();

signals:
    void appChanged();
    void sectionChanged();
    void saveMessageChanged();
    void accountChanged();

private:
    void setSaveMessage(std::optional<QString> message);
    // Stores the settings; a failure shows in the message's place and is tried again on the
    // next write or when the screen goes.
    bool persist();
    void writeProfileField(const QString &field, const QString &text);

    ObjectLink<AppModel> m_app;
    ObjectLink<SettingsModel> m_settings;
    SettingsSection::Value m_section = SettingsSection::Profile;
    std::optional<QString> m_saveMessage;
    bool m_unsaved = false;
    std::stop_source m_syncStop;
    bool m_syncing = false;
    // Profile fields typed into while the sync runs, with their last text.
    QHash<QString, QString> m_typedDuringSync;
};

} // namespace orvella
