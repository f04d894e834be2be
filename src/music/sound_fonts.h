// Where the built-in General MIDI synthesizer looks for its sound font.
#pragma once

#include <string>
#include <vector>

namespace vz {

// Tried in order; the first one that loads is used.
inline std::vector<std::string> default_sound_fonts() {
    return {"/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2"};
}

}  // namespace vz
