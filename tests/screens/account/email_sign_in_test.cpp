// E-mail sign-in against the service double, and how it hands phone approval back.
#include "AccountHarness.h"
#include "core/SettingsModel.h"

namespace orvella::test {
namespace {

using namespace std::chrono_literals;

class EmailSignIn : public AccountHarness
{
};

TEST_F(EmailSignIn, TheButtonNeedsANameAndAnAddressWithAtAndDot)
{
    AppModel &app = build();
    LoginScreenModel &screen = makeLogin(app);
    const struct
    {
        const char *name, *email;
        bool enabled;
    } cases[] = { { "Ada", "ada@example.org", true }, { "   ", "ada@example.org", false },
        { "Ada", "ada@example", false }, { "Ada", "ada.example.org", false },
        { "Ada", " ada@example.org ", true } };
    for (const auto &c : cases) {
        screen.setFullName(QString::fromUtf8(c.name));
        screen.setEmail(QString::fromUtf8(c.email));
        EXPECT_EQ(screen.canSubmitEmail(), c.enabled) << c.name << " / " << c.email;
    }
    // Submitting anyway with a blank name sends nothing.
    screen.setFullName(QStringLiteral(" "));
    runTask(screen.submitEmailLogin());
    EXPECT_EQ(screen.emailErrorText(), QStringLiteral("Enter your full name and a valid email."));
    EXPECT_TRUE(service.requests("POST", "auth/login").isEmpty());
}

TEST_F(EmailSignIn, SendsTheTrimmedLowerCasedAddressAndStoresItOnlyOnSuccess)
{
    scriptStartup();
    QJsonObject answer = tokens();
    answer.remove("user"); // a user in the answer would be taken into the settings after
    service.on("POST", "auth/login", ScriptedAnswer::envelope(answer).withDelay(200ms));
    AppModel &app = build();
    app.navigate(MacRoute::Login);
    LoginScreenModel &screen = makeLogin(app);
    screen.setFullName(QStringLiteral("  Ada Lovelace "));
    screen.setEmail(QStringLiteral("  Ada@Example.ORG "));
    screen.submitEmail();
    EXPECT_TRUE(screen.isSubmittingEmail());
    ASSERT_TRUE(waitUntil([&] { return service.requests("POST", "auth/login").size() == 1; }));
    EXPECT_FALSE(QSettings().contains("profile.email")); // nothing stored before the answer
    const RecordedRequest request = service.requests("POST", "auth/login").first();
    EXPECT_EQ(request.body,
        R"({"fullname":"Ada Lovelace","email":"ada@example.org","device_id":")"
            + OrvellaAPIClient::deviceId().toUtf8() + R"(","platform":"macos"})");
    EXPECT_EQ(request.header("X-Platform"), "macos");
    EXPECT_TRUE(request.header("Authorization").isEmpty());
    ASSERT_TRUE(waitUntil([&] { return app.route() == MacRoute::Live; }));
    EXPECT_FALSE(screen.isSubmittingEmail());
    QSettings settings;
    EXPECT_EQ(settings.value("profile.email").toString(), QStringLiteral("ada@example.org"));
    EXPECT_FALSE(app.isGuest());
}

TEST_F(EmailSignIn, AFailureShowsItsTextKeepsTheFormAndHandsPhoneApprovalBack)
{
    const struct
    {
        const char *name;
        ScriptedAnswer answer;
        QString error;
    } cases[] = {
        { "no data", ScriptedAnswer::json(QJsonObject { { "status", "success" } }),
            QStringLiteral("Empty response") },
        { "refused",
            ScriptedAnswer::error(422, QStringLiteral("Please enter a valid e-mail address.")),
            QStringLiteral("Please enter a valid e-mail address.") },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        service.clearRequests();
        QSettings().clear();
        service.on("POST", "auth/login", c.answer.withDelay(200ms));
        LoginScreenModel &screen = signIn();
        screen.appear();
        ASSERT_TRUE(waitUntil([&] { return screen.hasCode(); }));
        screen.setFullName(QStringLiteral("Ada"));
        screen.setEmail(QStringLiteral("ada@example.org"));
        screen.submitEmail();
        EXPECT_FALSE(screen.pairing());
        ASSERT_TRUE(waitUntil([&] { return !screen.isSubmittingEmail(); }));
        EXPECT_EQ(screen.emailErrorText(), c.error);
        EXPECT_EQ(screen.fullName(), QStringLiteral("Ada"));
        EXPECT_FALSE(QSettings().contains("profile.name"));
        // The loop was still in its first wait: it goes on polling.
        EXPECT_TRUE(screen.pairing());
        expectPollAfter(5s);
        screen.disappear();
    }
}

TEST_F(EmailSignIn, ALoopThatStoppedForTheSubmissionResumesWithItsDeadline)
{
    service.on("POST", "auth/login",
        ScriptedAnswer::error(500, QStringLiteral("Mail down")).withDelay(800ms));
    LoginScreenModel &screen = signIn(deviceCode({ { "expires_in", 12 } }));
    screen.appear();
    ASSERT_TRUE(waitUntil([&] { return screen.hasCode(); }));
    screen.setFullName(QStringLiteral("Ada"));
    screen.setEmail(QStringLiteral("ada@example.org"));
    screen.submitEmail();
    expectPollAfter(5s); // the wait and request under way finish; then the loop stops
    spinFor(100ms);
    advance(5s);
    EXPECT_EQ(polls(), 1);
    ASSERT_TRUE(waitUntil([&] { return screen.hasEmailError(); }));
    EXPECT_TRUE(screen.pairing());
    // Resumed at t=10 s with the deadline at 12 s: one wait of 2 s ends it, without a request.
    advance(2s);
    EXPECT_EQ(screen.pairingStatus(), QStringLiteral("Code expired — request a new one"));
    EXPECT_EQ(polls(), 1);
}

} // namespace
} // namespace orvella::test
