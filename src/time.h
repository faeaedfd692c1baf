// The game's millisecond clock, driven by a 1 ms timer callback, and the
// 60 Hz retrace wait that stands in for the display's vertical retrace.
#pragma once
#include <atomic>

// Written only by the timer callback (and by the resets below); read anywhere.
extern std::atomic<int> iClock;     // ms since the last clean_clock or wait
extern std::atomic<int> iCount;     // game time in ms; stands still while paused
extern std::atomic<int> iFadeCount; // ms for fades

void timer_init();
void timer_exit();
void increase_clock(); // the timer callback, called every millisecond

void clean_clock();
void clean_count();
void clean_fade_count();
void pause_count();
void unpause_count();

int return_count();
int return_fade_count();

// Waits, yielding the processor, until more than iTime ms have passed since the
// last reset of iClock; then resets it.
void wait_clock(int iTime);
// As wait_clock, but a key press ends the wait early (keys pressed before are discarded).
void wait_clock_or_key(int iTime);

// Waits for the next tick of the 60 Hz retrace counter.
void wait_retrace();
int return_retrace_count();
