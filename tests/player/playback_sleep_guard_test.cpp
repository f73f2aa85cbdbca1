#include "player/PlaybackSleepGuard.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <set>

using namespace orvella;

namespace {
struct Claims
{
    int display = 0;
    int idle = 0;
    int releases = 0;
    std::set<std::uint32_t> held;
    QStringList reasons;
    bool displayFails = false;
    bool idleFails = false;
};

class RecordingInhibitor : public SleepInhibitor
{
public:
    explicit RecordingInhibitor(Claims &claims)
        : m_claims(claims)
    { }
    std::uint32_t inhibitDisplaySleep(const QString &reason) override
    {
        ++m_claims.display;
        m_claims.reasons.append(reason);
        return m_claims.displayFails ? 0 : take();
    }
    std::uint32_t inhibitIdleSleep(const QString &) override
    {
        ++m_claims.idle;
        return m_claims.idleFails ? 0 : take();
    }
    void release(std::uint32_t id) override
    {
        ++m_claims.releases;
        m_claims.held.erase(id);
    }

private:
    std::uint32_t take()
    {
        const std::uint32_t id = m_next++;
        m_claims.held.insert(id);
        return id;
    }
    Claims &m_claims;
    std::uint32_t m_next = 7;
};

TEST(PlaybackSleepGuardTest, IsIdempotentAndReleasesBothClaims)
{
    Claims claims;
    PlaybackSleepGuard guard(std::make_unique<RecordingInhibitor>(claims));
    guard.setActive(true, QStringLiteral("Orvella Live"));
    guard.setActive(true, QStringLiteral("Orvella Live"));
    EXPECT_EQ(claims.display, 1);
    EXPECT_EQ(claims.idle, 1);
    EXPECT_TRUE(guard.isActive());

    guard.setActive(false, QStringLiteral("Orvella TV playback"));
    EXPECT_TRUE(claims.held.empty());
    EXPECT_EQ(guard.displayAssertionId(), 0u);
    EXPECT_EQ(guard.systemAssertionId(), 0u);

    guard.setActive(false, QStringLiteral("Orvella TV playback"));
    EXPECT_EQ(claims.releases, 2) << "switching off while off calls nothing";

    guard.setActive(true, QStringLiteral("Orvella Live"));
    EXPECT_EQ(claims.display, 2);
    EXPECT_EQ(claims.held.size(), 2u);
}

TEST(PlaybackSleepGuardTest, OneClaimIsEnoughAndNoneLeavesItOffToRetry)
{
    Claims claims;
    claims.displayFails = true;
    PlaybackSleepGuard guard(std::make_unique<RecordingInhibitor>(claims));
    guard.setActive(true, QStringLiteral("Orvella Live"));
    EXPECT_TRUE(guard.isActive());
    EXPECT_EQ(guard.displayAssertionId(), 0u);
    guard.setActive(false, {});
    EXPECT_EQ(claims.releases, 1);

    claims.idleFails = true;
    guard.setActive(true, QStringLiteral("Orvella Live"));
    EXPECT_FALSE(guard.isActive());
    guard.setActive(true, QStringLiteral("Orvella Live"));
    EXPECT_EQ(claims.display, 3) << "the next switch on tries again";
}

TEST(PlaybackSleepGuardTest, TheClaimFollowsThePlayerOnScreen)
{
    Claims claims;
    PlaybackSleepGuard guard(std::make_unique<RecordingInhibitor>(claims));
    const int live = 0, first = 0, second = 0;

    guard.playerShown(&live, true);
    EXPECT_TRUE(guard.isActive());
    guard.playerHidden(&live);
    EXPECT_FALSE(guard.isActive()) << "live left the screen";
    guard.playerShown(&first, false);
    EXPECT_FALSE(guard.isActive()) << "an episode that does not play yet";
    guard.playerWantsAwake(&first, true);
    EXPECT_TRUE(guard.isActive());
    guard.playerWantsAwake(&first, false);
    EXPECT_FALSE(guard.isActive()) << "paused";
    guard.playerWantsAwake(&first, true);

    // The next episode's screen comes before the first one's goes.
    guard.playerShown(&second, false);
    guard.playerWantsAwake(&second, true);
    guard.playerWantsAwake(&first, false);
    guard.playerHidden(&first);
    EXPECT_TRUE(guard.isActive()) << "news from a player off screen changes nothing";

    guard.playerShown(&live, true);
    guard.playerWantsAwake(&second, false);
    guard.playerHidden(&second);
    EXPECT_TRUE(guard.isActive()) << "back on live";
    EXPECT_EQ(claims.held.size(), 2u) << "one claim of each kind, never stacked";
    guard.playerHidden(&live);
    EXPECT_TRUE(claims.held.empty());
    EXPECT_EQ(claims.reasons.size(), qsizetype(claims.display));
    EXPECT_EQ(claims.reasons.removeAll(QStringLiteral("Orvella Live")), qsizetype(claims.display))
        << "switched on with the live reason";
}

TEST(PlaybackSleepGuardTest, WithoutABusTheSharedGuardFailsNothing)
{
    // Under the test runner there may or may not be a session bus; either way nothing throws
    // and switching off always leaves the guard off.
    PlaybackSleepGuard::shared().setActive(true, QStringLiteral("Orvella Live"));
    PlaybackSleepGuard::shared().setActive(false, QStringLiteral("Orvella TV playback"));
    EXPECT_FALSE(PlaybackSleepGuard::shared().isActive());
}

} // namespace
