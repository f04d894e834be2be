// The batch tool's exit statuses, shared by its subcommands.
#pragma once

namespace vz {

inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;    // the output could not be written
inline constexpr int kExitBadInput = 2;  // bad arguments, or the output exists
// A command stopped by signal `signal` returns this, as a shell reports it.
constexpr int exit_code_for_signal(int signal) { return 128 + signal; }

}  // namespace vz
