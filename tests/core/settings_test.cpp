#include "api/KeychainStore.h"
#include "app/AppServices.h"
#include "app/Application.h"
#include "core/SettingsFile.h"
#include "core/SettingsModel.h"
#include "core/SettingsStore.h"
#include "player/PlaybackQuality.h"
#include "support/FileModes.h"
#include "support/ReadOnlySettingsFolder.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

namespace EpisodeRepeatMode = orvella::EpisodeRepeatMode;
using orvella::PlaybackQuality;
using orvella::SettingsModel;
using orvella::SettingsStore;
using orvella::test::fileMode;
using orvella::test::settingsFileOnDisk;

// Warnings logged while this lives.
class CollectedWarnings
{
public:
    CollectedWarnings() { m_previous = qInstallMessageHandler(collect); }
    ~CollectedWarnings()
    {
        qInstallMessageHandler(m_previous);
        lines().clear();
    }
    [[nodiscard]] static QStringList &lines()
    {
        static QStringList collected;
        return collected;
    }

private:
    static void collect(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        if (type == QtWarningMsg)
            lines().append(QString::fromLatin1(context.category) + QStringLiteral(": ") + text);
    }
    QtMessageHandler m_previous = nullptr;
};

class SettingsStoreTest : public ::testing::Test
{
protected:
    void SetUp() override { QSettings().clear(); }
    void TearDown() override { QSettings().clear(); }

    // An INI file written as text, read by a QSettings that has never seen it: what a new
    // process finds.
    [[nodiscard]] std::unique_ptr<QSettings> readText(const QByteArray &text)
    {
        const QString path = dir.filePath(QStringLiteral("read%1.conf").arg(++files));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        return std::make_unique<QSettings>(path, QSettings::IniFormat);
    }

    QTemporaryDir dir;
    int files = 0;
};

TEST_F(SettingsStoreTest, EmptySettingsGiveTheDefaults)
{
    EXPECT_EQ(SettingsStore::load(), SettingsStore());
}

TEST_F(SettingsStoreTest, TextValuesOfAnIniFileAreReadByEachFieldsRule)
{
    const auto settings = readText("[General]\n"
                                   "profile.name=Ada\n"
                                   "profile.zone=42\n"
                                   "playback.captions=yes\n"
                                   "notif.push=false\n"
                                   "playback.dataSaver=true\n"
                                   "notif.marketing=1\n"
                                   "a11y.contrast=yes\n"
                                   "a11y.largeText=false\n"
                                   "account.2fa=1\n"
                                   "playback.quality=1080p\n"
                                   "playback.episodeRepeat=ALL\n"
                                   "playback.streamLang=fr\n");
    const SettingsStore s = SettingsStore::load(*settings, &orvella::storedQualityId);
    EXPECT_EQ(s.displayName, "Ada");
    EXPECT_EQ(s.zone, "42");
    // Read as a stored Boolean: only "true"/"false" count, other text keeps the default.
    EXPECT_TRUE(s.captionsEnabled);
    EXPECT_FALSE(s.pushEnabled);
    EXPECT_TRUE(s.dataSaver);
    EXPECT_FALSE(s.marketing);
    // Plain Boolean reads take any text but "", "0" and "false" as true.
    EXPECT_TRUE(s.highContrast);
    EXPECT_FALSE(s.largeText);
    EXPECT_TRUE(s.twoFactor);
    EXPECT_EQ(s.preferredQuality, "6Mbps");
    EXPECT_EQ(s.episodeRepeatMode, EpisodeRepeatMode::Off);
    EXPECT_EQ(s.streamLanguage, "fr");
}

TEST_F(SettingsStoreTest, QualityNamesAreNormalisedWhenRead)
{
    const std::pair<const char *, const char *> cases[] = {
        { "1080p", "6Mbps" },
        { "4k", "Auto" },
        { "4K", "51Mbps" },
        { "9Mbps", "9Mbps" },
        { "240p", "0.3Mbps" },
        { "360p", "0.3Mbps" },
        { "480p", "2Mbps" },
        { "720p", "4Mbps" },
        { "", "Auto" },
        { "auto", "Auto" },
    };
    for (const auto &[stored, read] : cases) {
        SCOPED_TRACE(stored);
        const auto settings = readText(QByteArray("[General]\nplayback.quality=") + stored + "\n");
        EXPECT_EQ(SettingsStore::load(*settings, &orvella::storedQualityId).preferredQuality,
            QString::fromUtf8(read));
    }
}

TEST_F(SettingsStoreTest, PersistedValueReadsBackEqualInAFreshReader)
{
    SettingsStore written;
    written.displayName = QStringLiteral("Grace, Hopper");
    written.email = QStringLiteral("g@example.org");
    written.phone = QStringLiteral("+1 555");
    written.zone = QStringLiteral("Zone 3");
    written.captionsEnabled = false;
    written.preferredQuality = QStringLiteral("18Mbps");
    written.captionLanguage = QStringLiteral("de");
    written.streamLanguage = QStringLiteral("fr");
    written.autoplay = false;
    written.autoplayNext = false;
    written.episodeRepeatMode = EpisodeRepeatMode::All;
    written.pipEnabled = false;
    written.dataSaver = true;
    written.hardwareAcceleration = false;
    written.pushEnabled = false;
    written.eventAlerts = false;
    written.liveReminders = false;
    written.marketing = true;
    written.highContrast = true;
    written.largeText = true;
    written.reduceMotion = true;
    written.analytics = false;
    written.personalization = false;
    written.shareActivity = true;
    written.cloudSync = true;
    written.twoFactor = true;

    const QString first = dir.filePath(QStringLiteral("written.conf"));
    {
        QSettings settings(first, QSettings::IniFormat);
        written.persist(settings);
        settings.sync();
        ASSERT_EQ(settings.status(), QSettings::NoError);
    }
    QFile file(first);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    // Booleans reach the file as text, so the reader's text rules are what matter.
    EXPECT_TRUE(text.contains("playback.captions=false")) << text.toStdString();
    EXPECT_TRUE(text.contains("playback.episodeRepeat=all")) << text.toStdString();
    const auto reader = readText(text);
    EXPECT_EQ(SettingsStore::load(*reader), written);

    // The default store writes the application's own settings file.
    written.persist();
    EXPECT_EQ(SettingsStore::load(), written);
    EXPECT_EQ(QSettings().value("account.2fa").toBool(), true);
}

TEST_F(SettingsStoreTest, AStringStoredForAnObjectBooleanKeepsItsDefault)
{
    QSettings().setValue("playback.captions", QStringLiteral("off"));
    QSettings().setValue("notif.marketing", QStringLiteral("off"));
    QSettings().setValue("a11y.contrast", QStringLiteral("off"));
    const SettingsStore s = SettingsStore::load();
    EXPECT_TRUE(s.captionsEnabled);
    EXPECT_FALSE(s.marketing);
    EXPECT_TRUE(s.highContrast);
}

TEST(PlaybackQuality, IdsAreUniqueRoundTripAndOnlyAutoIsUncapped)
{
    const auto &rows = PlaybackQuality::all();
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_EQ(PlaybackQuality::option(u""), rows[0]) << "an unknown id reads as the first, Auto";
    EXPECT_FALSE(rows[0].maxBitrate);
    QSet<QString> ids;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const auto &row = rows[i];
        SCOPED_TRACE(row.id.toStdString());
        EXPECT_FALSE(ids.contains(row.id));
        ids.insert(row.id);
        EXPECT_EQ(PlaybackQuality::option(row.id), row);
        EXPECT_EQ(qHash(row), qHash(PlaybackQuality(row)));
        if (i > 0) {
            ASSERT_TRUE(row.maxBitrate && rows[i - 1].maxBitrate.value_or(0) < *row.maxBitrate)
                << "capped rows rise";
            EXPECT_TRUE(row.maxResolution);
        }
    }
    const QVariantList menu = PlaybackQuality::menuRows();
    ASSERT_EQ(menu.size(), rows.size());
    EXPECT_EQ(menu[3].toMap().value("id").toString(), rows[3].id);
    EXPECT_EQ(menu[3].toMap().value("label").toString(), rows[3].label);
}

TEST(EpisodeRepeatModeTest, RawValuesRoundTripAndMatchWholeTextOnly)
{
    for (const auto mode : EpisodeRepeatMode::allCases())
        EXPECT_EQ(EpisodeRepeatMode::fromRawValue(EpisodeRepeatMode::rawValue(mode)), mode);
    EXPECT_EQ(EpisodeRepeatMode::fromRawValue(u"ALL"), std::nullopt);
    EXPECT_EQ(EpisodeRepeatMode::fromRawValue(u"one "), std::nullopt);
}

TEST_F(SettingsStoreTest, ModelAnnouncesChangesAndBindsBothWaysInQml)
{
    SettingsModel model({}, PlaybackQuality::menuRows());
    int changes = 0;
    QObject::connect(&model, &SettingsModel::changed, [&] { ++changes; });
    model.setStreamLanguage(QStringLiteral("fr"));
    model.setStreamLanguage(QStringLiteral("fr"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(model.value().streamLanguage, "fr");

    QQmlEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/"));
    QQmlComponent component(&engine);
    component.setData(R"(
        import QtQml
        import Orvella
        QtObject {
            required property SettingsModel settings
            property bool captions: settings.captionsEnabled
            property string language: settings.streamLanguage
            function chooseRepeatAll() { settings.episodeRepeatMode = EpisodeRepeatMode.All }
            function switchOffCaptions() { settings.captionsEnabled = false; settings.persist() }
        })",
        QUrl());
    std::unique_ptr<QObject> object(component.createWithInitialProperties(
        { { QStringLiteral("settings"), QVariant::fromValue(&model) } }));
    ASSERT_TRUE(object) << component.errorString().toStdString();
    EXPECT_EQ(object->property("language").toString(), "fr");
    EXPECT_TRUE(object->property("captions").toBool());

    QMetaObject::invokeMethod(object.get(), "chooseRepeatAll");
    EXPECT_EQ(model.value().episodeRepeatMode, EpisodeRepeatMode::All);
    QMetaObject::invokeMethod(object.get(), "switchOffCaptions");
    EXPECT_FALSE(model.value().captionsEnabled);
    EXPECT_FALSE(object->property("captions").toBool());
    const SettingsStore stored = SettingsStore::load();
    EXPECT_FALSE(stored.captionsEnabled);
    EXPECT_EQ(stored.episodeRepeatMode, EpisodeRepeatMode::All);

    SettingsStore replaced = model.value();
    replaced.streamLanguage = QStringLiteral("de");
    model.setValue(replaced);
    EXPECT_EQ(object->property("language").toString(), "de");
    EXPECT_EQ(model.qualityOptions().size(), PlaybackQuality::all().size());
}

TEST_F(SettingsStoreTest, AnUnreadableFileIsMovedAsideAndASignInCanBeStoredAgain)
{
    const QString path = QSettings().fileName();
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[General\nnot an ini file\n");
    file.close();
    ASSERT_EQ(QSettings().status(), QSettings::FormatError);

    // As an earlier version left it: readable by everyone. It holds tokens: so does its copy.
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    const QString aside = orvella::setAsideUnreadableSettings();
    EXPECT_EQ(fileMode(aside), 0600);
    EXPECT_TRUE(
        QFileInfo(aside).fileName().startsWith(QFileInfo(path).fileName() + ".unreadable-"));
    EXPECT_EQ(QFileInfo(aside).dir(), QFileInfo(path).dir());
    QFile kept(aside);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "[General\nnot an ini file\n");
    kept.remove();

    orvella::KeychainStore::set(QStringLiteral("access_token"), QStringLiteral("a"));
    QSettings().sync();
    EXPECT_EQ(QSettings().status(), QSettings::NoError);
    EXPECT_EQ(QSettings(path, QSettings::IniFormat).value("orvella.session.access_token"), "a");
    EXPECT_TRUE(orvella::setAsideUnreadableSettings().isEmpty());
}

// The settings file holds the session's tokens: only its owner may read it, from its creation
// on and through every later save (QSettings replaces it by a renamed temporary file).
TEST_F(SettingsStoreTest, TheFileIsMadeForItsOwnerAloneAndStaysSoThroughSaves)
{
    const orvella::test::ScopedUmask usual(022);
    const QString path = QSettings().fileName();
    QFile::remove(path);
    orvella::configureApplication(*qGuiApp);
    EXPECT_EQ(fileMode(path), 0600);

    orvella::KeychainStore::set(QStringLiteral("access_token"), QStringLiteral("secret-token"));
    EXPECT_EQ(fileMode(path), 0600);
    SettingsStore changed;
    changed.displayName = QStringLiteral("Ada");
    ASSERT_TRUE(changed.persist());
    EXPECT_EQ(fileMode(path), 0600);
    EXPECT_TRUE(settingsFileOnDisk().contains("secret-token"));
    EXPECT_EQ(SettingsStore::load().displayName, "Ada");
}

TEST_F(SettingsStoreTest, AFileAnEarlierVersionLeftOpenIsNarrowedAtStartUp)
{
    const QString path = QSettings().fileName();
    orvella::KeychainStore::set(QStringLiteral("access_token"), QStringLiteral("secret-token"));
    ASSERT_TRUE(QFile::setPermissions(
        path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
    ASSERT_EQ(fileMode(path), 0644);
    const QByteArray before = settingsFileOnDisk();

    orvella::configureApplication(*qGuiApp);
    EXPECT_EQ(fileMode(path), 0600);
    // Same place, same text: nothing but the mode changed.
    EXPECT_EQ(QSettings().fileName(), path);
    EXPECT_EQ(settingsFileOnDisk(), before);

    SettingsStore changed;
    changed.zone = QStringLiteral("Zone 7");
    ASSERT_TRUE(changed.persist());
    EXPECT_EQ(fileMode(path), 0600);
    EXPECT_TRUE(settingsFileOnDisk().contains("secret-token"));

    // Group or others' write and execute bits go too; the owner's own stay as they were.
    ASSERT_TRUE(QFile::setPermissions(
        path, QFile::ReadOwner | QFile::ReadGroup | QFile::WriteGroup | QFile::ExeOther));
    orvella::keepSettingsFilePrivate();
    EXPECT_EQ(fileMode(path), 0400);
}

TEST_F(SettingsStoreTest, AFileWhoseModeCannotChangeIsLoggedAndLeftAlone)
{
    const QString path = QSettings().fileName();
    orvella::KeychainStore::set(QStringLiteral("access_token"), QStringLiteral("secret-token"));
    ASSERT_TRUE(QFile::setPermissions(
        path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
    const QByteArray before = settingsFileOnDisk();
    if (!orvella::test::setImmutable(path, true))
        GTEST_SKIP() << "this file system or process cannot make a file immutable";
    {
        const CollectedWarnings warnings;
        orvella::keepSettingsFilePrivate();
        EXPECT_EQ(fileMode(path), 0644);
        EXPECT_EQ(settingsFileOnDisk(), before);
        ASSERT_EQ(CollectedWarnings::lines().size(), 1);
        EXPECT_TRUE(CollectedWarnings::lines().constFirst().startsWith("orvella.session: "));
        EXPECT_TRUE(CollectedWarnings::lines().constFirst().contains(path));
    }
    orvella::test::setImmutable(path, false);
}

} // namespace
