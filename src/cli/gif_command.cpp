#include "cli/gif_command.h"

#include <signal.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <optional>
#include <ostream>

#include "cli/render_tool.h"
#include "cli/termination_signals.h"
#include "pattern/pattern_parameters.h"
#include "run/generation_run.h"
#include "run/run_values.h"

namespace vz {

namespace {

// Reports progress on a terminal, at most every 100 ms, and turns a signal
// into a stop.
class TerminalObserver final : public RunObserver {
public:
    TerminalObserver(int frames, bool interactive) : frames_(frames), interactive_(interactive) {}
    ~TerminalObserver() override {
        if (shown_) std::fputs("\r\033[K", stderr);
    }

    void show_frame_bar(int) override { show(); }
    void show_total_bar(int) override { show(); }
    void show_percent(int percent) override {
        percent_ = percent;
        show();
    }
    void show_frame_number(int frame) override {
        frame_ = frame;
        background_ = false;
        show();
    }
    void show_background_pass() override {
        background_ = true;
        show();
    }
    CheckPoint check_point() override {
        return TerminationSignals::received() ? CheckPoint::Stop : CheckPoint::Continue;
    }

private:
    void show() {
        if (!interactive_ || (frame_ == 0 && !background_)) return;  // nothing to say yet
        const auto now = std::chrono::steady_clock::now();
        if (now - last_ < std::chrono::milliseconds(100)) return;
        last_ = now;
        if (background_)
            std::fputs("\r\033[Kbackground", stderr);
        else
            std::fprintf(stderr, "\r\033[Kframe %d of %d, %d %%", frame_, frames_, percent_);
        shown_ = true;
    }

    int frames_;
    bool interactive_;
    int frame_ = 0;
    int percent_ = 0;
    bool background_ = false;
    bool shown_ = false;
    std::chrono::steady_clock::time_point last_{};
};

}  // namespace

std::string refusal_line(const RequestProblem& problem) {
    static constexpr const char* kNames[] = {"", "frame count", "picture size", "reference size", "pattern digit",
                                             "palette power"};
    char text[128];
    std::snprintf(text, sizeof text, "invalid run request: %s %g is outside %g..%g",
                  kNames[static_cast<int>(problem.value)], problem.given, problem.low, problem.high);
    return text;
}

CLI::App* add_gif_command(CLI::App& tool, GifArguments& arguments) {
    CLI::App* gif = tool.add_subcommand("gif", "Write one animated GIF, as a Start press in the window does.");
    const auto option = [gif](const GifOption& which, auto& value, const char* help) {
        return gif->add_option(std::string(which.name), value, help)->type_name(std::string(which.value_name));
    };
    option(gif_option::kOutput, arguments.output, "the GIF file to write; an existing file is never touched")
        ->required();
    option(gif_option::kFrames, arguments.frames, "frame count, 1..100")->required();
    option(gif_option::kSize, arguments.size, "picture size in pixels, 10..1000")->required();
    option(gif_option::kPattern, arguments.pattern,
           "the pattern to draw again, as printed by an earlier run (default: from the clock)");
    option(gif_option::kReference, arguments.reference, "the reference size M, 10..1000 (default: the size)");
    gif->add_flag(std::string(gif_option::kUncompressed), arguments.uncompressed,
                  "store the pixels without compression");
    gif->add_flag(std::string(gif_option::kTransparent), arguments.transparent, "make the background transparent");
    gif->add_flag(std::string(gif_option::kSmall), arguments.small,
                  "a smaller file with the same frames (LZW-compressed, also with --uncompressed's pictures)");
    return gif;
}

int gif_command(const GifArguments& arguments, std::ostream& out, std::ostream& err, bool check_only) {
    GifValues options;
    const auto bad = arguments.output.empty() ? std::string(gif_option::kOutput.name) + ": empty file name"
                                              : check_gif_values(arguments, options);
    if (bad) {
        err << "vuzuduzi-render gif: " << *bad << '\n';
        return kExitBadInput;
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
    request.small = options.small;
    request.output_path = arguments.output;
    out << "pattern " << format_pattern(request.pattern) << std::endl;
    if (check_only) {
        // What the options accept, the run must accept too.
        const RequestProblem problem = run_request_problem(request);
        if (problem.empty()) return kExitDone;
        err << "vuzuduzi-render gif: " << refusal_line(problem) << '\n';
        return kExitFailed;
    }

    TerminationSignals signals;
    RunResult result;
    {
        TerminalObserver observer(options.frames, ::isatty(STDERR_FILENO) == 1);
        result = run_generation(request, observer);
    }
    switch (result.outcome) {
        case RunOutcome::Completed: return kExitDone;
        case RunOutcome::FileExists:
            err << "vuzuduzi-render gif: " << arguments.output << ": a file of that name already exists; left untouched\n";
            return kExitBadInput;
        case RunOutcome::Failed: {
            // The system's reason, else the failure's own words.
            const std::string why = result.error           ? result.error.message()
                                    : result.detail.empty() ? std::string("unexpected failure")
                                                            : result.detail;
            err << "vuzuduzi-render gif: " << arguments.output << ": " << why << '\n';
            return kExitFailed;
        }
        case RunOutcome::Refused:
            err << "vuzuduzi-render gif: " << refusal_line(result.refusal) << '\n';
            return kExitFailed;
        case RunOutcome::Stopped:
        case RunOutcome::Exited: break;
    }
    err << "vuzuduzi-render gif: interrupted; nothing written\n";
    return exit_code_for_signal(TerminationSignals::received() ? TerminationSignals::received() : SIGINT);
}

}  // namespace vz
