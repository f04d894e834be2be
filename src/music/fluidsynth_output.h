// The program's built-in General MIDI synthesizer as a MIDI output device:
// a sound font synthesizer playing through the system's audio output.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "music/midi_output.h"
#include "music/sound_fonts.h"

namespace vz {

class FluidSynthOutput final : public MidiOutput {
public:
    explicit FluidSynthOutput(std::vector<std::string> sound_fonts = default_sound_fonts());
    ~FluidSynthOutput() override;
    FluidSynthOutput(const FluidSynthOutput&) = delete;
    FluidSynthOutput& operator=(const FluidSynthOutput&) = delete;

    // Loads the sound font and starts audio output. False, with nothing
    // left open and nothing printed, when either cannot be had.
    bool open() override;
    // Ignored while closed.
    void send(std::uint32_t short_message) override;
    // Stops audio output and releases the synthesizer; all sound ends.
    void close() override;

    bool is_open() const { return device_ != nullptr; }

private:
    struct Device;
    std::vector<std::string> sound_fonts_;
    std::unique_ptr<Device> device_;
};

}  // namespace vz
