// SIGINT, SIGTERM and SIGHUP while a command writes a file. The first one is
// only recorded: the command stops at its next check and removes what it was
// writing. Then the process dies by that same signal (die_by_received_signal),
// so a shell running it in a loop sees the interruption and stops too.
// A second signal ends the process at once.
#pragma once

namespace vz {

class TerminationSignals {
public:
    // Forgets any earlier signal, then installs the handlers. Signals that
    // were ignored when the program started (a background job) stay ignored.
    TerminationSignals();
    ~TerminationSignals();  // puts the earlier handlers back
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // The first signal received, 0 while none has come.
    static int received();
};

// When a signal was received, flushes the standard streams, restores its
// default action and raises it; returns only when none was received.
void die_by_received_signal();

}  // namespace vz
