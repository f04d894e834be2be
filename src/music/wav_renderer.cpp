#include "music/wav_renderer.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <system_error>
#include <utility>

#include "io/output_file.h"
#include "music/sound_font_synth.h"
#include "music/synth_settings.h"
#include "music/tune_schedule.h"

namespace vz {
namespace {

constexpr int kChannels = 2;
constexpr int kBitsPerSample = 16;
constexpr int kWavHeaderBytes = 44;
constexpr long long kRenderBlockFrames = 4096;

class SampleRecorder {
public:
    explicit SampleRecorder(SoundFontSynth& synth) : synth_(synth) {}

    // Appends `frames` stereo frames; returns the largest magnitude among them.
    int render(long long frames) {
        int peak = 0;
        while (frames > 0) {
            const auto block = static_cast<int>(std::min(frames, kRenderBlockFrames));
            const std::size_t start = samples_.size();
            samples_.resize(start + static_cast<std::size_t>(block) * kChannels);
            std::int16_t* out = samples_.data() + start;
            fluid_synth_write_s16(synth_.synth(), block, out, 0, kChannels, out, 1, kChannels);
            for (std::size_t i = start; i < samples_.size(); ++i) peak = std::max(peak, std::abs(int{samples_[i]}));
            frames -= block;
        }
        return peak;
    }

    long long frames() const { return static_cast<long long>(samples_.size()) / kChannels; }
    const std::vector<std::int16_t>& samples() const { return samples_; }

private:
    SoundFontSynth& synth_;
    std::vector<std::int16_t> samples_;
};

// The whole tune's samples, or nothing once `interrupted` says so.
std::optional<std::vector<std::int16_t>> render_samples(const TuneTable& table, SoundFontSynth& synth,
                                                        const std::function<bool()>& interrupted) {
    auto stop = [&] { return interrupted && interrupted(); };
    const TuneSchedule schedule = schedule_tune(table);
    SampleRecorder recorder(synth);
    for (const ScheduledMessage& m : schedule.messages) {
        if (m.frame > recorder.frames()) {
            if (stop()) return std::nullopt;
            recorder.render(m.frame - recorder.frames());
        }
        synth.send(m.message);
    }
    if (stop()) return std::nullopt;
    recorder.render(schedule.end_frame - recorder.frames());
    const long long release_end = recorder.frames() + kMaxReleaseMilliseconds * kSynthSampleRate / 1000;
    while (recorder.frames() < release_end) {
        if (stop()) return std::nullopt;
        if (recorder.render(std::min(kReleaseBlockFrames, release_end - recorder.frames())) <= kSilenceLevel) break;
    }
    return recorder.samples();
}

void put_u16(std::vector<std::byte>& out, std::uint32_t value) {
    out.push_back(static_cast<std::byte>(value & 0xFF));
    out.push_back(static_cast<std::byte>((value >> 8) & 0xFF));
}
void put_u32(std::vector<std::byte>& out, std::uint32_t value) {
    put_u16(out, value & 0xFFFF);
    put_u16(out, value >> 16);
}
void put_tag(std::vector<std::byte>& out, const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::byte>(tag[i]));
}

// A canonical PCM WAV: RIFF header, "fmt " chunk, "data" chunk.
std::vector<std::byte> wav_bytes(const std::vector<std::int16_t>& samples) {
    const auto data_bytes = static_cast<std::uint32_t>(samples.size() * sizeof(std::int16_t));
    constexpr std::uint32_t block_align = kChannels * kBitsPerSample / 8;
    std::vector<std::byte> out;
    out.reserve(kWavHeaderBytes + data_bytes);
    put_tag(out, "RIFF");
    put_u32(out, kWavHeaderBytes - 8 + data_bytes);
    put_tag(out, "WAVE");
    put_tag(out, "fmt ");
    put_u32(out, 16);
    put_u16(out, 1);  // PCM
    put_u16(out, kChannels);
    put_u32(out, kSynthSampleRate);
    put_u32(out, kSynthSampleRate * block_align);
    put_u16(out, block_align);
    put_u16(out, kBitsPerSample);
    put_tag(out, "data");
    put_u32(out, data_bytes);
    for (std::int16_t sample : samples) put_u16(out, static_cast<std::uint16_t>(sample));
    return out;
}

WavRenderResult result(WavRenderResult::Status status, std::string reason = {}) { return {status, std::move(reason)}; }

}  // namespace

WavRenderResult render_tune_to_wav(const TuneTable& table, const std::filesystem::path& path,
                                   const std::vector<std::string>& sound_fonts,
                                   const std::function<bool()>& interrupted) {
    using Status = WavRenderResult::Status;
    // Refuse before rendering; the final move checks again.
    if (path_exists(path)) return result(Status::file_exists, std::strerror(EEXIST));

    SoundFontSynth::Failure failure = SoundFontSynth::Failure::none;
    const std::unique_ptr<SoundFontSynth> synth = SoundFontSynth::create(sound_fonts, &failure);
    if (synth == nullptr) {
        return failure == SoundFontSynth::Failure::no_sound_font
                   ? result(Status::no_sound_font, "no sound font found")
                   : result(Status::synth_failed, "the sound font could not be loaded");
    }

    const std::optional<std::vector<std::int16_t>> samples = render_samples(table, *synth, interrupted);
    if (!samples) return result(Status::interrupted);
    const std::vector<std::byte> bytes = wav_bytes(*samples);
    try {
        OutputFile file(path);
        file.append(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        if (interrupted && interrupted()) return result(Status::interrupted);  // the file goes with `file`
        if (file.commit() == OutputFile::Commit::NameTaken) return result(Status::file_exists, std::strerror(EEXIST));
        return result(Status::written);
    } catch (const std::system_error& error) {
        return result(Status::write_failed, std::strerror(error.code().value()));
    }
}

}  // namespace vz
