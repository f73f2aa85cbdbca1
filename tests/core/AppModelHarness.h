#pragma once

// An app model wired for tests: its API client talks to the service double, its live player
// plays nothing (a fake media player), the sleep guard and the notifier record what they are
// asked, and the clock is a number the test sets.

#include "api/OrvellaAPIClient.h"
#include "app/AppModel.h"
#include "platform/CaptureDeviceCatalog.h"
#include "platform/Clock.h"
#include "platform/FakeMediaPlayer.h"
#include "platform/Notifier.h"
#include "platform/SleepInhibitor.h"
#include "player/PlaybackSleepGuard.h"
#include "player/PlayerController.h"
#include "studio/StudioPlatform.h"
#include "support/ServiceDouble.h"
#include "support/TestAsync.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QNetworkReply>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace orvella::test {

struct PostedNotice
{
    QString id, title, body;
};

class RecordingNotifier : public Notifier
{
public:
    explicit RecordingNotifier(QList<PostedNotice> &posted)
        : m_posted(posted)
    { }
    void post(const QString &id, const QString &title, const QString &body) override
    {
        m_posted.append({ id, title, body });
    }

private:
    QList<PostedNotice> &m_posted;
};

// Counts how many claims are held; the guard is active while both are.
class CountingInhibitor : public SleepInhibitor
{
public:
    explicit CountingInhibitor(int &held)
        : m_held(held)
    { }
    std::uint32_t inhibitDisplaySleep(const QString &) override { return take(); }
    std::uint32_t inhibitIdleSleep(const QString &) override { return take(); }
    void release(std::uint32_t) override { --m_held; }

private:
    std::uint32_t take()
    {
        ++m_held;
        return ++m_next;
    }
    int &m_held;
    std::uint32_t m_next = 0;
};

// Sample answers of the service.
inline QJsonObject sampleConfig(const QJsonObject &minVersions = {})
{
    QJsonObject config {
        { "urls",
            QJsonObject { { "activate", "https://orvella.example/activate-here" },
                { "give", "https://orvella.example/give" } } },
        { "live_languages",
            QJsonArray { QJsonObject { { "code", "en" }, { "label", "English" } },
                QJsonObject { { "code", "fr" }, { "label", "Français" } } } },
        { "force_update_message", "Please update" },
    };
    if (!minVersions.isEmpty())
        config.insert("min_app_version", minVersions);
    return config;
}

inline QJsonObject sampleStream(const QString &lang = QStringLiteral("en"))
{
    return { { "lang", lang }, { "title", "Orvella Live" }, { "status", "live" },
        { "is_live", true }, { "hls_url", "http://127.0.0.1:9/live/" + lang + ".m3u8" } };
}

inline QJsonObject sampleHome()
{
    return { { "hero", QJsonObject { { "title", "Welcome" }, { "subtitle", "Healing streams" } } },
        { "rails", QJsonArray {} } };
}

inline QJsonObject sampleProfile(const QString &name = QStringLiteral("Ada Lovelace"))
{
    return { { "user",
        QJsonObject { { "id", 77 }, { "name", name }, { "email", "ada@example.org" },
            { "phone", "+44 1" }, { "zone", "Zone 7" } } } };
}

class AppModelHarness : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QSettings().clear();
        clock.setSinceEpoch(std::chrono::milliseconds(1'700'000'000'000));
        ASSERT_TRUE(service.start());
        savedBase = qgetenv("ORVELLA_API_BASE");
        qputenv("ORVELLA_API_BASE", service.origin().toString().toUtf8());
        OrvellaAPIClient::Options options;
        options.cacheDirectory = cacheDir.path();
        client = std::make_unique<OrvellaAPIClient>(options);
        guard = std::make_unique<PlaybackSleepGuard>(std::make_unique<CountingInhibitor>(claims));
    }

    void TearDown() override
    {
        // Screen models go first, and their stopped tasks end, before the app model they read.
        if (!models.empty()) {
            models.clear();
            test::spinFor(std::chrono::milliseconds(30));
        }
        model.reset();
        // Requests still in flight end with the connection, so the coroutines awaiting them run
        // to their end instead of staying suspended past the test.
        service.stop();
        test::waitUntil([this] { return client->findChildren<QNetworkReply *>().isEmpty(); }, 2s);
        QSettings().clear();
        if (savedBase.isNull())
            qunsetenv("ORVELLA_API_BASE");
        else
            qputenv("ORVELLA_API_BASE", savedBase);
    }

    // What a fixture changes of the services above before the model is built.
    virtual void adjust(AppBuilder &) { }

    // Builds the model; with `bootstrap` its start-up runs as in the application.
    AppModel &build(bool bootstrap = false)
    {
        auto fake = std::make_unique<FakeMediaPlayer>();
        player = fake.get();
        AppBuilder builder;
        builder.client(*client)
            .sleepGuard(*guard)
            .clock(clock)
            .livePlayer(std::make_unique<PlayerController>(std::move(fake)))
            .notifier(std::make_unique<RecordingNotifier>(notices))
            .applicationActive([this] { return applicationActive; })
            .endEventLoop([this] {
                ++eventLoopEnds;
                if (whenEventLoopEnds)
                    whenEventLoopEnds();
            })
            .studio([](AppModel &) {
                // No device enumeration: the studio is only held here.
                StudioPlatform studio;
                studio.devices = std::make_unique<SyntheticCaptureDeviceCatalog>();
                return std::make_unique<StudioCaptureController>(std::move(studio));
            });
        if (!bootstrap)
            builder.withoutBootstrap();
        adjust(builder);
        model = builder.build();
        return *model;
    }

    // A screen model over `app`, held until the test ends.
    template<typename T>
    T &make(AppModel &app)
    {
        models.push_back(std::make_unique<T>());
        auto &screen = static_cast<T &>(*models.back());
        screen.setApp(&app);
        return screen;
    }

    // A stored session as a previous run left it; expiry in seconds from now, or none.
    void storeSession(std::optional<double> expiresIn = 3600,
        const QString &access = QStringLiteral("access-1"),
        const QString &refresh = QStringLiteral("refresh-1"))
    {
        QSettings settings;
        settings.setValue("orvella.session.access_token", access);
        settings.setValue("orvella.session.refresh_token", refresh);
        if (expiresIn)
            settings.setValue("access_expires", nowSeconds() + *expiresIn);
    }

    // Built over the session a previous run left, restored.
    AppModel &signedIn()
    {
        storeSession();
        AppModel &app = build();
        app.restoreSession();
        return app;
    }

    // Answers for everything a signed-in start-up asks.
    void scriptStartup(const QJsonObject &config = sampleConfig())
    {
        service.on("GET", "tv/config", ScriptedAnswer::envelope(config));
        service.on("GET", "live/stream", ScriptedAnswer::envelope(sampleStream()));
        service.on("GET", "tv/home", ScriptedAnswer::envelope(sampleHome()));
        service.on("GET", "user/continue-watching",
            ScriptedAnswer::envelope(QJsonObject { { "items",
                QJsonArray { QJsonObject { { "episode_id", "e1" }, { "title", "One" } } } } }));
        service.on("GET", "programs",
            ScriptedAnswer::envelope(QJsonObject {
                { "programs", QJsonArray { QJsonObject { { "id", 5 }, { "title", "Prog" } } } } }));
        service.on("GET", "user/profile", ScriptedAnswer::envelope(sampleProfile()));
    }

    // The API paths of the recorded requests with their methods ("GET tv/config").
    [[nodiscard]] QStringList requestLines() const
    {
        QStringList lines;
        for (const RecordedRequest &request : service.requests())
            lines.append(QString::fromLatin1(request.method) + u' ' + request.apiPath());
        return lines;
    }

    // The language each live-stream request asked for, in order.
    [[nodiscard]] QStringList streamLanguages() const
    {
        QStringList asked;
        for (const RecordedRequest &request : service.requests("GET", "live/stream"))
            asked.append(request.queryValue(QStringLiteral("lang")));
        return asked;
    }

    [[nodiscard]] static QVariant stored(const char *key) { return QSettings().value(key); }
    [[nodiscard]] double nowSeconds() const { return double(clock.sinceEpoch().count()) / 1000.0; }

    ServiceDouble service;
    QTemporaryDir cacheDir;
    QByteArray savedBase;
    std::unique_ptr<OrvellaAPIClient> client;
    int claims = 0;
    std::unique_ptr<PlaybackSleepGuard> guard;
    QList<PostedNotice> notices;
    ManualClock clock;
    bool applicationActive = false;
    // How often quitting ended the event loop, and what to look at when it does.
    int eventLoopEnds = 0;
    std::function<void()> whenEventLoopEnds;
    FakeMediaPlayer *player = nullptr;
    std::unique_ptr<AppModel> model;
    std::vector<std::unique_ptr<QObject>> models; // see make()
};

} // namespace orvella::test
