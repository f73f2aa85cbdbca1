#include "support/TestAsync.h"

#include <QCoroTimer>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace std::chrono_literals;
using orvella::test::runTask;

namespace {

QCoro::Task<int> answerAfter(std::chrono::milliseconds wait, int value)
{
    QTimer timer;
    timer.setSingleShot(true);
    timer.start(wait);
    co_await timer;
    co_return value;
}

QCoro::Task<int> failAfter(std::chrono::milliseconds wait)
{
    co_await answerAfter(wait, 0);
    throw std::invalid_argument("bad answer");
}

QCoro::Task<> setAfter(std::chrono::milliseconds wait, bool &flag)
{
    co_await answerAfter(wait, 0);
    flag = true;
}

TEST(RunTask, ReturnsTheValueOfAnAwaitingTask)
{
    EXPECT_EQ(runTask(answerAfter(20ms, 42)), 42);
    bool set = false;
    runTask(setAfter(5ms, set));
    EXPECT_TRUE(set);
}

TEST(RunTask, RethrowsWhatTheTaskThrew)
{
    EXPECT_THROW(runTask(failAfter(5ms)), std::invalid_argument);
}

TEST(RunTask, GivesUpAtTheDeadline)
{
    EXPECT_THROW(runTask(answerAfter(150ms, 1), 30ms), orvella::test::TaskDeadlineExceeded);
    // The abandoned task finishes later without touching the frame runTask returned from (and
    // frees itself, which the leak checker of sanitizer builds watches).
    orvella::test::spinFor(250ms);
}

TEST(WaitUntil, ReportsWhetherTheConditionCameTrueInTime)
{
    bool flag = false;
    QTimer::singleShot(20ms, [&] { flag = true; });
    EXPECT_TRUE(orvella::test::waitUntil([&] { return flag; }, 2s));
    EXPECT_FALSE(orvella::test::waitUntil([] { return false; }, 20ms));
}

} // namespace
