// The millisecond clock's counters, pause rule, waits and retrace ticks.
#include "headless.h"
#include "time.h"

#include <gtest/gtest.h>

namespace {
void reset_clock()
{
    clean_clock();
    clean_count();
    clean_fade_count();
    unpause_count();
}
void tick(int n)
{
    for (int i = 0; i < n; i++)
        increase_clock();
}
} // namespace

// Fades and menu pacing must keep running while the game count is paused.
TEST(Clock, CountersAdvancePauseAndResetEachOnItsOwn)
{
    reset_clock();
    const int iRetraceBefore = return_retrace_count();
    tick(1000);
    EXPECT_EQ(iClock, 1000);
    EXPECT_EQ(return_count(), 1000);
    EXPECT_EQ(return_fade_count(), 1000);
    EXPECT_EQ(return_retrace_count() - iRetraceBefore, 60);
    pause_count();
    tick(250);
    EXPECT_EQ(return_count(), 1000);
    EXPECT_EQ(iClock, 1250);
    EXPECT_EQ(return_fade_count(), 1250);
    unpause_count();
    tick(5);
    EXPECT_EQ(return_count(), 1005);
    clean_clock();
    EXPECT_EQ(iClock, 0);
    EXPECT_EQ(return_count(), 1005);
    clean_count();
    EXPECT_EQ(return_count(), 0);
    EXPECT_EQ(return_fade_count(), 1255);
    clean_fade_count();
    EXPECT_EQ(return_fade_count(), 0);
}

TEST(Clock, RetraceTicksAreEvenlySpaced)
{
    reset_clock();
    int iLast = return_retrace_count();
    while (return_retrace_count() == iLast)
        increase_clock();
    iLast = return_retrace_count();
    int iSinceTick = 0;
    for (int ms = 0; ms < 10000; ms++) {
        increase_clock();
        iSinceTick++;
        if (return_retrace_count() != iLast) {
            EXPECT_GE(iSinceTick, 16);
            EXPECT_LE(iSinceTick, 17);
            iLast = return_retrace_count();
            iSinceTick = 0;
        }
    }
}

TEST(Clock, WaitsRunPastTheirTimeThenReset)
{
    for (int iTime : {0, 1, 33}) {
        reset_clock();
        ClockFeeder tFeeder;
        wait_clock(iTime);
        const int iAfter = iClock;
        const int iElapsed = return_fade_count();
        EXPECT_GE(iElapsed, iTime + 1) << "wait_clock(" << iTime << ")";
        EXPECT_LT(iAfter, iElapsed) << "iClock was reset by wait_clock(" << iTime << ")";
    }
    ClockFeeder tFeeder;
    const int iBefore = return_retrace_count();
    wait_retrace();
    EXPECT_GT(return_retrace_count(), iBefore);
}
