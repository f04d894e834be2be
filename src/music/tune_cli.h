// The batch tool's `tune` subcommand:
//   vuzuduzi-render tune --counters SOL,FON,BAS [--wav FILE]
// Composes the tune with the given counter values (the settings store is not
// touched), prints its table and optionally renders it to a new WAV file.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "music/sound_fonts.h"

namespace vz {

// `args` are the arguments after `tune`. On success prints every non-empty
// cell as "step slot HHHHHHHH" (value in 8 upper-case hex digits), steps then
// slots ascending, and returns 0. Bad arguments or an existing --wav file:
// one line on `err`, 2. Rendering or writing failed: one line on `err`, 1.
// Nothing goes to `out` unless the command succeeds.
int tune_cli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const std::vector<std::string>& sound_fonts = default_sound_fonts());

}  // namespace vz
