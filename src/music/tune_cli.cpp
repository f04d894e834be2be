#include "music/tune_cli.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <string_view>

#include "music/tune_composer.h"
#include "music/wav_renderer.h"

namespace vz {
namespace {

constexpr const char* kPrefix = "vuzuduzi-render tune: ";
constexpr int kBadInput = 2;
constexpr int kFailed = 1;

struct Options {
    std::optional<InstrumentCounters> counters;
    std::optional<std::string> wav;
};

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

// Fills `options`; on bad input writes one line to `err` and returns false.
bool parse_options(const std::vector<std::string>& args, Options& options, std::ostream& err) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (const std::size_t equals = name.find('='); name.starts_with("--") && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        }
        if (name != "--counters" && name != "--wav") {
            err << kPrefix << "unknown argument '" << args[i] << "'; usage: tune --counters SOL,FON,BAS [--wav FILE]\n";
            return false;
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                err << kPrefix << name << " needs a value\n";
                return false;
            }
            value = args[++i];
        }
        if (name == "--counters") {
            if (options.counters) {
                err << kPrefix << "--counters given twice\n";
                return false;
            }
            options.counters = parse_counters(*value);
            if (!options.counters) {
                err << kPrefix << "--counters '" << *value
                    << "' is not SOL,FON,BAS (three whole numbers 0..255 separated by commas)\n";
                return false;
            }
        } else {
            if (options.wav) {
                err << kPrefix << "--wav given twice\n";
                return false;
            }
            if (value->empty()) {
                err << kPrefix << "--wav needs a file name\n";
                return false;
            }
            options.wav = *value;
        }
    }
    if (!options.counters) {
        err << kPrefix << "--counters SOL,FON,BAS is required\n";
        return false;
    }
    return true;
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

int tune_cli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const std::vector<std::string>& sound_fonts) {
    Options options;
    if (!parse_options(args, options, err)) return kBadInput;

    const ComposedTune tune = compose_tune(*options.counters);
    if (options.wav) {
        const WavRenderResult rendered = render_tune_to_wav(tune.table, *options.wav, sound_fonts);
        using Status = WavRenderResult::Status;
        switch (rendered.status) {
            case Status::written:
                break;
            case Status::file_exists:
                err << kPrefix << "--wav: " << *options.wav << " already exists and is left as it is\n";
                return kBadInput;
            case Status::no_sound_font:
                err << kPrefix << "cannot render " << *options.wav << ": no General MIDI sound font found (looked for";
                for (const std::string& path : sound_fonts) err << ' ' << path;
                err << ")\n";
                return kFailed;
            case Status::synth_failed:
                err << kPrefix << "cannot render " << *options.wav << ": " << rendered.reason << '\n';
                return kFailed;
            case Status::write_failed:
                err << kPrefix << "cannot write " << *options.wav << ": " << rendered.reason << '\n';
                return kFailed;
        }
    }
    print_table(tune.table, out);
    return 0;
}

}  // namespace vz
