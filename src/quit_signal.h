// Ending the game from outside: SIGTERM and SIGINT only note the signal, and
// the game thread, at its next frame (update_fmod and the clock's waits), runs
// the shutdown sequence and exits with 128 + the signal's number (143, 130).
#pragma once

// Takes SIGTERM and SIGINT over, also from the graphics library, whose own
// handlers shut it down inside the signal and can abort the program.
void install_quit_signals();
// The signal that asked the game to end, 0 while none came.
int quit_signal();
// After a quit signal: the shutdown sequence and the exit; else nothing.
void leave_if_quit_signal();
