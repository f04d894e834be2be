// Drives the vuzuduzi-render binary as a script would.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <thread>

#include "cli/gif_command.h"
#include "decoded_gif.h"
#include "music/sound_fonts.h"
#include "run/run_values.h"
#include "sound_font_paths.h"
#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;

struct ToolResult {
    int status = -1;  // exit status, -1 when a signal ended the tool
    int signal = 0;   // the signal that ended it, 0 when it exited
    std::string out, err;
};

std::string slurp(int fd) {
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    return text;
}

// Runs the tool; `before_exec` runs in the child (limits, signal dispositions);
// `while_running` gets the child's pid.
template <class BeforeExec = void (*)(), class WhileRunning = void (*)(pid_t)>
ToolResult run_tool(std::vector<std::string> args, BeforeExec before_exec = [] {},
                    WhileRunning while_running = [](pid_t) {}) {
    args.insert(args.begin(), VZ_RENDER_TOOL);
    int out_pipe[2], err_pipe[2];
    EXPECT_EQ(::pipe(out_pipe), 0);
    EXPECT_EQ(::pipe(err_pipe), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out_pipe[1], 1);
        ::dup2(err_pipe[1], 2);
        ::close(out_pipe[0]);
        ::close(err_pipe[0]);
        before_exec();
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out_pipe[1]);
    ::close(err_pipe[1]);
    while_running(pid);
    ToolResult result;
    std::thread err_reader([&] { result.err = slurp(err_pipe[0]); });
    result.out = slurp(out_pipe[0]);
    err_reader.join();
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return result;
}

// Waits until process `pid` catches `signal_number` (its handlers are in place).
bool catches(pid_t pid, int signal_number) {
    for (int i = 0; i < 2000; ++i) {
        std::ifstream status("/proc/" + std::to_string(pid) + "/status");
        for (std::string line; std::getline(status, line);) {
            if (line.rfind("SigCgt:", 0) == 0 && (std::stoull(line.substr(7), nullptr, 16) >> (signal_number - 1)) & 1)
                return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

class RenderToolTest : public ::testing::Test {
protected:
    std::string path(const char* name) const { return (folder_ / name).string(); }
    bool folder_empty() const { return fs::is_empty(folder_); }
    vz::test::TempFolder temp_;
    const fs::path folder_ = temp_.path();
};

TEST_F(RenderToolTest, BadInputNamesTheArgumentAndWritesNothing) {
    const std::string out = path("x.gif");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"gif", "--frames", "3", "--size", "100"}, "--output"},
        {{"gif", "--output", out, "--size", "100"}, "--frames"},
        {{"gif", "--output", out, "--frames", "3"}, "--size"},
        {{"gif", "--output", out, "--frames", "0", "--size", "100"}, "--frames"},
        {{"gif", "--output", out, "--frames", "101", "--size", "100"}, "--frames"},
        {{"gif", "--output", out, "--frames", "3", "--size", "9"}, "--size"},
        {{"gif", "--output", out, "--frames", "3", "--size", "1001"}, "--size"},
        {{"gif", "--output", out, "--frames", "3", "--size", "12x"}, "--size"},
        {{"gif", "--output", out, "--frames", "3", "--size", "100", "--reference", "5"}, "--reference"},
        {{"gif", "--output", out, "--frames", "3", "--size", "100", "--pattern", "1234-014"}, "--pattern"},
        {{"gif", "--output", out, "--frames", "3", "--size", "100", "--pattern"}, "--pattern"},
        {{"gif", "--output", out, "--frames", "3", "--size", "100", "--fast"}, "--fast"},
        {{"picture"}, "picture"},
    };
    for (const auto& [args, named] : cases) {
        const ToolResult r = run_tool(args);
        EXPECT_EQ(r.status, 2) << named;
        EXPECT_NE(r.err.find(named), std::string::npos) << r.err;
        EXPECT_TRUE(folder_empty());
    }
}

// On a terminal the tool shows one progress line, rewritten at most every
// 100 ms, and clears it at the end. The uncompressed mode's background pass
// says so, even where it has no full block to count.
TEST_F(RenderToolTest, OnATerminalOneProgressLineIsRewrittenAtMostTenTimesASecond) {
    const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
        {{"--frames", "40", "--size", "400"}, {"\r\033[Kframe ", " of 40, "}},
        {{"--frames", "1", "--size", "10", "--uncompressed"}, {"\r\033[Kbackground"}},
    };
    for (const auto& [options, expected] : cases) {
        int terminal = -1, tool_side = -1;
        ASSERT_EQ(::openpty(&terminal, &tool_side, nullptr, nullptr, nullptr), 0);
        std::string shown;
        std::vector<std::string> args = {"gif", "--output", path("p.gif"), "--pattern", "1234-012"};
        args.insert(args.end(), options.begin(), options.end());
        const auto started = std::chrono::steady_clock::now();
        const ToolResult result = run_tool(args, [&] { ::dup2(tool_side, 2); }, [&](pid_t) {
            ::close(tool_side);
            char buffer[4096];
            for (ssize_t n; (n = ::read(terminal, buffer, sizeof buffer)) > 0;) shown.append(buffer, static_cast<std::size_t>(n));
            ::close(terminal);
        });
        const auto took = std::chrono::steady_clock::now() - started;
        EXPECT_EQ(result.status, 0);
        std::size_t rewrites = 0;
        for (std::size_t at = 0; (at = shown.find("\r\033[K", at)) != std::string::npos; ++at) ++rewrites;
        for (const std::string& part : expected) EXPECT_NE(shown.find(part), std::string::npos) << shown;
        EXPECT_EQ(shown.substr(shown.size() - 4), "\r\033[K");  // cleared at the end
        EXPECT_LE(rewrites, static_cast<std::size_t>(took / std::chrono::milliseconds(100)) + 2) << shown;
        fs::remove(path("p.gif"));
    }
}

// The tool words a refused request as it always has.
TEST(RefusalLine, SaysWhichValueIsOutsideWhichRange) {
    const char* names[] = {"frame count", "picture size", "reference size", "pattern digit", "palette power"};
    for (int value = 1; value <= 5; ++value)
        EXPECT_EQ(vz::refusal_line({static_cast<vz::RequestValue>(value), 1000.5, 10, 1000}),
                  std::string("invalid run request: ") + names[value - 1] + " 1000.5 is outside 10..1000");
    EXPECT_EQ(vz::refusal_line({vz::RequestValue::FrameCount, std::nan(""), 1, 100}),
              "invalid run request: frame count nan is outside 1..100");
}

TEST_F(RenderToolTest, AnswersHelpAndVersionOnStandardOutput) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--help"}, {"gif", "--help"}, {"tune", "--help"}, {"-h"}}) {
        const ToolResult r = run_tool(args);
        EXPECT_EQ(r.status, 0) << args[0];
        EXPECT_NE(r.out.find("Usage:"), std::string::npos) << r.out;
        EXPECT_EQ(r.err, "");
    }
    EXPECT_NE(run_tool({"gif", "--help"}).out.find("--transparent"), std::string::npos);
    EXPECT_NE(run_tool({"gif", "--help"}).out.find("--small"), std::string::npos);
    const ToolResult version = run_tool({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("vuzuduzi-render ") + VZ_VERSION + "\n");
    const ToolResult nothing = run_tool({});
    EXPECT_EQ(nothing.status, 2);
    EXPECT_NE(nothing.err.find("gif or tune"), std::string::npos) << nothing.err;
}

TEST_F(RenderToolTest, OptionsTakeTheirValueAfterASpaceOrAnEqualsSign) {
    ASSERT_EQ(run_tool({"gif", "--output=" + path("a.gif"), "--frames=2", "--size=40", "--pattern=1234-012",
                        "--reference=80"})
                  .status,
              0);
    ASSERT_EQ(run_tool({"gif", "--output", path("b.gif"), "--frames", "2", "--size", "40", "--pattern", "1234-012",
                        "--reference", "80"})
                  .status,
              0);
    EXPECT_EQ(vz::test::read_file(path("a.gif")), vz::test::read_file(path("b.gif")));
}

TEST_F(RenderToolTest, PrintedPatternMakesTheSamePictureAgain) {
    const ToolResult first = run_tool({"gif", "--output", path("a.gif"), "--frames", "2", "--size", "60"});
    ASSERT_EQ(first.status, 0) << first.err;
    std::smatch m;
    ASSERT_TRUE(std::regex_match(first.out, m, std::regex("pattern ([0-9]{4}-[0-3]{3})\n")));
    const ToolResult again =
        run_tool({"gif", "--output", path("b.gif"), "--frames", "2", "--size", "60", "--pattern", m[1].str()});
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(vz::test::read_file(path("a.gif")), vz::test::read_file(path("b.gif")));
}

TEST_F(RenderToolTest, ModesAndReferenceSizeReachTheFile) {
    ASSERT_EQ(run_tool({"gif", "--output", path("u.gif"), "--frames", "3", "--size", "40", "--reference", "400",
                        "--pattern", "1234-012", "--uncompressed", "--transparent"})
                  .status,
              0);
    const auto bytes = vz::test::read_file(path("u.gif"));
    EXPECT_EQ(bytes[585], 0x00);  // uncompressed: transparency has no effect
    EXPECT_EQ(vz::test::decode_gif(bytes).frames.size(), 3u);
    ASSERT_EQ(run_tool({"gif", "--output", path("t.gif"), "--frames", "1", "--size", "40", "--pattern", "1234-012",
                        "--transparent"}).status, 0);
    EXPECT_EQ(vz::test::read_file(path("t.gif"))[585], 0x09);

    // --small with the other options: the same canvases in fewer bytes.
    for (const char* mode : {"--uncompressed", "--transparent"}) {
        const std::vector<std::string> run{"gif", "--frames", "3", "--size", "40", "--reference", "400",
                                           "--pattern", "1234-012", mode, "--output"};
        std::vector<std::string> exact = run, small = run;
        exact.push_back(path("exact.gif"));
        small.insert(small.end(), {path("small.gif"), "--small"});
        ASSERT_EQ(run_tool(exact).status, 0);
        ASSERT_EQ(run_tool(small).status, 0);
        std::vector<vz::test::Canvas> shown;
        vz::test::composite(vz::test::decode_gif(vz::test::read_file(path("exact.gif"))),
                            [&](int, const vz::test::Canvas& canvas) { shown.push_back(canvas); });
        int frames = 0;
        vz::test::composite(vz::test::decode_gif(vz::test::read_file(path("small.gif"))),
                            [&](int i, const vz::test::Canvas& canvas) { frames += canvas == shown.at(i); });
        EXPECT_EQ(frames, 3) << mode;
        EXPECT_LT(fs::file_size(path("small.gif")), fs::file_size(path("exact.gif"))) << mode;
        fs::remove(path("exact.gif"));
        fs::remove(path("small.gif"));
    }
}

TEST_F(RenderToolTest, ExistingFileIsLeftUntouched) {
    std::ofstream(path("k.gif")) << "keep";
    const ToolResult r = run_tool({"gif", "--output", path("k.gif"), "--frames", "1", "--size", "10"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("exists"), std::string::npos);
    EXPECT_EQ(vz::test::read_file(path("k.gif")), (std::vector<std::uint8_t>{'k', 'e', 'e', 'p'}));
}

TEST_F(RenderToolTest, WriteFailuresGiveTheSystemReasonAndLeaveNoFile) {
    const ToolResult missing = run_tool({"gif", "--output", path("none/x.gif"), "--frames", "1", "--size", "10"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("No such file or directory"), std::string::npos) << missing.err;

    // A full disk, as seen through a file size limit. The pattern is fixed: in
    // either mode its file is several times the limit (875 000 bytes compressed).
    for (const char* mode : {"--uncompressed", "--transparent"}) {
        const ToolResult full = run_tool(
            {"gif", "--output", path("full.gif"), "--frames", "20", "--size", "300", "--pattern", "1234-012", mode}, [] {
                ::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{200000, 200000};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            });
        EXPECT_EQ(full.status, 1) << mode;
        EXPECT_NE(full.err.find("File too large"), std::string::npos) << full.err;
        EXPECT_TRUE(folder_empty()) << mode;
    }
}

// The tool removes what it was writing and dies by the signal, so that a
// shell loop around it stops as well.
TEST_F(RenderToolTest, TerminationLeavesNoFileAndEndsByTheSignal) {
    for (const char* mode : {"--transparent", "--uncompressed"}) {
        for (int signal_number : {SIGTERM, SIGINT, SIGHUP}) {
            const ToolResult r = run_tool({"gif", "--output", path("big.gif"), "--frames", "100", "--size", "1000",
                                           "--pattern", "1234-012", mode},
                                          [] {}, [&](pid_t pid) {
                                              ASSERT_TRUE(catches(pid, signal_number));
                                              std::this_thread::sleep_for(std::chrono::milliseconds(50));
                                              ::kill(pid, signal_number);
                                          });
            EXPECT_EQ(r.signal, signal_number) << mode << r.err;
            EXPECT_NE(r.err.find("interrupted; nothing written"), std::string::npos) << r.err;
            EXPECT_TRUE(folder_empty());
        }
    }
}

// Two signals waiting at once: the first is taken as a stop, the second
// ends the tool at once (pending signals arrive lowest number first).
TEST_F(RenderToolTest, SecondSignalEndsTheToolAtOnce) {
    const ToolResult r = run_tool(
        {"gif", "--output", path("big.gif"), "--frames", "100", "--size", "1000", "--pattern", "1234-012"}, [] {},
        [&](pid_t pid) {
            ASSERT_TRUE(catches(pid, SIGHUP));
            ::kill(pid, SIGSTOP);
            ::kill(pid, SIGHUP);
            ::kill(pid, SIGTERM);
            ::kill(pid, SIGCONT);
        });
    EXPECT_EQ(r.signal, SIGTERM) << r.err;
    EXPECT_EQ(r.err.find("interrupted"), std::string::npos) << r.err;
    EXPECT_TRUE(folder_empty());
}

// The file has no name until it is complete: a hard kill at any moment
// leaves nothing, on disk and in memory file systems alike, or (when the kill
// came after the naming) the complete file and nothing else.
TEST_F(RenderToolTest, KillAtAnyMomentLeavesNothingOrTheCompleteFile) {
    std::vector<fs::path> folders{folder_ / "disk"};
    if (fs::is_directory("/dev/shm")) folders.push_back(fs::path("/dev/shm") / ("vz-kill-" + std::to_string(::getpid())));
    for (const fs::path& folder : folders) {
        fs::create_directory(folder);
        for (const char* mode : {"--transparent", "--uncompressed"}) {
            for (int after_ms : {0, 3, 15, 60, 200, 600}) {
                const fs::path out = folder / "k.gif";
                const ToolResult r = run_tool({"gif", "--output", out.string(), "--frames", "100", "--size", "400",
                                               "--pattern", "1234-012", mode},
                                              [] {}, [&](pid_t pid) {
                                                  std::this_thread::sleep_for(std::chrono::milliseconds(after_ms));
                                                  ::kill(pid, SIGKILL);
                                              });
                const std::vector<fs::path> left{fs::directory_iterator(folder), fs::directory_iterator()};
                EXPECT_TRUE(left.empty() || (left.size() == 1 && left[0] == out))
                    << folder << " " << mode << " " << after_ms << ": " << left[0];
                if (fs::exists(out)) {
                    EXPECT_EQ(vz::test::decode_gif(vz::test::read_file(out)).frames.size(), 100u);
                    fs::remove(out);
                } else {
                    EXPECT_EQ(r.signal, SIGKILL);
                }
            }
        }
        fs::remove_all(folder);
    }
}

TEST_F(RenderToolTest, InterruptedTuneRenderingLeavesNoFile) {
    if (vz::test::installed(vz::default_sound_fonts()).empty()) GTEST_SKIP() << "no General MIDI sound font installed";
    for (int signal_number : {SIGINT, SIGTERM}) {
        const ToolResult r = run_tool({"tune", "--counters", "7,8,9", "--wav", path("t.wav")}, [] {}, [&](pid_t pid) {
            ASSERT_TRUE(catches(pid, signal_number));
            ::kill(pid, signal_number);
        });
        EXPECT_EQ(r.signal, signal_number) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("interrupted; nothing written"), std::string::npos) << r.err;
        EXPECT_TRUE(folder_empty());
    }
}

}  // namespace
