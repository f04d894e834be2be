#include "gif_command.h"

#include <signal.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <optional>
#include <ostream>

#include "pattern/pattern_parameters.h"
#include "run/generation_run.h"
#include "run/run_values.h"

namespace vz {

namespace {

volatile sig_atomic_t g_signal = 0;

void on_signal(int signal_number) { g_signal = signal_number; }

class SignalGuard {
public:
    SignalGuard() {
        struct sigaction action {};
        action.sa_handler = on_signal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaction(s, &action, &saved_[index(s)]);
        g_signal = 0;
    }
    ~SignalGuard() {
        for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaction(s, &saved_[index(s)], nullptr);
    }

private:
    static int index(int s) { return s == SIGINT ? 0 : s == SIGTERM ? 1 : 2; }
    struct sigaction saved_[3] {};
};

// Reports progress on a terminal and turns a signal into a stop.
class TerminalObserver final : public RunObserver {
public:
    TerminalObserver(int frames, bool interactive) : frames_(frames), interactive_(interactive) {}
    ~TerminalObserver() override {
        if (shown_) std::fputs("\r\033[K", stderr);
    }

    void show_frame_bar(int) override {}
    void show_total_bar(int) override {}
    void show_percent(int percent) override { percent_ = percent; }
    void show_frame_number(int frame) override {
        frame_ = frame;
        painting_ = true;
    }
    void show_background_pass() override { painting_ = false; }
    void yield_to_events() override {
        if (!interactive_) return;
        const auto now = std::chrono::steady_clock::now();
        if (now - last_ < std::chrono::milliseconds(100)) return;
        last_ = now;
        if (painting_)
            std::fprintf(stderr, "\r\033[Kframe %d of %d, %d %%", frame_, frames_, percent_);
        else
            std::fputs("\r\033[Kbackground", stderr);
        shown_ = true;
    }
    CheckPoint check_point() override { return g_signal ? CheckPoint::Stop : CheckPoint::Continue; }

private:
    int frames_;
    bool interactive_;
    int frame_ = 0;
    int percent_ = 0;
    bool painting_ = false;
    bool shown_ = false;
    std::chrono::steady_clock::time_point last_{};
};

struct Options {
    std::string output;
    int frames = 0;
    int size = 0;
    int reference = 0;
    std::optional<PatternParameters> pattern;
    bool uncompressed = false;
    bool transparent = false;
};

std::optional<int> whole_number(const std::string& text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// Fills `options`; on bad input returns the one line that explains it.
std::optional<std::string> parse(const std::vector<std::string>& args, Options& options) {
    bool have_output = false, have_frames = false, have_size = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--uncompressed") {
            options.uncompressed = true;
            continue;
        }
        if (name == "--transparent") {
            options.transparent = true;
            continue;
        }
        if (name != "--output" && name != "--frames" && name != "--size" && name != "--pattern" &&
            name != "--reference")
            return "unknown argument: " + name;
        if (i + 1 >= args.size()) return name + ": missing value";
        const std::string& value = args[++i];
        if (name == "--output") {
            if (value.empty()) return "--output: empty file name";
            options.output = value;
            have_output = true;
        } else if (name == "--pattern") {
            options.pattern = parse_pattern(value);
            if (!options.pattern) return "--pattern: expected DDDD-PPP (digits 0-9, powers 0-3), got '" + value + "'";
        } else {
            const auto number = whole_number(value);
            const bool frames = name == "--frames";
            const int low = frames ? kMinFrames : kMinSize, high = frames ? kMaxFrames : kMaxSize;
            if (!number || *number < low || *number > high)
                return name + ": expected a whole number " + std::to_string(low) + ".." + std::to_string(high) +
                       ", got '" + value + "'";
            if (frames) {
                options.frames = *number;
                have_frames = true;
            } else if (name == "--size") {
                options.size = *number;
                have_size = true;
            } else {
                options.reference = *number;
            }
        }
    }
    if (!have_output) return "--output: missing (the GIF file to write)";
    if (!have_frames) return "--frames: missing (1..100)";
    if (!have_size) return "--size: missing (10..1000)";
    return std::nullopt;
}

}  // namespace

int gif_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Options options;
    if (const auto problem = parse(args, options)) {
        err << "vuzuduzi-render gif: " << *problem << '\n';
        return 2;
    }

    RunRequest request;
    if (options.pattern) {
        request.pattern = *options.pattern;
    } else {
        randomize_pattern(request.pattern, seconds_since_local_midnight());
    }
    request.pattern.reference_size = options.reference ? options.reference : options.size;
    request.frame_count = options.frames;
    request.picture_size = options.size;
    request.compressed = !options.uncompressed;
    request.transparent = options.transparent;
    request.output_path = options.output;
    out << "pattern " << format_pattern(request.pattern) << std::endl;

    SignalGuard signals;
    RunResult result;
    {
        TerminalObserver observer(options.frames, ::isatty(STDERR_FILENO) == 1);
        result = run_generation(request, observer);
    }
    switch (result.outcome) {
        case RunOutcome::Completed: return 0;
        case RunOutcome::FileExists:
            err << "vuzuduzi-render gif: " << options.output << ": a file of that name already exists; left untouched\n";
            return 2;
        case RunOutcome::Failed:
            err << "vuzuduzi-render gif: " << options.output << ": " << result.error << '\n';
            return 1;
        case RunOutcome::Stopped:
        case RunOutcome::Exited: break;
    }
    err << "vuzuduzi-render gif: interrupted; nothing written\n";
    return 128 + (g_signal ? static_cast<int>(g_signal) : SIGINT);
}

}  // namespace vz
