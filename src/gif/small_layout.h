// The smaller file: the same canvases as the exact layout in fewer bytes.
// Its colour table holds only the colours the rings draw, each once, and
// one more index for pixels a frame leaves as they are. Each frame is one
// image with a rectangle of its own and a disposal that either keeps the
// canvas for the next frame or clears the image's rectangle to transparent.
// The blocks around them (looping, comment, trailer) are the exact ones.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "io/byte_sink.h"
#include "pattern/sine_palette.h"

namespace vz {

struct SmallPalette {
    static constexpr std::uint8_t kNotDrawn = 0xFF;
    // The index in this table of each entry of the exact palette, or
    // kNotDrawn; entry 0 of a transparent background maps to `transparent`.
    std::array<std::uint8_t, kPaletteEntries> index{};
    std::vector<std::uint8_t> table;  // red, green, blue per entry, 2^table_bits entries
    int colours = 0;                  // drawn colours: indices 0 .. colours - 1
    int transparent = -1;             // index `colours`, or -1 when no frame needs it
    int table_bits = 1;
};

// The colour table of a run whose rings 0..ring_count draw with `palette`.
// With `transparent_background` palette entry 0 is not a colour: its pixels
// are transparent. `leaves_pixels`: some frame leaves pixels as they are.
SmallPalette small_palette(const Palette& palette, int ring_count, bool transparent_background, bool leaves_pixels);

// The smallest LZW minimum code size for symbols 0 .. symbols - 1.
int min_code_size_for(int symbols);

// Where an image lies on the canvas, in pixels from the top left corner.
struct ImageRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const ImageRect&) const = default;
};

// What becomes of an image's rectangle once its frame has been shown.
enum class Disposal : std::uint8_t {
    Keep = 1,           // stays, and the next frame draws over it
    ToTransparent = 2,  // cleared to transparent
};

// Signature, screen descriptor and colour table.
void write_small_header(ByteSink& out, int picture_size, const SmallPalette& palette);
// Graphic control extension and image descriptor of one frame; its LZW data
// (minimum code size byte first) follows. transparent_index -1: none.
void write_image_header(ByteSink& out, Disposal disposal, int transparent_index, std::uint8_t delay,
                        const ImageRect& rect);

}  // namespace vz
