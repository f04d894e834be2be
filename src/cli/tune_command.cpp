#include "cli/tune_command.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <cstdio>
#include <optional>
#include <string_view>

#include "cli/exit_codes.h"
#include "cli/termination_signals.h"
#include "music/tune_composer.h"
#include "music/wav_renderer.h"

namespace vz {
namespace {

constexpr const char* kPrefix = "vuzuduzi-render tune: ";

std::optional<unsigned> parse_counter(std::string_view text) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value > 255) return std::nullopt;
    return value;
}

// "SOL,FON,BAS", each a whole number 0..255.
std::optional<InstrumentCounters> parse_counters(std::string_view text) {
    unsigned values[3] = {};
    for (int i = 0; i < 3; ++i) {
        const std::size_t comma = text.find(',');
        if ((i < 2) == (comma == std::string_view::npos)) return std::nullopt;
        const auto value = parse_counter(text.substr(0, comma));
        if (!value) return std::nullopt;
        values[i] = *value;
        text = i < 2 ? text.substr(comma + 1) : std::string_view{};
    }
    return InstrumentCounters{values[0], values[1], values[2]};
}

void print_table(const TuneTable& table, std::ostream& out) {
    char line[32];
    for (int step = 1; step <= kTuneSteps; ++step) {
        for (int slot = 1; slot <= kTuneSlots; ++slot) {
            if (table.at(step, slot) == 0) continue;
            std::snprintf(line, sizeof line, "%d %d %08X\n", step, slot, static_cast<unsigned>(table.at(step, slot)));
            out << line;
        }
    }
}

}  // namespace

CLI::App* add_tune_command(CLI::App& tool, TuneArguments& arguments) {
    CLI::App* tune = tool.add_subcommand("tune", "Print the tune's table for given counters, and render it to WAV.");
    tune->add_option("--counters", arguments.counters, "the instrument counters, three whole numbers 0..255")
        ->required()
        ->type_name("SOL,FON,BAS");
    tune->add_option("--wav", arguments.wav, "render the tune into this new 16-bit stereo WAV file")
        ->type_name("FILE");
    tune->add_option("--sound-font", arguments.sound_font, "render with this sound font instead of the window's")
        ->type_name("SF2");
    return tune;
}

int tune_command(const TuneArguments& arguments, std::ostream& out, std::ostream& err,
                 const std::vector<std::string>& sound_fonts, bool check_only) {
    const std::optional<InstrumentCounters> counters = parse_counters(arguments.counters);
    if (!counters) {
        err << kPrefix << "--counters '" << arguments.counters
            << "' is not SOL,FON,BAS (three whole numbers 0..255 separated by commas)\n";
        return kExitBadInput;
    }
    const std::optional<std::string>& wav = arguments.wav;
    if (wav && wav->empty()) {
        err << kPrefix << "--wav needs a file name\n";
        return kExitBadInput;
    }

    if (arguments.sound_font && arguments.sound_font->empty()) {
        err << kPrefix << "--sound-font needs a file name\n";
        return kExitBadInput;
    }
    const std::vector<std::string> fonts =
        arguments.sound_font ? std::vector<std::string>{*arguments.sound_font} : sound_fonts;

    const ComposedTune tune = compose_tune(*counters);
    if (wav && !check_only) {
        TerminationSignals signals;
        const WavRenderResult rendered =
            render_tune_to_wav(tune.table, *wav, fonts, [] { return TerminationSignals::received() != 0; });
        using Status = WavRenderResult::Status;
        switch (rendered.status) {
            case Status::written:
                break;
            case Status::file_exists:
                err << kPrefix << "--wav: " << *wav << " already exists and is left as it is\n";
                return kExitBadInput;
            case Status::no_sound_font:
                err << kPrefix << "cannot render " << *wav << ": no General MIDI sound font found (looked for";
                for (const std::string& path : fonts) err << ' ' << path;
                err << ")\n";
                return kExitFailed;
            case Status::synth_failed:
                err << kPrefix << "cannot render " << *wav << ": " << rendered.reason << '\n';
                return kExitFailed;
            case Status::write_failed:
                err << kPrefix << "cannot write " << *wav << ": " << rendered.reason << '\n';
                return kExitFailed;
            case Status::interrupted:
                err << kPrefix << "interrupted; nothing written\n";
                return exit_code_for_signal(TerminationSignals::received());
        }
    }
    print_table(tune.table, out);
    return kExitDone;
}

}  // namespace vz
