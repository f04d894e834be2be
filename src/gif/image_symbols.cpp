#include "gif/image_symbols.h"

#include <cstring>

namespace vz {

namespace {

void single_transparent_pixel(const SmallPalette& palette, ImageSymbols& image) {
    image.rect = {0, 0, 1, 1};
    const auto t = static_cast<std::uint8_t>(palette.transparent);
    image.preferred.assign(1, t);
    image.allowed.assign(1, t);
    image.symbols = palette.transparent + 1;
    image.leaves_pixels = true;
}

// Copies the rectangle's colours into both symbol arrays.
void copy_colours(const FrameGrid& frame, const SmallPalette& palette, ImageSymbols& image) {
    const ImageRect& r = image.rect;
    image.preferred.resize(static_cast<std::size_t>(r.width) * r.height);
    std::uint8_t* out = image.preferred.data();
    for (int y = r.top; y < r.top + r.height; ++y) {
        const std::uint8_t* in = frame.row(y) + r.left;
        for (int x = 0; x < r.width; ++x) *out++ = palette.index[in[x]];
    }
    image.allowed = image.preferred;
}

}  // namespace

void whole_frame_symbols(const FrameGrid& frame, const SmallPalette& palette, ImageSymbols& image) {
    image.rect = {0, 0, frame.size, frame.size};
    copy_colours(frame, palette, image);
    image.symbols = palette.colours;
    image.leaves_pixels = false;
}

void changed_symbols(const FrameGrid& before, const FrameGrid& after, const SmallPalette& palette,
                     ImageSymbols& image) {
    const int size = after.size;
    int top = -1, bottom = -1, left = size, right = -1;
    for (int y = 0; y < size; ++y) {
        const std::uint8_t* b = before.row(y);
        const std::uint8_t* a = after.row(y);
        if (std::memcmp(a, b, static_cast<std::size_t>(size)) == 0) continue;
        if (top < 0) top = y;
        bottom = y;
        int x = 0;
        while (a[x] == b[x]) ++x;
        if (x < left) left = x;
        x = size - 1;
        while (a[x] == b[x]) --x;
        if (x > right) right = x;
    }
    if (top < 0) return single_transparent_pixel(palette, image);

    image.rect = {left, top, right - left + 1, bottom - top + 1};
    const std::size_t count = static_cast<std::size_t>(image.rect.width) * image.rect.height;
    image.preferred.resize(count);
    image.allowed.resize(count);
    std::uint8_t* const preferred = image.preferred.data();
    std::uint8_t* const allowed = image.allowed.data();
    const auto t = static_cast<std::uint8_t>(palette.transparent);

    // A stretch of pixels that stay, between symbols that must be sent: it
    // goes as its colours when that makes fewer changes between neighbours
    // than the transparent index would, which changes at both of its ends.
    int before_stretch = -1;  // the symbol sent just before it; -1 at the start
    std::size_t stretch = 0, stretch_end = 0;
    int first_colour = 0, last_colour = 0, changes = 0;
    bool in_stretch = false;
    auto settle = [&](int after_stretch) {
        const int as_colours = (before_stretch >= 0 && before_stretch != first_colour) + changes +
                               (after_stretch >= 0 && after_stretch != last_colour);
        const int as_transparent = (before_stretch >= 0) + (after_stretch >= 0);
        if (as_colours < as_transparent) {
            std::memset(allowed + stretch, t, stretch_end - stretch);
        } else {
            std::memcpy(allowed + stretch, preferred + stretch, stretch_end - stretch);
            std::memset(preferred + stretch, t, stretch_end - stretch);
        }
        in_stretch = false;
    };

    std::size_t o = 0;
    bool stays_anywhere = false;
    for (int y = top; y <= bottom; ++y) {
        const std::uint8_t* b = before.row(y) + left;
        const std::uint8_t* a = after.row(y) + left;
        for (int x = 0; x < image.rect.width; ++x, ++o) {
            const int colour = palette.index[a[x]];
            preferred[o] = allowed[o] = static_cast<std::uint8_t>(colour);
            if (a[x] == b[x]) {
                if (!in_stretch) {
                    in_stretch = stays_anywhere = true;
                    stretch = o;
                    first_colour = colour;
                    changes = 0;
                } else {
                    changes += colour != last_colour;
                }
                last_colour = colour;
                stretch_end = o + 1;
            } else {
                if (in_stretch) settle(colour);
                before_stretch = colour;
            }
        }
    }
    if (in_stretch) settle(-1);
    image.leaves_pixels = stays_anywhere;
    image.symbols = stays_anywhere ? palette.transparent + 1 : palette.colours;
}

void drawn_symbols(const FrameGrid& frame, const SmallPalette& palette, bool whole, ImageSymbols& image) {
    const int size = frame.size;
    if (whole) {
        image.rect = {0, 0, size, size};
    } else {
        int top = -1, bottom = -1, left = size, right = -1;
        for (int y = 0; y < size; ++y) {
            const std::uint8_t* row = frame.row(y);
            int x = 0;
            while (x < size && row[x] == 0) ++x;
            if (x == size) continue;
            if (top < 0) top = y;
            bottom = y;
            if (x < left) left = x;
            x = size - 1;
            while (row[x] == 0) --x;
            if (x > right) right = x;
        }
        if (top < 0) return single_transparent_pixel(palette, image);
        image.rect = {left, top, right - left + 1, bottom - top + 1};
    }
    copy_colours(frame, palette, image);
    image.symbols = palette.transparent + 1;
    image.leaves_pixels = true;
}

}  // namespace vz
