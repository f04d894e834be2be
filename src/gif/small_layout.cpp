#include "gif/small_layout.h"

#include <algorithm>
#include <cstring>

#include "gif/gif_blocks.h"
#include "pattern/rose_figure.h"

namespace vz {

namespace {

void put_u16(ByteSink& out, int value) {
    out.put({static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>(value >> 8)});
}

}  // namespace

SmallPalette small_palette(const Palette& palette, int ring_count, bool transparent_background, bool leaves_pixels) {
    SmallPalette small;
    small.index.fill(SmallPalette::kNotDrawn);
    std::vector<std::uint8_t> colours;
    for (int k = 0; k <= ring_count; ++k) {
        const std::uint8_t entry = ring_colour(k);
        if (small.index[entry] != SmallPalette::kNotDrawn || (transparent_background && entry == 0)) continue;
        const std::uint8_t* rgb = &palette[3 * entry];
        // Entries of the same colour share one index.
        int found = -1;
        for (std::size_t c = 0; c < colours.size(); c += 3)
            if (std::memcmp(&colours[c], rgb, 3) == 0) found = static_cast<int>(c / 3);
        if (found < 0) {
            found = static_cast<int>(colours.size() / 3);
            colours.insert(colours.end(), rgb, rgb + 3);
        }
        small.index[entry] = static_cast<std::uint8_t>(found);
    }
    small.colours = static_cast<int>(colours.size() / 3);
    int entries = small.colours;
    if (leaves_pixels || transparent_background) small.transparent = entries++;
    if (transparent_background) small.index[0] = static_cast<std::uint8_t>(small.transparent);
    small.table_bits = 1;
    while ((1 << small.table_bits) < entries) ++small.table_bits;
    small.table = colours;
    small.table.resize(std::size_t{3} << small.table_bits, 0x00);  // unused entries black
    return small;
}

int min_code_size_for(int symbols) {
    int size = 2;  // the least the format allows
    while ((1 << size) < symbols) ++size;
    return size;
}

void write_small_header(ByteSink& out, int picture_size, const SmallPalette& palette) {
    out.put({'G', 'I', 'F', '8', '9', 'a'});
    put_u16(out, picture_size);
    put_u16(out, picture_size);
    // Global table present, 8 bits per primary, unsorted, 2^table_bits entries.
    const auto packed = static_cast<std::uint8_t>(0xF0 | (palette.table_bits - 1));
    const auto background = static_cast<std::uint8_t>(std::max(palette.transparent, 0));
    out.put({packed, background, 0x00 /* aspect ratio */});
    out.put(palette.table);
}

void write_image_header(ByteSink& out, Disposal disposal, int transparent_index, std::uint8_t delay,
                        const ImageRect& rect) {
    const bool transparent = transparent_index >= 0;
    const auto packed = static_cast<std::uint8_t>(static_cast<int>(disposal) << 2 | (transparent ? 1 : 0));
    out.put({gif::kExtensionIntroducer, gif::kGraphicControlLabel, 4, packed, delay, 0x00,
             static_cast<std::uint8_t>(transparent ? transparent_index : 0), gif::kBlockTerminator});
    out.put(gif::kImageSeparator);
    put_u16(out, rect.left);
    put_u16(out, rect.top);
    put_u16(out, rect.width);
    put_u16(out, rect.height);
    out.put(0x00);  // no local table, not interlaced
}

}  // namespace vz
