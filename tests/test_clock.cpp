// The millisecond clock's counters, pause rule, waits and retrace ticks.
#include "headless.h"
#include "time.h"

namespace {
void reset_clock()
{
    clean_clock();
    clean_count();
    clean_fade_count();
    unpause_count();
}
} // namespace

// Fades and menu pacing must keep running while the game count is paused;
// each counter is reset on its own.
TEST(Clock, CountersAdvancePauseAndResetEachOnItsOwn)
{
    reset_clock();
    const auto ticks = [](int n) {
        for (int i = 0; i < n; i++)
            increase_clock();
    };
    const auto counters = [] { return std::tuple{static_cast<int>(iClock), return_count(), return_fade_count()}; };
    ticks(1000);
    EXPECT_EQ(counters(), std::tuple(1000, 1000, 1000));
    pause_count();
    ticks(250);
    EXPECT_EQ(counters(), std::tuple(1250, 1000, 1250));
    unpause_count();
    ticks(5);
    clean_clock();
    EXPECT_EQ(counters(), std::tuple(0, 1005, 1255));
    clean_count();
    EXPECT_EQ(counters(), std::tuple(0, 0, 1255));
    clean_fade_count();
    EXPECT_EQ(return_fade_count(), 0);
}

// 60 retrace ticks a second, every 16 or 17 ms.
TEST(Clock, RetraceTicksAreEvenlySpaced)
{
    reset_clock();
    const int iBefore = return_retrace_count();
    while (return_retrace_count() == iBefore)
        increase_clock();
    const int iFirst = return_retrace_count();
    int iLast = iFirst, iSinceTick = 0;
    for (int ms = 0; ms < 10000; ms++) {
        increase_clock();
        iSinceTick++;
        if (return_retrace_count() != iLast) {
            EXPECT_TRUE(iSinceTick == 16 || iSinceTick == 17) << iSinceTick;
            iLast = return_retrace_count();
            iSinceTick = 0;
        }
    }
    EXPECT_EQ(iLast - iFirst, 600);
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
