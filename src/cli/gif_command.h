// `vuzuduzi-render gif`: one generation run from the command line, through
// the same run code as the window's Start button.
#pragma once

#include <iosfwd>

#include "cli/gif_options.h"

namespace CLI {
class App;
}

namespace vz {

// Declares the `gif` subcommand and its options on `tool`.
CLI::App* add_gif_command(CLI::App& tool, GifArguments& arguments);

struct RequestProblem;
// The line that says why a run refused its request, as
// "invalid run request: frame count 0 is outside 1..100".
std::string refusal_line(const RequestProblem& problem);

// Runs it. Returns 0 done, 1 write failure, 2 bad input or existing file,
// 128 + signal when stopped by a signal. With `check_only` it stops before
// the run, once the request is made and checked.
int gif_command(const GifArguments& arguments, std::ostream& out, std::ostream& err, bool check_only = false);

}  // namespace vz
