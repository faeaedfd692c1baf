// The quit signals' handler does nothing but note the signal: only
// async-signal-safe work may happen in it, and it may run on any thread (the
// audio or timer thread as well as the game's).
#include "quit_signal.h"
#include "main.h"

#include <csignal>
#include <cstdlib>

namespace {
constexpr int SIGNAL_EXIT_BASE = 128; // a shell's status for a program ended by a signal
constexpr int aiQuitSignals[] = {SIGTERM, SIGINT};

volatile sig_atomic_t g_iQuitSignal = 0;
bool g_bLeaving = false; // the shutdown has begun: a frame inside it must not start it again

void note_quit_signal(int iSignal) { g_iQuitSignal = iSignal; }
} // namespace

void install_quit_signals()
{
    struct sigaction tAction = {};
    tAction.sa_handler = note_quit_signal;
    sigemptyset(&tAction.sa_mask);
    tAction.sa_flags = SA_RESTART; // a read or a wait in progress goes on
    for (int iSignal : aiQuitSignals)
        sigaction(iSignal, &tAction, nullptr);
}

int quit_signal() { return g_iQuitSignal; }

void leave_if_quit_signal()
{
    const int iSignal = g_iQuitSignal;
    if (iSignal == 0 || g_bLeaving)
        return;
    g_bLeaving = true;
    libraries_exit();
    exit(SIGNAL_EXIT_BASE + iSignal);
}
