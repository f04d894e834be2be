#include "cli/render_tool.h"

#include <CLI/CLI.hpp>
#include <ostream>

#include "cli/gif_command.h"
#include "cli/tune_command.h"

namespace vz {

int render_tool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                const std::vector<std::string>& sound_fonts, bool check_only) {
    CLI::App tool("Makes the pictures and the tune of Vuzuduzi-2 without its window.", "vuzuduzi-render");
    bool show_version = false;
    tool.add_flag("--version", show_version, "Print the program's version and exit");
    tool.require_subcommand(0, 1);
    GifArguments gif;
    TuneArguments tune;
    CLI::App* gif_app = add_gif_command(tool, gif);
    CLI::App* tune_app = add_tune_command(tool, tune);

    // CLI11 wants the arguments last to first.
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        tool.parse(reversed);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) return tool.exit(error, out, err);
        const CLI::App* where = gif_app->parsed() ? gif_app : tune_app->parsed() ? tune_app : nullptr;
        err << "vuzuduzi-render" << (where ? " " + where->get_name() : std::string()) << ": " << error.what()
            << " (see --help)\n";
        return kExitBadInput;
    }
    if (show_version) {
        out << "vuzuduzi-render " << VZ_VERSION << '\n';
        return kExitDone;
    }
    if (gif_app->parsed()) return gif_command(gif, out, err, check_only);
    if (tune_app->parsed()) return tune_command(tune, out, err, sound_fonts, check_only);
    err << "vuzuduzi-render: a command is required: gif or tune (see --help)\n";
    return kExitBadInput;
}

}  // namespace vz
