#include "music/sound_font_synth.h"

#include <filesystem>
#include <mutex>
#include <system_error>

#include "music/short_message.h"
#include "music/synth_settings.h"

namespace vz {
namespace {

void silence_synth_log() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
            fluid_set_log_function(level, nullptr, nullptr);
        }
    });
}

bool file_exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace

void send_short_message(fluid_synth_t* synth, std::uint32_t short_message) {
    const ShortMessage m = decode_short_message(short_message);
    if (!m.has_status()) return;
    switch (m.kind()) {
        case kNoteOn:
            if (m.data2 == 0) {
                fluid_synth_noteoff(synth, m.channel(), m.data1);
            } else {
                fluid_synth_noteon(synth, m.channel(), m.data1, m.data2);
            }
            break;
        case kNoteOff:
            fluid_synth_noteoff(synth, m.channel(), m.data1);
            break;
        case kControlChange:
            fluid_synth_cc(synth, m.channel(), m.data1, m.data2);
            break;
        case kProgramChange:
            fluid_synth_program_change(synth, m.channel(), m.data1);
            break;
        default:
            break;
    }
}

std::unique_ptr<SoundFontSynth> SoundFontSynth::create(const std::vector<std::string>& sound_fonts,
                                                       Failure* failure) {
    silence_synth_log();
    const auto fail = [failure](Failure why) {
        if (failure != nullptr) *failure = why;
        return nullptr;
    };

    bool any_exists = false;
    for (const std::string& path : sound_fonts) any_exists = any_exists || file_exists(path);
    if (!any_exists) return fail(Failure::no_sound_font);

    std::unique_ptr<SoundFontSynth> result(new SoundFontSynth);
    result->settings_ = new_fluid_settings();
    if (result->settings_ == nullptr) return fail(Failure::synth);
    fluid_settings_setnum(result->settings_, "synth.sample-rate", kSynthSampleRate);
    fluid_settings_setnum(result->settings_, "synth.gain", kSynthGain);
    // Samples load when a program selects them, not all at once: the full
    // General MIDI font would otherwise hold up every opening for a second.
    fluid_settings_setint(result->settings_, "synth.dynamic-sample-loading", 1);
    result->synth_ = new_fluid_synth(result->settings_);
    if (result->synth_ == nullptr) return fail(Failure::synth);

    for (const std::string& path : sound_fonts) {
        // Checking the header first keeps other loaders from complaining
        // about files that are no sound font at all.
        if (file_exists(path) && fluid_is_soundfont(path.c_str()) &&
            fluid_synth_sfload(result->synth_, path.c_str(), 1) != FLUID_FAILED) {
            if (failure != nullptr) *failure = Failure::none;
            return result;
        }
    }
    return fail(Failure::synth);
}

SoundFontSynth::~SoundFontSynth() {
    if (synth_ != nullptr) delete_fluid_synth(synth_);
    if (settings_ != nullptr) delete_fluid_settings(settings_);
}

}  // namespace vz
