#include "music/fluidsynth_output.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "music/sound_font_synth.h"

namespace vz {
namespace {

// Audio back ends in order of preference; only those the library offers
// are tried. Back ends that may start a sound server are left out.
constexpr std::array<const char*, 3> kAudioDrivers{"pulseaudio", "pipewire", "alsa"};

void collect_option(void* data, const char* /*name*/, const char* option) {
    static_cast<std::vector<std::string>*>(data)->emplace_back(option);
}

std::vector<std::string> available_audio_drivers(fluid_settings_t* settings) {
    std::vector<std::string> drivers;
    fluid_settings_foreach_option(settings, "audio.driver", &drivers, collect_option);
    return drivers;
}

}  // namespace

struct FluidSynthOutput::Device {
    std::unique_ptr<SoundFontSynth> synth;
    fluid_audio_driver_t* driver = nullptr;

    ~Device() {
        // The driver pulls audio from the synthesizer, so it goes first.
        if (driver != nullptr) delete_fluid_audio_driver(driver);
    }
};

FluidSynthOutput::FluidSynthOutput(std::vector<std::string> sound_fonts) : sound_fonts_(std::move(sound_fonts)) {}

FluidSynthOutput::~FluidSynthOutput() = default;

bool FluidSynthOutput::open() {
    close();
    auto device = std::make_unique<Device>();
    device->synth = SoundFontSynth::create(sound_fonts_);
    if (device->synth == nullptr) return false;

    fluid_settings_t* settings = device->synth->settings();
    const std::vector<std::string> available = available_audio_drivers(settings);
    for (const char* name : kAudioDrivers) {
        if (std::find(available.begin(), available.end(), name) == available.end()) continue;
        if (fluid_settings_setstr(settings, "audio.driver", name) == FLUID_FAILED) continue;
        device->driver = new_fluid_audio_driver(settings, device->synth->synth());
        if (device->driver != nullptr) {
            device_ = std::move(device);
            return true;
        }
    }
    return false;
}

void FluidSynthOutput::send(std::uint32_t short_message) {
    if (device_ != nullptr) device_->synth->send(short_message);
}

void FluidSynthOutput::close() { device_.reset(); }

}  // namespace vz
