// `vuzuduzi-render tune --counters SOL,FON,BAS [--wav FILE [--sound-font SF2]]`:
// composes the tune with the given counter values (no settings store is
// touched), prints its table and optionally renders it to a new WAV file,
// with the window's sound font or the one given.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace vz {

struct TuneArguments {
    std::string counters;
    std::optional<std::string> wav;
    std::optional<std::string> sound_font;
};

// Declares the `tune` subcommand and its options on `tool`.
CLI::App* add_tune_command(CLI::App& tool, TuneArguments& arguments);

// On success prints every non-empty cell as "step slot HHHHHHHH" (value in 8
// upper-case hex digits), steps then slots ascending, and returns 0. Bad
// counters or an existing --wav file: one line on `err`, 2. Rendering or
// writing failed: one line on `err`, 1. Nothing goes to `out` unless the
// command succeeds.
// `sound_fonts` are tried when no --sound-font is given.
// With `check_only` no WAV file is rendered.
int tune_command(const TuneArguments& arguments, std::ostream& out, std::ostream& err,
                 const std::vector<std::string>& sound_fonts, bool check_only = false);

}  // namespace vz
