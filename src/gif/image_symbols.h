// What one image of the smaller file holds, ready for the LZW encoder: its
// rectangle on the canvas and, per pixel, the symbol to send and the one
// also allowed. Made from frames drawn in the colours of the smaller file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gif/small_layout.h"

namespace vz {

// A drawn frame: `size` x `size` indices of the smaller file's colour
// table, row r (0-based) at first + r * stride.
struct FrameGrid {
    const std::uint8_t* first = nullptr;
    std::size_t stride = 0;
    int size = 0;
    const std::uint8_t* row(int r) const { return first + static_cast<std::size_t>(r) * stride; }
};

struct ImageSymbols {
    ImageRect rect;
    std::vector<std::uint8_t> preferred;  // rect.width * rect.height, raster order
    std::vector<std::uint8_t> allowed;    // equal to preferred where only one symbol shows the pixel
    int symbols = 0;                      // every symbol is below this
    int transparent = -1;                 // the index that leaves a pixel as it is; -1: none
    // Kept from frame to frame: changed_symbols()' pixels that stay, a bit
    // per pixel.
    std::vector<std::uint64_t> stay_bits;
};

// The whole frame, every pixel in its colour.
void whole_frame_symbols(const FrameGrid& frame, const SmallPalette& palette, ImageSymbols& image);

// Whether a background pixel that stays may go as the transparent index
// too, or only as its colour: on large pictures the background's runs
// then stay whole, which is shorter and far quicker to encode.
enum class StayingBackground { Either, Colour };

// What `after` changes on a canvas that shows `before`: the rectangle
// around the changed pixels, or one transparent pixel when nothing changed.
// The transparent index is the colour that the most pixels that stay have
// among those no changed pixel needs (sent as it, they are one symbol
// either way, and the code size may stay smaller), else the palette's own.
// A pixel that stays may be sent as its colour or as the transparent index;
// each stretch of them is preferred as the one that breaks the runs of
// equal symbols least, the transparent index when they tie.
void changed_symbols(const FrameGrid& before, const FrameGrid& after, const SmallPalette& palette,
                     StayingBackground background, ImageSymbols& image);

// The same image with every pixel that stays preferred as its colour, the
// transparent index still allowed.
void colours_first(ImageSymbols& image);
// The same image without the transparent index: every pixel in its colour.
void colours_only(ImageSymbols& image, const SmallPalette& palette);

// A frame on a transparent canvas: the rectangle around its drawn pixels
// (the whole frame when `whole`); its background is the transparent index.
void drawn_symbols(const FrameGrid& frame, const SmallPalette& palette, bool whole, ImageSymbols& image);

}  // namespace vz
