// Offline rendering of a tune table through the built-in synthesizer into a
// 16-bit 44.1 kHz stereo WAV file, timed as live playback but computed
// faster than real time.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "music/sound_fonts.h"
#include "music/tune_table.h"

namespace vz {

struct WavRenderResult {
    enum class Status { written, file_exists, no_sound_font, synth_failed, write_failed, interrupted };
    Status status = Status::write_failed;
    std::string reason;  // for write failures, the system's reason

    bool ok() const { return status == Status::written; }
};

// Never replaces an existing file; leaves no file behind on failure.
// `interrupted` is asked between blocks of sound; once it answers true the
// rendering ends with Status::interrupted and nothing written.
WavRenderResult render_tune_to_wav(const TuneTable& table, const std::filesystem::path& path,
                                   const std::vector<std::string>& sound_fonts = default_sound_fonts(),
                                   const std::function<bool()>& interrupted = {});

}  // namespace vz
