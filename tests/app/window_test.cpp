#include "api/ServiceOrigin.h"

#include <QCoreApplication>
#include <QSettings>
#include <gtest/gtest.h>

namespace {

TEST(MainWindow, SettingsLiveUnderTheOrganisationAndApplicationNames)
{
    EXPECT_EQ(QCoreApplication::organizationName(), "Orvella");
    EXPECT_EQ(QCoreApplication::applicationName(), "OrvellaTV");
    QSettings settings;
    EXPECT_TRUE(settings.fileName().endsWith("Orvella/OrvellaTV.conf"))
        << settings.fileName().toStdString();
}

TEST(ServiceOrigin, ComesFromTheEnvironmentAndFallsBackWhenUnusable)
{
    const QByteArray saved = qgetenv("ORVELLA_API_BASE");
    qputenv("ORVELLA_API_BASE", "http://127.0.0.1:4567/ignored/path?x=1");
    EXPECT_EQ(orvella::serviceOrigin(), QUrl("http://127.0.0.1:4567"));
    EXPECT_EQ(orvella::servicePage("activate"), QUrl("http://127.0.0.1:4567/activate"));
    qputenv("ORVELLA_API_BASE", "not a url");
    EXPECT_EQ(orvella::serviceOrigin().scheme(), "https");
    EXPECT_FALSE(orvella::serviceOrigin().host().isEmpty());
    if (saved.isNull())
        qunsetenv("ORVELLA_API_BASE");
    else
        qputenv("ORVELLA_API_BASE", saved);
}

} // namespace
