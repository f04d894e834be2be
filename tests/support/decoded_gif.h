// Test helper: decodes a GIF with giflib, and composites its frames the way
// a viewer shows them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vz::test {

struct DecodedFrame {
    int left = 0, top = 0, width = 0, height = 0;  // the image's place on the canvas
    std::vector<std::uint8_t> pixels;  // row-major palette indices, width * height
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

// What a viewer shows after each frame, as red, green, blue, alpha per
// pixel: the canvas starts transparent; a frame draws its pixels other than
// its transparent index at its place; then disposal 2 clears its rectangle
// to transparent and 3 puts back what was there before it. A transparent
// pixel's colour is not seen, so it is 0 0 0 0. Calls show(frame, canvas).
using Canvas = std::vector<std::uint8_t>;
template <class Show>
void composite(const DecodedGif& gif, Show&& show);
std::vector<std::uint8_t> read_file(const std::filesystem::path& path);

template <class Show>
void composite(const DecodedGif& gif, Show&& show) {
    Canvas canvas(static_cast<std::size_t>(gif.width) * gif.height * 4, 0);
    for (std::size_t i = 0; i < gif.frames.size(); ++i) {
        const DecodedFrame& f = gif.frames[i];
        const Canvas before = canvas;
        for (int y = 0; y < f.height; ++y)
            for (int x = 0; x < f.width; ++x) {
                const int index = f.pixels[static_cast<std::size_t>(y) * f.width + x];
                const int cx = f.left + x, cy = f.top + y;
                if (index == f.transparent_index || cx >= gif.width || cy >= gif.height) continue;
                std::uint8_t* pixel = &canvas[(static_cast<std::size_t>(cy) * gif.width + cx) * 4];
                for (int c = 0; c < 3; ++c) pixel[c] = gif.palette.at(static_cast<std::size_t>(index) * 3 + c);
                pixel[3] = 255;
            }
        show(static_cast<int>(i), canvas);
        if (f.disposal == 2 || f.disposal == 3)
            for (int y = f.top; y < std::min(f.top + f.height, gif.height); ++y) {
                const std::size_t from = (static_cast<std::size_t>(y) * gif.width + f.left) * 4;
                const std::size_t length = static_cast<std::size_t>(std::min(f.width, gif.width - f.left)) * 4;
                if (f.disposal == 2)
                    std::fill_n(canvas.begin() + static_cast<std::ptrdiff_t>(from), length, 0);
                else
                    std::copy_n(before.begin() + static_cast<std::ptrdiff_t>(from), length,
                                canvas.begin() + static_cast<std::ptrdiff_t>(from));
            }
    }
}

}  // namespace vz::test
