#include "music/wav_renderer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "music/tune_composer.h"
#include "sound_font_paths.h"

namespace vz {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

std::uint32_t le(const std::string& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value * 256 + static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

struct Wav {
    std::uint32_t channels = 0, sample_rate = 0, bits = 0;
    std::vector<std::int16_t> samples;  // interleaved

    double seconds() const { return static_cast<double>(samples.size()) / channels / sample_rate; }
    // Largest magnitude over frames [from, to).
    int peak(std::size_t from, std::size_t to) const {
        int result = 0;
        for (std::size_t i = from * channels; i < std::min(to * channels, samples.size()); ++i) {
            result = std::max(result, std::abs(int{samples[i]}));
        }
        return result;
    }
};

Wav parse_wav(const std::string& bytes) {
    Wav wav;
    EXPECT_GE(bytes.size(), 44u);
    if (bytes.size() < 44) return wav;
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(le(bytes, 4, 4), bytes.size() - 8);
    EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(le(bytes, 20, 2), 1u);  // PCM
    wav.channels = le(bytes, 22, 2);
    wav.sample_rate = le(bytes, 24, 4);
    EXPECT_EQ(le(bytes, 28, 4), wav.sample_rate * wav.channels * 2);
    wav.bits = le(bytes, 34, 2);
    EXPECT_EQ(bytes.substr(36, 4), "data");
    const std::uint32_t size = le(bytes, 40, 4);
    EXPECT_EQ(size, bytes.size() - 44);
    for (std::size_t i = 44; i + 1 < bytes.size(); i += 2) {
        wav.samples.push_back(static_cast<std::int16_t>(le(bytes, i, 2)));
    }
    return wav;
}

class WavRendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (sound_font.empty()) GTEST_SKIP() << "no General MIDI sound font installed";
    }

    test::TempFolder folder;
    std::vector<std::string> sound_font = test::installed(default_sound_fonts());
    TuneTable table = compose_tune(InstrumentCounters{0, 0, 0}).table;
};

TEST_F(WavRendererTest, RendersTheWholeTuneAudiblyWithoutClipping) {
    const auto path = folder.path() / "tune.wav";
    const WavRenderResult result = render_tune_to_wav(table, path, sound_font);
    ASSERT_TRUE(result.ok()) << result.reason;
    EXPECT_THAT(folder.names(), ElementsAre("tune.wav"));

    const Wav wav = parse_wav(test::read_bytes(path));
    EXPECT_EQ(wav.channels, 2u);
    EXPECT_EQ(wav.sample_rate, 44100u);
    EXPECT_EQ(wav.bits, 16u);
    // 177 ticks of 155 ms, then at most 3 s of release.
    EXPECT_GE(wav.seconds(), 27.435 - 0.001);
    EXPECT_LE(wav.seconds(), 27.435 + 3.0 + 0.001);

    const std::size_t first_tick = 6835;  // 155 ms
    EXPECT_LE(wav.peak(0, first_tick), 2) << "nothing sounds before the first tick";
    EXPECT_GT(wav.peak(first_tick, first_tick + 44100), 3000) << "step 1 sounds";
    EXPECT_GT(wav.peak(44100 * 20, 44100 * 21), 3000) << "bar 11 sounds";
    EXPECT_LT(wav.peak(0, wav.samples.size() / 2), 32767) << "clipped";
}

TEST_F(WavRendererTest, NeverReplacesAnExistingFile) {
    const auto path = folder.path() / "taken.wav";
    test::write_bytes(path, "precious");
    const WavRenderResult result = render_tune_to_wav(table, path, sound_font);
    EXPECT_EQ(result.status, WavRenderResult::Status::file_exists);
    EXPECT_EQ(test::read_bytes(path), "precious");
    EXPECT_THAT(folder.names(), ElementsAre("taken.wav"));
}

TEST_F(WavRendererTest, WriteFailureGivesTheSystemReasonAndLeavesNoFile) {
    const auto path = folder.path() / "no-such-folder" / "tune.wav";
    const WavRenderResult result = render_tune_to_wav(table, path, sound_font);
    EXPECT_EQ(result.status, WavRenderResult::Status::write_failed);
    EXPECT_EQ(result.reason, "No such file or directory");
    EXPECT_TRUE(folder.names().empty());
}

TEST(WavRenderer, MissingSoundFontIsReportedAndNothingWritten) {
    test::TempFolder folder;
    const WavRenderResult result = render_tune_to_wav(compose_tune(InstrumentCounters{}).table,
                                                      folder.path() / "tune.wav", {(folder.path() / "none.sf2").string()});
    EXPECT_EQ(result.status, WavRenderResult::Status::no_sound_font);
    EXPECT_TRUE(folder.names().empty());
}

}  // namespace
}  // namespace vz
