// Sound fonts as the music tests find them on this machine.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "temp_folder.h"

namespace vz::test {

// The first sound font of the default list that is installed, or empty.
inline std::vector<std::string> installed(const std::vector<std::string>& sound_fonts) {
    for (const std::string& path : sound_fonts) {
        if (std::filesystem::is_regular_file(path)) return {path};
    }
    return {};
}

}  // namespace vz::test
