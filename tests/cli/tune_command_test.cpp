#include "cli/render_tool.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "music/tune_composer.h"
#include "sound_font_paths.h"
#include "temp_folder.h"

namespace vz {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

CliRun run(const std::vector<std::string>& args,
           const std::vector<std::string>& sound_fonts = default_sound_fonts()) {
    std::ostringstream out;
    std::ostringstream err;
    CliRun result;
    std::vector<std::string> tool_args{"tune"};
    tool_args.insert(tool_args.end(), args.begin(), args.end());
    result.status = render_tool(tool_args, out, err, sound_fonts);
    result.out = out.str();
    result.err = err.str();
    return result;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

TEST(TuneCli, PrintsEveryFilledCellInStepAndSlotOrder) {
    const CliRun r = run({"--counters", "0,0,0"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::vector<std::string> printed = lines(r.out);
    ASSERT_GE(printed.size(), 10u);
    EXPECT_THAT(std::vector(printed.begin(), printed.begin() + 4),
                ElementsAre("1 1 000033C0", "1 2 000026C3", "1 3 000036C1", "1 4 00642499"));
    EXPECT_EQ(printed.back(), "176 1 00000001");

    const TuneTable table = compose_tune(InstrumentCounters{0, 0, 0}).table;
    std::size_t filled = 0;
    for (int step = 1; step <= kTuneSteps; ++step) filled += table.messages(step).size();
    EXPECT_EQ(printed.size(), filled);
    EXPECT_EQ(printed[10], "2 1 00007BB3");  // step 2 opens with All Notes Off on channel 3
}

TEST(TuneCli, UsesTheGivenCountersAsTheyAre) {
    const std::vector<std::string> printed = lines(run({"--counters", "9,10,6"}).out);
    ASSERT_GE(printed.size(), 3u);
    // Pad 1 (new age) = 88, Banjo = 105, Sitar = 104.
    EXPECT_THAT(std::vector(printed.begin(), printed.begin() + 3),
                ElementsAre("1 1 000058C0", "1 2 000069C3", "1 3 000068C1"));
    const std::vector<std::string> beyond = lines(run({"--counters=12,255,7"}).out);
    ASSERT_GE(beyond.size(), 3u);
    EXPECT_THAT(std::vector(beyond.begin(), beyond.begin() + 3),
                ElementsAre("1 1 000033C0", "1 2 000026C3", "1 3 00000FC1"));
}

struct BadArguments {
    std::vector<std::string> args;
    const char* named;  // the argument the message must name
};

class TuneCliBadInput : public ::testing::TestWithParam<BadArguments> {};

TEST_P(TuneCliBadInput, OneLineNamingTheArgumentAndStatusTwo) {
    const CliRun r = run(GetParam().args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(lines(r.err).size(), 1u) << r.err;
    EXPECT_THAT(r.err, HasSubstr(GetParam().named));
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, TuneCliBadInput,
    ::testing::Values(BadArguments{{}, "--counters"}, BadArguments{{"--counters"}, "--counters"},
                      BadArguments{{"--counters", "1,2"}, "1,2"}, BadArguments{{"--counters", "1,2,3,4"}, "1,2,3,4"},
                      BadArguments{{"--counters", "1,2,256"}, "1,2,256"},
                      BadArguments{{"--counters", "-1,2,3"}, "-1,2,3"}, BadArguments{{"--counters", "1,,3"}, "1,,3"},
                      BadArguments{{"--counters", "a,b,c"}, "a,b,c"}, BadArguments{{"--counters", " 1,2,3"}, " 1,2,3"},
                      BadArguments{{"--counters", "1,2,3", "--bogus"}, "--bogus"},
                      BadArguments{{"--counters", "1,2,3", "extra"}, "extra"},
                      BadArguments{{"--counters", "1,2,3", "--wav"}, "--wav"},
                      BadArguments{{"--counters", "1,2,3", "--wav="}, "--wav"},
                      BadArguments{{"--counters", "1,2,3", "--sound-font="}, "--sound-font"},
                      BadArguments{{"--counters", "1,2,3", "--counters", "1,2,3"}, "--counters"},
                      BadArguments{{"--wav", "x.wav"}, "--counters"}));

TEST(TuneCli, BadInputWritesNoFile) {
    test::TempFolder folder;
    const auto path = folder.path() / "tune.wav";
    EXPECT_EQ(run({"--counters", "1,2", "--wav", path.string()}).status, 2);
    EXPECT_TRUE(folder.names().empty());
}

TEST(TuneCli, ExistingWavFileIsRefusedAndLeftUntouched) {
    test::TempFolder folder;
    const auto path = folder.path() / "tune.wav";
    test::write_bytes(path, "precious");
    const CliRun r = run({"--counters", "0,0,0", "--wav", path.string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_THAT(r.err, HasSubstr(path.string()));
    EXPECT_THAT(r.err, HasSubstr("exists"));
    EXPECT_EQ(test::read_bytes(path), "precious");
}

TEST(TuneCli, MissingSoundFontIsReportedWithStatusOne) {
    test::TempFolder folder;
    const auto font = (folder.path() / "gone.sf2").string();
    const std::string wav = (folder.path() / "tune.wav").string();
    // Given to the tool, or named by --sound-font over the tool's own.
    for (const CliRun& r : {run({"--counters", "0,0,0", "--wav", wav}, {font}),
                            run({"--counters", "0,0,0", "--wav", wav, "--sound-font", font})}) {
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(lines(r.err).size(), 1u);
        EXPECT_THAT(r.err, HasSubstr("sound font"));
        EXPECT_THAT(r.err, HasSubstr(font));
    }
    EXPECT_TRUE(folder.names().empty());
}

class TuneCliRendering : public ::testing::Test {
protected:
    void SetUp() override {
        // The smallest installed font keeps these renders quick.
        sound_font = test::installed({"/usr/share/sounds/sf2/TimGM6mb.sf2"});
        if (sound_font.empty()) sound_font = test::installed(default_sound_fonts());
        if (sound_font.empty()) GTEST_SKIP() << "no General MIDI sound font installed";
    }

    test::TempFolder folder;
    std::vector<std::string> sound_font;
};

TEST_F(TuneCliRendering, WritesTheWavAndPrintsTheTable) {
    const auto path = folder.path() / "tune.wav";
    const CliRun r = run({"--wav", path.string(), "--counters", "3,4,5"}, sound_font);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, run({"--counters", "3,4,5"}).out);
    EXPECT_GT(std::filesystem::file_size(path), 44u + 27u * 44100u * 4u);
}

TEST_F(TuneCliRendering, WriteFailureGivesTheSystemReasonAndStatusOne) {
    const auto path = folder.path() / "missing" / "tune.wav";
    const CliRun r = run({"--counters", "0,0,0", "--wav", path.string()}, sound_font);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(lines(r.err).size(), 1u);
    EXPECT_THAT(r.err, HasSubstr("No such file or directory"));
    EXPECT_TRUE(folder.names().empty());
}

// The mode the command-line fuzzer uses: arguments checked as usual, but no
// picture or tune rendered and no file written.
TEST(CheckOnly, ChecksArgumentsButWritesNothing) {
    test::TempFolder folder;
    const std::string gif = (folder.path() / "x.gif").string(), wav = (folder.path() / "t.wav").string();
    std::ostringstream out, err;
    EXPECT_EQ(render_tool({"gif", "--output", gif, "--frames", "100", "--size", "1000", "--pattern", "1234-012"}, out,
                          err, {}, true),
              0);
    EXPECT_EQ(out.str(), "pattern 1234-012\n");
    EXPECT_EQ(render_tool({"gif", "--output", gif, "--frames", "0", "--size", "10"}, out, err, {}, true), 2);
    EXPECT_THAT(err.str(), HasSubstr("--frames"));
    std::ostringstream table;
    EXPECT_EQ(render_tool({"tune", "--counters", "3,4,5", "--wav", wav}, table, err, {}, true), 0);
    EXPECT_EQ(table.str(), run({"--counters", "3,4,5"}).out);
    EXPECT_TRUE(folder.names().empty());
}

}  // namespace
}  // namespace vz
