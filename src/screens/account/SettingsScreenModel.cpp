#include "screens/account/SettingsScreenModel.h"

#include "api/ServiceOrigin.h"
#include "api/WebLink.h"
#include "app/AppModel.h"
#include "core/SettingsModel.h"
#include "player/PlaybackQuality.h"

#include <QDesktopServices>
#include <array>

namespace orvella {

namespace {

struct SectionRow
{
    SettingsSection::Value section;
    const char *raw;
    const char *title;
    const char *symbol;
};

constexpr std::array<SectionRow, 7> sectionTable { {
    { SettingsSection::Profile, "profile", "Profile", "person.crop.circle" },
    { SettingsSection::Playback, "playback", "Playback", "play.rectangle" },
    { SettingsSection::Notifications, "notifications", "Notifications", "bell" },
    { SettingsSection::Language, "language", "Language & Captions", "globe" },
    { SettingsSection::Accessibility, "accessibility", "Accessibility", "accessibility" },
    { SettingsSection::Privacy, "privacy", "Privacy", "hand.raised" },
    { SettingsSection::Account, "account", "Account", "lock.shield" },
} };

const SectionRow &rowOf(SettingsSection::Value section)
{
    return sectionTable[std::size_t(section)];
}

// Links from the configuration are untrusted: only web pages go to the desktop.
void openWebLink(const QUrl &url)
{
    if (isWebLink(url))
        QDesktopServices::openUrl(url);
}

} // namespace

QString SettingsSection::rawValue(Value section)
{
    return QString::fromLatin1(rowOf(section).raw);
}

std::optional<SettingsSection::Value> SettingsSection::fromRawValue(QStringView raw)
{
    for (const SectionRow &row : sectionTable) {
        if (raw == QLatin1String(row.raw))
            return row.section;
    }
    return std::nullopt;
}

QString SettingsSection::title(Value section)
{
    return QString::fromUtf8(rowOf(section).title);
}

QString SettingsSection::symbol(Value section)
{
    return QString::fromLatin1(rowOf(section).symbol);
}

const QList<SettingsSection::Value> &SettingsSection::allCases()
{
    static const QList<Value> cases = [] {
        QList<Value> list;
        for (const SectionRow &row : sectionTable)
            list.append(row.section);
        return list;
    }();
    return cases;
}

SettingsScreenModel::SettingsScreenModel(QObject *parent)
    : QObject(parent)
{ }

SettingsScreenModel::~SettingsScreenModel()
{
    m_syncStop.request_stop();
}

void SettingsScreenModel::setApp(AppModel *app)
{
    if (!m_app.repoint(app))
        return;
    m_app.forward(&AppModel::isGuestChanged, this, &SettingsScreenModel::accountChanged);
    m_app.forward(&AppModel::profileChanged, this, &SettingsScreenModel::accountChanged);
    m_app.forward(&AppModel::configChanged, this, &SettingsScreenModel::accountChanged);
    m_settings.repoint(app ? app->settings() : nullptr);
    m_settings.forward(&SettingsModel::changed, this, &SettingsScreenModel::accountChanged);
    emit appChanged();
    emit accountChanged();
}

QVariantList SettingsScreenModel::sections()
{
    QVariantList list;
    for (const SettingsSection::Value section : SettingsSection::allCases()) {
        list.append(QVariantMap { { QStringLiteral("id"), SettingsSection::rawValue(section) },
            { QStringLiteral("title"), SettingsSection::title(section) },
            { QStringLiteral("symbol"), SettingsSection::symbol(section) } });
    }
    return list;
}

QStringList SettingsScreenModel::qualityIds()
{
    QStringList ids;
    for (const PlaybackQuality &option : PlaybackQuality::all())
        ids.append(option.id);
    return ids;
}

bool SettingsScreenModel::isGuest() const
{
    return !m_app || m_app->isGuest();
}

namespace {
// The profile's value when the profile and the value are present (even empty), else the
// fallback.
QString profileOr(const std::optional<UserProfile> &profile,
    std::optional<QString> UserProfile::*field, const QString &fallback)
{
    if (profile && (*profile).*field)
        return *((*profile).*field);
    return fallback;
}
} // namespace

QString SettingsScreenModel::identityName() const
{
    return m_app ? profileOr(m_app->profile(), &UserProfile::name, m_app->settings()->displayName())
                 : QString();
}

QString SettingsScreenModel::identityEmail() const
{
    return m_app ? profileOr(m_app->profile(), &UserProfile::email, m_app->settings()->email())
                 : QString();
}

QString SettingsScreenModel::identityPhone() const
{
    return m_app ? profileOr(m_app->profile(), &UserProfile::phone, m_app->settings()->phone())
                 : QString();
}

QString SettingsScreenModel::identityZone() const
{
    if (!m_app)
        return {};
    const auto &profile = m_app->profile();
    return profileOr(profile, &UserProfile::zone,
        profileOr(profile, &UserProfile::region, m_app->settings()->zone()));
}

QString SettingsScreenModel::captionLanguageLine() const
{
    return QStringLiteral("Preferred caption language: ")
        + (m_app ? m_app->settings()->captionLanguage().toUpper() : QString());
}

QUrl SettingsScreenModel::privacyURL() const
{
    if (m_app && m_app->config() && m_app->config()->urls) {
        if (auto url = webLink(m_app->config()->urls->privacy))
            return *url;
    }
    return servicePage(QStringLiteral("/privacy"));
}

std::optional<QUrl> SettingsScreenModel::termsURL() const
{
    if (m_app && m_app->config() && m_app->config()->urls)
        return webLink(m_app->config()->urls->terms);
    return std::nullopt;
}

void SettingsScreenModel::appear()
{
    syncProfile();
}

void SettingsScreenModel::disappear()
{
    m_syncStop.request_stop();
    if (m_unsaved)
        persist();
}

QCoro::Task<> SettingsScreenModel::syncProfile()
{
    QPointer<AppModel> app = m_app.get();
    if (!app)
        co_return;
    QPointer self(this);
    m_syncStop.request_stop();
    m_syncStop = std::stop_source();
    m_syncing = true;
    m_typedDuringSync.clear();
    co_await app->syncProfileFromServer(m_syncStop.get_token());
    if (!self)
        co_return;
    m_syncing = false;
    // What was typed while the profile came in wins over the service's value.
    const auto typed = std::exchange(m_typedDuringSync, {});
    if (app) {
        for (auto it = typed.begin(); it != typed.end(); ++it)
            writeProfileField(it.key(), it.value());
    }
}

void SettingsScreenModel::selectSection(const QString &raw)
{
    const auto section = SettingsSection::fromRawValue(raw);
    if (!section)
        return;
    if (m_section != *section) {
        m_section = *section;
        emit sectionChanged();
    }
    setSaveMessage(std::nullopt);
}

void SettingsScreenModel::save()
{
    if (!m_app)
        return;
    if (persist())
        setSaveMessage(QStringLiteral("Saved on this computer."));
}

void SettingsScreenModel::pickQuality(const QString &id)
{
    if (!m_app)
        return;
    SettingsModel *settings = m_app->settings();
    settings->setPreferredQuality(id);
    if (id != u"Auto")
        settings->setDataSaver(false);
    persist();
    m_app->livePlayer()->setQuality(id);
}

void SettingsScreenModel::setDataSaver(bool on)
{
    if (!m_app)
        return;
    SettingsModel *settings = m_app->settings();
    settings->setDataSaver(on);
    if (on) {
        const QString capped = QStringLiteral("2Mbps");
        settings->setPreferredQuality(capped);
        m_app->livePlayer()->setQuality(capped);
    }
    persist();
}

bool SettingsScreenModel::persist()
{
    if (!m_app)
        return false;
    const bool stored = m_app->settings()->persist();
    m_unsaved = !stored;
    if (!stored)
        setSaveMessage(notSavedText());
    else if (m_saveMessage == notSavedText())
        setSaveMessage(std::nullopt);
    return stored;
}

void SettingsScreenModel::editProfileField(const QString &field, const QString &text)
{
    if (!m_app)
        return;
    writeProfileField(field, text);
    if (m_syncing)
        m_typedDuringSync.insert(field, text);
}

void SettingsScreenModel::writeProfileField(const QString &field, const QString &text)
{
    SettingsModel *settings = m_app->settings();
    if (field == u"displayName")
        settings->setDisplayName(text);
    else if (field == u"email")
        settings->setEmail(text);
    else if (field == u"phone")
        settings->setPhone(text);
    else if (field == u"zone")
        settings->setZone(text);
}

void SettingsScreenModel::signOut()
{
    // Not tied to the screen: the app model ends on the sign-in route.
    if (m_app)
        m_app->signOut();
}

void SettingsScreenModel::signIn()
{
    if (m_app)
        m_app->navigate(MacRoute::Login);
}

void SettingsScreenModel::openLanguageSelector()
{
    if (m_app)
        m_app->navigate(MacRoute::Languages);
}

void SettingsScreenModel::openPrivacy()
{
    openWebLink(privacyURL());
}

void SettingsScreenModel::openTerms()
{
    if (const auto url = termsURL())
        openWebLink(*url);
}

void SettingsScreenModel::openActivation()
{
    if (m_app)
        openWebLink(m_app->activateURL());
}

void SettingsScreenModel::setSaveMessage(std::optional<QString> message)
{
    if (m_saveMessage == message)
        return;
    m_saveMessage = std::move(message);
    emit saveMessageChanged();
}

} // namespace orvella
