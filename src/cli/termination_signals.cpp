#include "cli/termination_signals.h"

#include <signal.h>

#include <atomic>
#include <cstdio>
#include <iostream>

namespace vz {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
// Set by the handler on whichever thread takes the signal, read by the main
// thread: a lock-free atomic, which is safe to use in a signal handler.
std::atomic<int> g_received{0};
static_assert(std::atomic<int>::is_always_lock_free);
struct sigaction g_saved[3];
bool g_installed[3] = {};

void on_signal(int signal_number) {
    if (g_received == 0) {
        g_received = signal_number;
        return;
    }
    // A second signal: no more waiting for the command to wind up. The
    // signal is blocked inside its own handler, so the default action
    // takes it as soon as the handler returns.
    ::signal(signal_number, SIG_DFL);
    ::raise(signal_number);
}

}  // namespace

TerminationSignals::TerminationSignals() {
    g_received = 0;
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    for (int s : kSignals) sigaddset(&action.sa_mask, s);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i) {
        struct sigaction current {};
        ::sigaction(kSignals[i], nullptr, &current);
        g_installed[i] = current.sa_handler != SIG_IGN && ::sigaction(kSignals[i], &action, &g_saved[i]) == 0;
    }
}

TerminationSignals::~TerminationSignals() {
    for (int i = 0; i < 3; ++i) {
        if (g_installed[i]) ::sigaction(kSignals[i], &g_saved[i], nullptr);
        g_installed[i] = false;
    }
}

int TerminationSignals::received() { return g_received; }

void die_by_received_signal() {
    const int signal_number = g_received;
    if (signal_number == 0) return;
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    ::signal(signal_number, SIG_DFL);
    sigset_t unblock;
    sigemptyset(&unblock);
    sigaddset(&unblock, signal_number);
    ::sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
    ::raise(signal_number);
}

}  // namespace vz
