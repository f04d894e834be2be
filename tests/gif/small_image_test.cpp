#include "gif/flexible_lzw_encoder.h"
#include "gif/image_symbols.h"
#include "gif/gif_blocks.h"
#include "gif/small_layout.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "decoded_gif.h"

namespace vz {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Rings 0..3 draw entries 0, 3, 6 and 9; entry 9 has entry 3's colour.
TEST(SmallPalette, OnlyTheDrawnColoursEachOnceAndTheTransparentIndexLast) {
    PatternParameters pattern;
    pattern.red_power = 1;
    Palette palette = sine_palette(pattern);
    std::copy_n(&palette[3 * 3], 3, &palette[3 * 9]);
    const SmallPalette opaque = small_palette(palette, 3, false, true);
    EXPECT_EQ(opaque.colours, 3);
    EXPECT_EQ(opaque.index[9], opaque.index[3]);
    EXPECT_EQ(opaque.transparent, 3);
    EXPECT_EQ(opaque.table.size(), 4u * 3);
    EXPECT_TRUE(std::equal(&palette[3 * 6], &palette[3 * 7], &opaque.table[3 * opaque.index[6]]));
    // On a transparent background black is no colour: its pixels take the
    // transparent index.
    const SmallPalette clear = small_palette(palette, 3, true, false);
    EXPECT_EQ(clear.colours, 2);
    EXPECT_EQ(clear.transparent, 2);
    EXPECT_EQ(clear.index[0], 2);
}

struct Change {
    int size;
    Bytes before, after;  // size x size symbols
    ImageRect rect;
    Bytes preferred, allowed;
    int transparent;
    StayingBackground background = StayingBackground::Either;
};

// Colours 0..2, and an index of its own for pixels that stay, 3; a colour
// that no changed pixel needs serves instead, the one most pixels have.
TEST(ChangedSymbols, CropToTheChangeAndLeaveStretchesAsTheTransparentColour) {
    SmallPalette palette;
    palette.colours = 3;
    palette.transparent = 3;
    const Change cases[] = {
        // Stretches of black between two changes: black leaves them as they are.
        {4, {0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 2},
         {2, 1, 2, 3}, {2, 0, 0, 0, 0, 2}, {2, 0, 0, 0, 0, 2}, 0},
        // The image begins with a pixel that stays, in a colour only it has.
        {3, {1, 0, 0, 0, 0, 0, 0, 0, 0}, {1, 2, 0, 0, 0, 0, 2, 0, 0}, {0, 0, 2, 3}, {0, 2, 0, 0, 2, 0},
         {1, 2, 0, 0, 2, 0}, 0},
        // Every colour is needed: the table's own index, preferred where a
        // stretch breaks fewer runs as it, allowed elsewhere.
        {3, {0, 0, 0, 1, 0, 0, 0, 0, 0}, {2, 0, 0, 0, 0, 1, 0, 2, 0}, {0, 0, 3, 3},
         {2, 0, 0, 0, 0, 1, 3, 2, 3}, {2, 3, 3, 0, 3, 1, 0, 2, 0}, 3},
        // Black that stays goes as black: colour 1, which only a pixel that
        // stays has, is the transparent index, not black.
        {3, {0, 1, 0, 0, 0, 0, 0, 0, 0}, {2, 1, 0, 0, 0, 0, 0, 0, 2}, {0, 0, 3, 3}, {2, 1, 0, 0, 0, 0, 0, 0, 2},
         {2, 1, 0, 0, 0, 0, 0, 0, 2}, 1, StayingBackground::Colour},
    };
    for (const Change& c : cases) {
        ImageSymbols image;
        changed_symbols(FrameGrid{c.before.data(), static_cast<std::size_t>(c.size), c.size},
                        FrameGrid{c.after.data(), static_cast<std::size_t>(c.size), c.size}, palette, c.background,
                        image);
        EXPECT_EQ(image.rect, c.rect);
        EXPECT_EQ(image.preferred, c.preferred);
        EXPECT_EQ(image.allowed, c.allowed);
        EXPECT_EQ(image.transparent, c.transparent);
    }
}

// Whole images at code size 2 (clear 4, end 5, codes from 3 bits): the
// clear code first, a string of the table used as soon as it is stored,
// the other symbol taken where only it goes on, and the end code a bit
// wider once the decoder's table reaches 8.
TEST(FlexibleLzwEncoder, KnownImagesGiveKnownBytes) {
    const struct {
        Bytes preferred, allowed, image;
    } cases[] = {
        // Codes 4 0 6 0 5.
        {{0, 0, 0, 0}, {0, 0, 0, 0}, {0x02, 0x02, 0x84, 0x51, 0x00}},
        // Codes 4 0 1 6 5: pixel 3 prefers 3, but 1 continues "0".
        {{0, 1, 0, 3}, {0, 1, 0, 1}, {0x02, 0x02, 0x44, 0x5C, 0x00}},
    };
    FlexibleLzwEncoder encoder;
    for (const auto& c : cases) {
        ByteSink out;
        encoder.begin(out, 2, c.preferred.data(), c.allowed.data(), c.preferred.size());
        encoder.end();
        EXPECT_EQ(out.bytes(), c.image);
    }
}

// The widest code size, with every symbol used, decodes to the same pixels
// with giflib.
TEST(FlexibleLzwEncoder, EverySymbolAtCodeSizeEight) {
    SmallPalette palette;
    palette.table.assign(3 * 256, 0);
    palette.table_bits = 8;
    Bytes pixels(64 * 64);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * i / 7 + i / 64);
    ByteSink file;
    write_small_header(file, 64, palette);
    write_image_header(file, Disposal::Keep, -1, 0, ImageRect{0, 0, 64, 64});
    FlexibleLzwEncoder encoder;
    encoder.begin(file, 8, pixels.data(), pixels.data(), pixels.size());
    encoder.end();
    file.put(gif::kTrailer);
    EXPECT_EQ(test::decode_gif(file.bytes()).frames.at(0).pixels, pixels);
}

}  // namespace
}  // namespace vz
