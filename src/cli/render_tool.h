// vuzuduzi-render's command line: one parser for its subcommands, `gif` and
// `tune`, answering --help and --version by convention. Kept apart from
// main() so tests can run it in the same process.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/exit_codes.h"
#include "music/sound_fonts.h"

namespace vz {

// `args` are the arguments after the program's name. Usage and version go to
// `out` with status 0; a bad argument gives one line on `err` naming it and
// status 2.
// With `check_only` the commands stop once their arguments are checked and
// write no file (for fuzzing the command line).
int render_tool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                const std::vector<std::string>& sound_fonts = default_sound_fonts(), bool check_only = false);

}  // namespace vz
