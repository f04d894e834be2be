// Test helper: decodes a GIF with giflib, the way a real viewer would.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vz::test {

struct DecodedFrame {
    std::vector<std::uint8_t> pixels;  // row-major palette indices
    int delay = -1;                    // hundredths of a second, -1 = no graphic control
    int disposal = -1;
    int transparent_index = -1;        // -1 = no transparency
};

struct DecodedGif {
    int width = 0, height = 0;
    std::vector<std::uint8_t> palette;  // r, g, b per entry
    std::vector<DecodedFrame> frames;
    int loop_count = -1;                // -1 = no looping extension
    std::vector<std::string> comments;
};

// Throws std::runtime_error with giflib's reason when the data does not decode.
DecodedGif decode_gif(const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> read_file(const std::filesystem::path& path);

}  // namespace vz::test
