#include "run/generation_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>
#include <tuple>

#include "decoded_gif.h"
#include "temp_folder.h"
#include "gif/uncompressed_layout.h"
#include "pattern/rose_figure.h"
#include "pattern/sine_palette.h"
#include "recording_observer.h"

namespace vz {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class GenerationRunTest : public ::testing::Test {
protected:

    RunRequest request(int frames, int size, bool compressed, const char* name = "Kvel_1.GIF") const {
        RunRequest r;
        r.pattern.twist_digit = 4, r.pattern.petal_digit = 7, r.pattern.shrink_digit = 2, r.pattern.spin_digit = 9;
        r.pattern.red_power = 0, r.pattern.green_power = 1, r.pattern.blue_power = 3;
        r.pattern.reference_size = size;
        r.frame_count = frames;
        r.picture_size = size;
        r.compressed = compressed;
        r.output_path = folder_ / name;
        return r;
    }
    bool folder_empty() const { return fs::is_empty(folder_); }

    test::TempFolder temp_;
    const fs::path folder_ = temp_.path();
};

Bytes drawn_frame(const RunRequest& r, int frame) {
    std::vector<std::uint8_t> grid;
    draw_frame(RoseFigure(r.pattern, r.picture_size), frame, grid, [] {});
    Bytes pixels;
    const int s = r.picture_size;
    for (int y = 1; y <= s; ++y) {
        const std::uint8_t* row = grid.data() + y * (s + 1) + 1;
        pixels.insert(pixels.end(), row, row + s);
    }
    return pixels;
}

// Pixels where the two drawing orders differ: the uncompressed one adds
// steps 0 and 9421..9429, which land next to the centre.
int differing_pixels(const Bytes& a, const Bytes& b) {
    int n = 0;
    for (std::size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
}

TEST_F(GenerationRunTest, CompressedFileDecodesToTheDrawnFrames) {
    RunRequest r = request(4, 64, true);
    r.transparent = true;
    test::RecordingObserver observer;
    ASSERT_EQ(run_generation(r, observer).outcome, RunOutcome::Completed);
    const Bytes bytes = test::read_file(r.output_path);
    const test::DecodedGif gif = test::decode_gif(bytes);
    EXPECT_EQ(gif.width, 64);
    EXPECT_EQ(gif.height, 64);
    const Palette palette = sine_palette(r.pattern);
    EXPECT_EQ(gif.palette, Bytes(palette.begin(), palette.end()));
    EXPECT_EQ(gif.loop_count, 0);
    ASSERT_EQ(gif.comments.size(), 1u);
    ASSERT_EQ(gif.frames.size(), 4u);
    for (int f = 1; f <= 4; ++f) {
        const auto& frame = gif.frames[f - 1];
        EXPECT_EQ(frame.pixels, drawn_frame(r, f)) << f;
        EXPECT_EQ(frame.delay, 37);
        EXPECT_EQ(frame.disposal, 2);
        EXPECT_EQ(frame.transparent_index, 0);
    }
    EXPECT_EQ(bytes.back(), 0x3B);
    EXPECT_EQ(bytes[600], 0x07);
    EXPECT_TRUE(folder_empty() == false && fs::directory_iterator(folder_)->path() == r.output_path);
}

TEST_F(GenerationRunTest, UncompressedFileDecodesToTheSameFiguresAndHasTheComputedLength) {
    for (int size : {10, 100, 253}) {
        RunRequest r = request(3, size, false, "u.gif");
        r.transparent = true;  // no effect in this mode
        test::RecordingObserver observer;
        ASSERT_EQ(run_generation(r, observer).outcome, RunOutcome::Completed);
        const Bytes bytes = test::read_file(r.output_path);
        EXPECT_EQ(static_cast<std::int64_t>(bytes.size()), UncompressedLayout(size).file_size(3));
        const test::DecodedGif gif = test::decode_gif(bytes);
        ASSERT_EQ(gif.frames.size(), 3u);
        for (int f = 1; f <= 3; ++f) {
            EXPECT_EQ(gif.frames[f - 1].transparent_index, -1);
            EXPECT_EQ(gif.frames[f - 1].delay, 50);
            const int differing = differing_pixels(gif.frames[f - 1].pixels, drawn_frame(r, f));
            EXPECT_LE(differing, 2) << "size " << size << " frame " << f;
        }
        fs::remove(r.output_path);
    }
}

TEST_F(GenerationRunTest, TenByTenFrameIsTheSameInBothModes) {
    RunRequest r = request(1, 10, true, "c.gif");
    r.pattern = PatternParameters{};
    r.pattern.reference_size = 10;
    test::RecordingObserver observer;
    ASSERT_EQ(run_generation(r, observer).outcome, RunOutcome::Completed);
    RunRequest u = r;
    u.compressed = false;
    u.output_path = folder_ / "u.gif";
    ASSERT_EQ(run_generation(u, observer).outcome, RunOutcome::Completed);
    EXPECT_EQ(test::decode_gif(test::read_file(r.output_path)).frames[0].pixels,
              test::decode_gif(test::read_file(u.output_path)).frames[0].pixels);
}

TEST_F(GenerationRunTest, SameValuesGiveIdenticalBytesAndMoreFramesExtendThem) {
    test::RecordingObserver observer;
    for (bool compressed : {true, false}) {
        RunRequest a = request(2, 50, compressed, "a.gif"), b = request(2, 50, compressed, "b.gif"),
                   c = request(3, 50, compressed, "c.gif");
        for (auto* r : {&a, &b, &c}) ASSERT_EQ(run_generation(*r, observer).outcome, RunOutcome::Completed);
        EXPECT_EQ(test::read_file(a.output_path), test::read_file(b.output_path));
        const auto two = test::decode_gif(test::read_file(a.output_path));
        const auto three = test::decode_gif(test::read_file(c.output_path));
        EXPECT_EQ(two.frames[1].pixels, three.frames[1].pixels);
        for (auto* r : {&a, &b, &c}) fs::remove(r->output_path);
    }
}

// Everything a run shows, in order, folded into a digest: kind and value of
// every progress value, label and check point.
class DigestObserver final : public RunObserver {
public:
    std::uint64_t digest = 14695981039346656037ull;
    long events = 0, checks = 0;

    void show_frame_bar(int b) override { add(1, b); }
    void show_total_bar(int b) override { add(2, b); }
    void show_percent(int p) override { add(3, p); }
    void show_frame_number(int f) override { add(4, f); }
    void show_background_pass() override { add(5, 0); }
    CheckPoint check_point() override {
        ++checks;
        add(7, 0);
        return CheckPoint::Continue;
    }

private:
    void add(int kind, int value) {
        ++events;
        for (const std::uint64_t part : {std::uint64_t(kind), std::uint64_t(value)}) digest = (digest ^ part) * 1099511628211ull;
    }
};

// Known files, one per mode, from pattern codes as the tool and the repeat
// box give them: a changed picture, palette or layout changes the file's
// digest, and a changed progress value or check point the shown one.
TEST_F(GenerationRunTest, KnownCodesGiveKnownFiles) {
    // Code, compressed, transparent, then FNV-1a digests of the file and of what the run showed.
    const std::tuple<const char*, bool, bool, std::uint64_t, std::uint64_t> known[] = {
        {"6152-320", true, false, 3513582021731685739u, 6824268431814275982u},
        {"6152-320", false, false, 13425529340482525161u, 9977470446073682149u},
        {"5873-013", true, true, 9602916963350242207u, 6824268431814275982u}};
    for (const auto& [code, compressed, transparent, expected, expected_shown] : known) {
        RunRequest r = request(3, 48, compressed);
        r.pattern = *parse_pattern(code);
        r.pattern.reference_size = 61;
        r.transparent = transparent;
        DigestObserver shown;
        ASSERT_EQ(run_generation(r, shown).outcome, RunOutcome::Completed);
        std::uint64_t digest = 14695981039346656037u;
        for (const std::uint8_t byte : test::read_file(r.output_path)) digest = (digest ^ byte) * 1099511628211u;
        EXPECT_EQ(digest, expected) << code << " " << compressed << transparent;
        EXPECT_EQ(shown.digest, expected_shown) << code << " " << compressed << transparent;
        fs::remove(r.output_path);
    }
}

TEST_F(GenerationRunTest, ExistingFileIsNeverTouched) {
    for (bool compressed : {true, false}) {
        const RunRequest r = request(1, 10, compressed);
        std::ofstream(r.output_path) << "mine";
        test::RecordingObserver observer;
        EXPECT_EQ(run_generation(r, observer).outcome, RunOutcome::FileExists);
        EXPECT_TRUE(observer.events.empty());
        EXPECT_EQ(test::read_file(r.output_path), (Bytes{'m', 'i', 'n', 'e'}));
        fs::remove(r.output_path);
    }
}

TEST_F(GenerationRunTest, WriteFailureReportsTheReasonAndLeavesNothing) {
    RunRequest r = request(1, 10, true);
    r.output_path = folder_ / "no such folder" / "x.gif";
    test::RecordingObserver observer;
    const RunResult result = run_generation(r, observer);
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    EXPECT_EQ(result.error, std::make_error_code(std::errc::no_such_file_or_directory));
}

// Whatever a worker throws, the run ends as Failed with the exception's own
// words, and leaves nothing behind.
TEST_F(GenerationRunTest, WorkerFailureOfAnyKindEndsTheRunAsFailed) {
    for (bool compressed : {true, false}) {
        for (const bool standard : {true, false}) {
            RunRequest r = request(5, 30, compressed);
            r.worker_count = 2;
            r.frame_started = [standard](int frame) {
                if (frame == 3 && standard) throw std::invalid_argument("bad code");
                if (frame == 3) throw 3;
            };
            test::RecordingObserver observer;
            const RunResult result = run_generation(r, observer);
            EXPECT_EQ(result.outcome, RunOutcome::Failed);
            EXPECT_FALSE(result.error);
            EXPECT_EQ(result.detail, standard ? "bad code" : "");
            EXPECT_TRUE(folder_empty()) << compressed;
        }
    }
}

// Compressed mode: the drawing pass has no check points, so a stop there is
// noticed at the first row of the encoding pass.
TEST_F(GenerationRunTest, CompressedStopIsCaughtAtTheFirstRow) {
    const RunRequest r = request(2, 10, true);
    test::RecordingObserver observer;
    observer.stop_at_check = 1;
    EXPECT_EQ(run_generation(r, observer).outcome, RunOutcome::Stopped);
    EXPECT_TRUE(folder_empty());
    const std::vector<std::string> expected = {"percent 0", "frame 1", "check"};
    EXPECT_EQ(observer.events, expected);
}

TEST_F(GenerationRunTest, StopOrExitAtAnyCheckPointLeavesNoFile) {
    for (bool compressed : {true, false}) {
        test::RecordingObserver counter;
        counter.record_checks = false;
        const RunRequest r = request(2, 20, compressed);
        ASSERT_EQ(run_generation(r, counter).outcome, RunOutcome::Completed);
        fs::remove(r.output_path);
        // The first, a middle and the very last check point (the last one
        // comes after the file is on disk, just before it is named).
        for (int at : {1, counter.checks / 2, counter.checks}) {
            for (CheckPoint answer : {CheckPoint::Stop, CheckPoint::Exit}) {
                test::RecordingObserver observer;
                observer.record_checks = false;
                observer.stop_at_check = at;
                observer.answer = answer;
                const RunOutcome outcome = run_generation(r, observer).outcome;
                EXPECT_EQ(outcome, answer == CheckPoint::Stop ? RunOutcome::Stopped : RunOutcome::Exited);
                EXPECT_EQ(observer.checks, at);
                EXPECT_TRUE(folder_empty()) << compressed << " " << at;
            }
        }
    }
}

// However many threads draw the frames, the file and everything the observer
// sees (progress, labels and check points, in order) are the same.
TEST_F(GenerationRunTest, AnyNumberOfWorkersGivesTheSameFileAndTheSameSequence) {
    struct Case {
        int frames, size;
    };
    // The smaller file's makers also take pictures from each other.
    for (const auto& [compressed, small] : {std::pair{true, false}, {false, false}, {true, true}}) {
        for (const Case c : {Case{1, 10}, Case{5, 37}, Case{9, 64}, Case{3, 253}}) {
            RunRequest one = request(c.frames, c.size, compressed, "one.gif");
            one.pattern.reference_size = c.size + 17;  // other rings than the size alone gives
            one.small = small;
            one.worker_count = 1;
            DigestObserver seen_one;
            ASSERT_EQ(run_generation(one, seen_one).outcome, RunOutcome::Completed);
            const Bytes file = test::read_file(one.output_path);
            for (int workers : {2, 3, 8}) {
                RunRequest many = one;
                many.worker_count = workers;
                many.output_path = folder_ / "many.gif";
                DigestObserver seen_many;
                ASSERT_EQ(run_generation(many, seen_many).outcome, RunOutcome::Completed);
                const std::string where = (compressed ? "compressed " : "uncompressed ") + std::string(small ? "small " : "") + std::to_string(c.frames) +
                                          " x " + std::to_string(c.size) + ", workers " + std::to_string(workers);
                EXPECT_TRUE(test::read_file(many.output_path) == file) << where;
                EXPECT_EQ(seen_many.events, seen_one.events) << where;
                EXPECT_EQ(seen_many.checks, seen_one.checks) << where;
                EXPECT_EQ(seen_many.digest, seen_one.digest) << where;
                fs::remove(many.output_path);
            }
            fs::remove(one.output_path);
        }
    }
}

// With many workers far ahead, a stop or exit still ends the run at the
// check point that says so, after exactly what a single worker's run shows
// up to there, and leaves nothing behind.
TEST_F(GenerationRunTest, StopWithWorkersAheadEndsAtTheSameCheckPoint) {
    for (const auto& [compressed, small] : {std::pair{true, false}, {false, false}, {true, true}}) {
        RunRequest r = request(6, 40, compressed);
        r.small = small;
        r.worker_count = 1;
        test::RecordingObserver full;
        ASSERT_EQ(run_generation(r, full).outcome, RunOutcome::Completed);
        fs::remove(r.output_path);
        r.worker_count = 4;
        for (int at : {1, 2, full.checks / 3, full.checks - 1}) {
            test::RecordingObserver observer;
            observer.stop_at_check = at;
            observer.answer = at % 2 ? CheckPoint::Stop : CheckPoint::Exit;
            EXPECT_EQ(run_generation(r, observer).outcome, at % 2 ? RunOutcome::Stopped : RunOutcome::Exited);
            EXPECT_EQ(observer.checks, at);
            // Nothing is shown after the check point that ended the run.
            const std::vector<std::string>&shown = observer.events, &all = full.events;
            ASSERT_LE(shown.size(), all.size());
            EXPECT_TRUE(std::equal(shown.begin(), shown.end(), all.begin())) << compressed << " " << at;
            EXPECT_EQ(shown.back(), "check");
            EXPECT_TRUE(folder_empty()) << compressed << " " << at;
        }
    }
}

TEST_F(GenerationRunTest, CompressedProgressPerRow) {
    test::RecordingObserver observer;
    observer.record_checks = false;
    ASSERT_EQ(run_generation(request(2, 10, true), observer).outcome, RunOutcome::Completed);
    const auto& e = observer.events;
    // Row 1 of frame 1: Int(1/10*32) = 3 blocks; 5 %; 1 block of the run.
    auto first_row = std::find(e.begin(), e.end(), "frame_bar 3");
    ASSERT_NE(first_row, e.end());
    EXPECT_EQ(*(first_row + 1), "percent 5");
    EXPECT_EQ(*(first_row + 2), "total_bar 1");
    // The last row of the last frame reaches 32 blocks and 100 %.
    EXPECT_EQ(std::vector<std::string>(e.end() - 3, e.end()),
              (std::vector<std::string>{"frame_bar 32", "percent 100", "total_bar 32"}));
    EXPECT_EQ(observer.count("frame_bar 32"), 2);
}

TEST_F(GenerationRunTest, UncompressedProgressInBothPasses) {
    test::RecordingObserver observer;
    observer.record_checks = false;
    ASSERT_EQ(run_generation(request(2, 16, false), observer).outcome, RunOutcome::Completed);
    const auto& e = observer.events;
    // Background pass: one full block per frame, both strips shown on each.
    const std::vector<std::string> background = {"percent 0",  "background",   "frame_bar 32", "total_bar 16",
                                                 "background", "frame_bar 32", "total_bar 32", "frame 1"};
    EXPECT_EQ(std::vector<std::string>(e.begin(), e.begin() + 8), background);
    // The last sweep of the last frame overshoots 6.28 rad slightly: full strips.
    EXPECT_EQ(std::vector<std::string>(e.end() - 3, e.end()),
              (std::vector<std::string>{"frame_bar 32", "total_bar 32", "percent 100"}));
    // The run strip starts from the recorded 0, so the full strip of the
    // background pass stays until the first change.
    const auto painting = std::find(e.begin(), e.end(), "frame 1");
    EXPECT_EQ(std::find(painting, e.end(), "total_bar 1") < std::find(painting, e.end(), "total_bar 2"), true);
}

// The painting pass shows each value exactly where a step-by-step
// computation would change it, although it computes them only at changes.
TEST_F(GenerationRunTest, PaintingProgressChangesWhereTheFormulaDoes) {
    const RunRequest r = request(3, 30, false);
    test::RecordingObserver observer;
    observer.record_checks = false;
    ASSERT_EQ(run_generation(r, observer).outcome, RunOutcome::Completed);

    std::vector<std::string> expected;
    const int K = ring_count(30), N = 3;
    const double q = 1500, span = (K + 1) * 6.28 * q;
    int shown[3] = {0, 0, 0};
    const char* names[3] = {"frame_bar ", "total_bar ", "percent "};
    for (int f = 1; f <= N; ++f) {
        expected.push_back("frame " + std::to_string(f));
        for (int k = 0; k <= K; ++k)
            for (int j = 0; j < 9430; ++j) {
                const double F = (k * 6.28 * q + j) / span;
                const int now[3] = {static_cast<int>(std::floor(F * 32)), static_cast<int>(std::floor((F + f - 1) / N * 32)),
                                    static_cast<int>(std::floor((F + f - 1) / N * 100))};
                for (int v = 0; v < 3; ++v)
                    if (now[v] != shown[v]) expected.push_back(names[v] + std::to_string(shown[v] = now[v]));
            }
    }
    const auto first = std::find(observer.events.begin(), observer.events.end(), "frame 1");
    EXPECT_EQ(std::vector<std::string>(first, observer.events.end()), expected);
}

}  // namespace
}  // namespace vz
