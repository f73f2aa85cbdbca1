#pragma once

// The account screens' models over an app model whose client talks to the service double,
// with a manual clock and a fixed host name.

#include "core/AppModelHarness.h"
#include "platform/Clock.h"
#include "screens/account/LoginScreenModel.h"

namespace orvella::test {

inline QJsonObject deviceCode(const QJsonObject &extra = {})
{
    QJsonObject code { { "device_code", "dc-1" }, { "user_code", "ORV-1234" },
        { "verification_url", "https://orvella.example/activate" }, { "expires_in", 600 },
        { "interval", 5 } };
    for (auto it = extra.begin(); it != extra.end(); ++it) {
        if (it.value().isNull())
            code.remove(it.key());
        else
            code.insert(it.key(), it.value());
    }
    return code;
}

inline ScriptedAnswer pollError(const char *code)
{
    return ScriptedAnswer::error(400, QStringLiteral("Poll answer"), QString::fromLatin1(code));
}

inline QJsonObject tokens()
{
    return { { "access_token", "new-access" }, { "refresh_token", "new-refresh" },
        { "expires_in", 3600 },
        { "user", QJsonObject { { "name", "Grace" }, { "email", "grace@example.org" } } } };
}

class AccountHarness : public AppModelHarness
{
protected:
    // A guest on the sign-in route with the given device-code answer and poll answers.
    LoginScreenModel &signIn(const QJsonObject &code = deviceCode(),
        QList<ScriptedAnswer> polls = { pollError("AUTHORIZATION_PENDING") })
    {
        service.on("POST", "tv/device/code", ScriptedAnswer::envelope(code));
        service.on("POST", "tv/device/token", std::move(polls));
        AppModel &app = build();
        app.navigate(MacRoute::Login);
        return makeLogin(app);
    }

    LoginScreenModel &makeLogin(AppModel &app)
    {
        login = std::make_unique<LoginScreenModel>();
        login->setClock(&screenClock);
        login->setHostName(QStringLiteral("test-host"));
        login->setApp(&app);
        return *login;
    }

    [[nodiscard]] qsizetype polls() const
    {
        return service.requests("POST", "tv/device/token").size();
    }

    // Moves the clock on and lets what it woke (and their network answers) run.
    void advance(std::chrono::milliseconds span)
    {
        screenClock.advance(span);
        spinFor(std::chrono::milliseconds(40));
    }

    // Polls once the delay has passed, and not a millisecond before.
    void expectPollAfter(std::chrono::milliseconds delay)
    {
        const qsizetype before = polls();
        advance(delay - std::chrono::milliseconds(1));
        EXPECT_EQ(polls(), before) << "polled before " << delay.count() << " ms";
        advance(std::chrono::milliseconds(1));
        EXPECT_TRUE(waitUntil([&] { return polls() == before + 1; }))
            << "no poll at " << delay.count() << " ms";
        spinFor(std::chrono::milliseconds(40));
    }

    void TearDown() override
    {
        if (login)
            login->disappear();
        spinFor(std::chrono::milliseconds(30));
        login.reset();
        AppModelHarness::TearDown();
    }

    // The screen's own, so that moving it wakes none of the app model's waits.
    ManualClock screenClock;
    std::unique_ptr<LoginScreenModel> login;
};

} // namespace orvella::test
