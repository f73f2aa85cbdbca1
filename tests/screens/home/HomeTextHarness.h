#pragma once

// The languages and written-testimony screens over an app model whose client talks to the
// service double; links handed to the desktop are caught instead of opened.

#include "core/AppModelHarness.h"

#include <QDesktopServices>
#include <QObject>
#include <QUrl>

namespace orvella::test {

// Catches every URL the client asks the desktop to open, of any of these schemes.
class OpenedLinks : public QObject
{
    Q_OBJECT
public:
    OpenedLinks()
    {
        for (const QString &scheme : schemes())
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~OpenedLinks() override
    {
        for (const QString &scheme : schemes())
            QDesktopServices::unsetUrlHandler(scheme);
    }
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }

private:
    static QStringList schemes()
    {
        return { QStringLiteral("https"), QStringLiteral("http"), QStringLiteral("file"),
            QStringLiteral("javascript") };
    }
};

class HomeTextHarness : public AppModelHarness
{
protected:
    // A signed-in model that fetched this configuration (no configuration: the fetch fails).
    AppModel &withConfig(const std::optional<QJsonObject> &config)
    {
        if (config)
            service.on("GET", "tv/config", ScriptedAnswer::envelope(*config));
        else
            service.on("GET", "tv/config", ScriptedAnswer::error(500, QStringLiteral("Down")));
        storeSession();
        AppModel &app = build();
        app.restoreSession();
        runTask(app.refreshEventScheduleData());
        EXPECT_EQ(app.config().has_value(), config.has_value());
        return app;
    }

    // The stored draft as a fresh settings object reads it; "-" for a key never stored.
    static QStringList storedDraft()
    {
        const QSettings settings;
        QStringList fields;
        for (const char *key :
            { "testimony.draft.name", "testimony.draft.email", "testimony.draft.story" }) {
            const QString name = QString::fromLatin1(key);
            fields.append(
                settings.contains(name) ? settings.value(name).toString() : QStringLiteral("-"));
        }
        return fields;
    }

    OpenedLinks opened;
};

} // namespace orvella::test
