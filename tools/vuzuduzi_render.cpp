// vuzuduzi-render: the batch tool. Makes the program's pictures and tune
// without the window, for scripts and tests.
#include <iostream>
#include <string>
#include <vector>

#include "gif_command.h"
#include "music/tune_cli.h"

namespace {

constexpr const char* kUsage =
    "usage:\n"
    "  vuzuduzi-render gif --output FILE --frames N --size S [--pattern DDDD-PPP] [--reference M]\n"
    "                      [--uncompressed] [--transparent]\n"
    "  vuzuduzi-render tune --counters SOL,FON,BAS [--wav FILE]\n";

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        (args.empty() ? std::cerr : std::cout) << kUsage;
        return args.empty() ? 2 : 0;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "gif") return vz::gif_command(rest, std::cout, std::cerr);
    if (args[0] == "tune") return vz::tune_cli(rest, std::cout, std::cerr);
    std::cerr << "vuzuduzi-render: unknown command '" << args[0] << "'\n" << kUsage;
    return 2;
}
