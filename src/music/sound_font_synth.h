// A General MIDI synthesizer with a sound font loaded and no audio output of
// its own, shared by live playback and the offline renderer so that both
// sound alike. Internal to the music library.
#pragma once

#include <fluidsynth.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vz {

// Hands one short message to the synthesizer. Note-on, note-off, control
// and program changes sound; anything else, the filler value among them,
// is ignored.
void send_short_message(fluid_synth_t* synth, std::uint32_t short_message);

class SoundFontSynth {
public:
    enum class Failure { none, no_sound_font, synth };

    // The synthesizer with the first of `sound_fonts` that loads, or null:
    // `no_sound_font` when none of them exists, `synth` otherwise. Prints
    // nothing: the synthesizer's own log output is switched off.
    static std::unique_ptr<SoundFontSynth> create(const std::vector<std::string>& sound_fonts,
                                                  Failure* failure = nullptr);
    ~SoundFontSynth();
    SoundFontSynth(const SoundFontSynth&) = delete;
    SoundFontSynth& operator=(const SoundFontSynth&) = delete;

    void send(std::uint32_t short_message) { send_short_message(synth_, short_message); }
    fluid_settings_t* settings() const { return settings_; }
    fluid_synth_t* synth() const { return synth_; }

private:
    SoundFontSynth() = default;
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
};

}  // namespace vz
