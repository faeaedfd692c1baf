// The millisecond clock: three counters advanced by the timer callback every
// millisecond (the game count only while not paused) and a retrace counter that
// ticks exactly 60 times per 1000 callbacks. The callback only increments.
#include "time.h"
#include "quit_signal.h"
#include "utils.h"

#include <allegro.h>
#include <chrono>
#include <thread>

std::atomic<int> iClock{0};
std::atomic<int> iCount{0};
std::atomic<int> iFadeCount{0};

namespace {
constexpr int MS_PER_SECOND = 1000;
constexpr int RETRACE_HZ = 60;  // ticks of the retrace counter per second
constexpr int TIMER_PERIOD = 1; // ms between timer callbacks
constexpr std::chrono::milliseconds YIELD_TIME{1}; // sleep of one pass of a waiting loop

// Clock state shared with the timer thread, for the whole run.
struct ClockState {
    std::atomic<int> bPause{0};      // TRUE (-1) while the game count stands still
    std::atomic<int> iRetrace{0};    // 60 Hz ticks since start
    int iRetracePhase = 0;           // RETRACE_HZ per ms, wraps at MS_PER_SECOND; callback only
    bool bInstalled = false;         // the timer callback is installed
};
ClockState g_tClock;

// One pass of a waiting loop; a quit signal ends the game here.
void yield_a_moment()
{
    leave_if_quit_signal();
    std::this_thread::sleep_for(YIELD_TIME);
}
} // namespace

void increase_clock()
{
    if (!g_tClock.bPause.load(std::memory_order_relaxed))
        iCount.fetch_add(1, std::memory_order_relaxed);
    iClock.fetch_add(1, std::memory_order_relaxed);
    iFadeCount.fetch_add(1, std::memory_order_relaxed);
    g_tClock.iRetracePhase += RETRACE_HZ;
    if (g_tClock.iRetracePhase >= MS_PER_SECOND) {
        g_tClock.iRetracePhase -= MS_PER_SECOND;
        g_tClock.iRetrace.fetch_add(1, std::memory_order_release);
    }
}
END_OF_FUNCTION(increase_clock)

void timer_init()
{
    if (install_timer() != 0)
        error_message("Error al inicializar install_timer()");
    LOCK_FUNCTION(increase_clock);
    install_int(increase_clock, TIMER_PERIOD);
    g_tClock.bInstalled = true;
    iClock = 0;
    iCount = 0;
    iFadeCount = 0;
    unpause_count();
}

void timer_exit()
{
    if (!g_tClock.bInstalled)
        return;
    remove_int(increase_clock);
    remove_timer();
    g_tClock.bInstalled = false;
}

void clean_clock() { iClock = 0; }
void clean_count() { iCount = 0; }
void clean_fade_count() { iFadeCount = 0; }
void pause_count() { g_tClock.bPause = TRUE; }
void unpause_count() { g_tClock.bPause = 0; }

int return_count() { return iCount; }
int return_fade_count() { return iFadeCount; }
int return_retrace_count() { return g_tClock.iRetrace.load(std::memory_order_acquire); }

void wait_clock(int iTime)
{
    while (iClock <= iTime)
        yield_a_moment();
    iClock = 0;
}

void wait_clock_or_key(int iTime)
{
    clear_keybuf();
    while (iClock <= iTime && !keypressed())
        yield_a_moment();
    iClock = 0;
}

void wait_retrace()
{
    const int iStart = return_retrace_count();
    while (return_retrace_count() == iStart)
        yield_a_moment();
}
