// The smaller layout against the exact one: whole runs of both, decoded by
// giflib and composited, show the same canvases frame by frame. And the
// compositor itself shows what Pillow shows, so that one mistake on both
// sides cannot make two files "equal".
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "decoded_gif.h"
#include "pattern/pattern_parameters.h"
#include "run/generation_run.h"
#include "temp_folder.h"

namespace vz {
namespace {

namespace fs = std::filesystem;

struct Row {
    const char* pattern;
    int size;
    int frames;
    bool compressed;
    bool transparent;
};

void PrintTo(const Row& r, std::ostream* os) {
    *os << r.pattern << '_' << r.size << 'x' << r.frames << (r.compressed ? "" : "_uncompressed")
        << (r.transparent ? "_transparent" : "");
}

fs::path run(const Row& row, bool small, const fs::path& path) {
    RunRequest request;
    request.pattern = *parse_pattern(row.pattern);
    request.pattern.reference_size = row.size;
    request.picture_size = row.size;
    request.frame_count = row.frames;
    request.compressed = row.compressed;
    request.transparent = row.transparent;
    request.small = small;
    request.output_path = path;
    SilentRunObserver observer;
    EXPECT_EQ(run_generation(request, observer).outcome, RunOutcome::Completed);
    return path;
}

std::vector<test::Canvas> canvases(const test::DecodedGif& gif) {
    std::vector<test::Canvas> shown;
    test::composite(gif, [&](int, const test::Canvas& canvas) { shown.push_back(canvas); });
    return shown;
}

class SmallFile : public ::testing::TestWithParam<Row> {};

TEST_P(SmallFile, ShowsTheExactCanvasesInFewerBytes) {
    const Row row = GetParam();
    test::TempFolder temp;
    const fs::path exact_path = run(row, false, temp.path() / "exact.gif");
    const fs::path small_path = run(row, true, temp.path() / "small.gif");
    EXPECT_LT(fs::file_size(small_path), fs::file_size(exact_path));
    const test::DecodedGif exact = test::decode_gif(test::read_file(exact_path));
    const test::DecodedGif small = test::decode_gif(test::read_file(small_path));

    ASSERT_EQ(small.frames.size(), exact.frames.size());
    EXPECT_EQ(small.loop_count, exact.loop_count);
    EXPECT_EQ(small.comments, exact.comments);
    const std::vector<test::Canvas> expected = canvases(exact);
    test::composite(small, [&](int i, const test::Canvas& canvas) {
        EXPECT_EQ(small.frames[i].delay, exact.frames[i].delay);
        EXPECT_TRUE(canvas == expected[i]) << "frame " << i + 1;
    });
}

// The 1000-pixel rows also decode exact frames far past the point where
// the exact encoder's table is full.
INSTANTIATE_TEST_SUITE_P(
    Runs, SmallFile,
    ::testing::Values(Row{"6152-320", 10, 1, true, false}, Row{"7351-213", 11, 2, true, true},
                      Row{"0918-031", 128, 100, true, false}, Row{"5555-010", 128, 100, true, true},
                      Row{"4242-333", 11, 100, false, false}, Row{"6317-120", 128, 2, false, true},
                      Row{"6152-320", 1000, 3, true, false}, Row{"7351-213", 1000, 2, false, false},
                      Row{"0918-031", 1000, 2, true, true}));

// One small file per mode: offsets and disposals 1 (opaque) and 2
// (transparent background) are in them.
TEST(Compositor, ShowsWhatPillowShows) {
    test::TempFolder temp;
    for (const Row& row : {Row{"6152-320", 64, 5, true, false}, Row{"5555-010", 64, 5, true, true},
                           Row{"7351-213", 64, 5, false, false}}) {
        const fs::path gif = run(row, true, temp.path() / "small.gif");
        const fs::path raw = temp.path() / "pillow.raw";
        const std::string command = std::string(VZ_PYTHON3) + " " + VZ_PILLOW_CANVASES + " " + gif.string() + " " +
                                    raw.string();
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const test::DecodedGif decoded = test::decode_gif(test::read_file(gif));
        bool offset = false;
        for (const test::DecodedFrame& frame : decoded.frames) {
            offset |= frame.left > 0 && frame.top > 0;
            EXPECT_EQ(frame.disposal, row.transparent ? 2 : 1);
        }
        EXPECT_TRUE(offset) << row.pattern;

        std::vector<std::uint8_t> ours;
        for (const test::Canvas& canvas : canvases(decoded)) ours.insert(ours.end(), canvas.begin(), canvas.end());
        EXPECT_TRUE(ours == test::read_file(raw)) << row.pattern;
        fs::remove(gif);
    }
}

}  // namespace
}  // namespace vz
