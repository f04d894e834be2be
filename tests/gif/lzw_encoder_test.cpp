#include "gif/lzw_encoder.h"

#include <gtest/gtest.h>

#include <random>

#include "decoded_gif.h"
#include "gif/gif_blocks.h"
#include "pattern/rose_figure.h"

namespace vz {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Image data (from the first length byte through the terminator) of one frame.
Bytes encode_frame(const Bytes& pixels, int width) {
    ByteSink out;
    LzwEncoder encoder;
    encoder.begin_frame(out);
    for (std::size_t row = 0; row < pixels.size(); row += width) encoder.encode(&pixels[row], width);
    encoder.end_frame();
    return out.bytes();
}

// The data bytes of all sub-blocks, checking that each one is FE + 254 bytes.
Bytes data_bytes(const Bytes& image_data) {
    Bytes data;
    std::size_t i = 0;
    for (; image_data.at(i) != 0; i += 255) {
        EXPECT_EQ(image_data[i], 0xFE);
        data.insert(data.end(), image_data.begin() + i + 1, image_data.begin() + i + 255);
    }
    EXPECT_EQ(i + 1, image_data.size()) << "terminator must be last";
    return data;
}

Bytes single_frame_gif(const Bytes& image_data, int size) {
    ByteSink out;
    write_gif_header(out, size);
    write_palette(out, sine_palette(PatternParameters{}));
    write_frame_header(out, 0x08, 10, size);
    out.put(image_data);
    write_trailer(out);
    return out.bytes();
}

Bytes grid_pixels(const std::vector<std::uint8_t>& grid, int size) {
    Bytes pixels;
    for (int y = 1; y <= size; ++y)
        pixels.insert(pixels.end(), grid.begin() + y * (size + 1) + 1, grid.begin() + y * (size + 1) + 1 + size);
    return pixels;
}

TEST(LzwEncoder, BlankTenByTenFrame) {
    const Bytes image = encode_frame(Bytes(100, 0), 10);
    const Bytes expected = {0x80, 0x00, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87,
                            0x88, 0x89, 0x8A, 0x8B, 0x8C, 0x8D, 0x89, 0x81};
    ASSERT_EQ(image.size(), 256u);
    EXPECT_EQ(Bytes(image.begin() + 1, image.begin() + 17), expected);
    EXPECT_EQ(Bytes(image.begin() + 17, image.end()), Bytes(239, 0x00));
}

TEST(LzwEncoder, RepeatedPairsAndRoseFrame) {
    Bytes pairs(100, 0);
    for (int i = 0; i < 8; ++i) pairs[i] = static_cast<std::uint8_t>(1 + i % 2);
    const Bytes pair_data = encode_frame(pairs, 10);
    EXPECT_EQ(Bytes(pair_data.begin() + 1, pair_data.begin() + 6), (Bytes{0x80, 0x01, 0x02, 0x82, 0x84}));

    PatternParameters zeros;
    zeros.reference_size = 10;
    std::vector<std::uint8_t> grid;
    draw_frame(RoseFigure(zeros, 10), 1, grid, [] {});
    const Bytes expected = {0x80, 0x00, 0x82, 0x00, 0x03, 0x03, 0x83, 0x82, 0x85, 0x00, 0x09, 0x06, 0x00,
                            0x06, 0x86, 0x8D, 0x09, 0x09, 0x0F, 0x93, 0x09, 0x8F, 0x00, 0x93, 0x98, 0x09,
                            0x88, 0x06, 0x98, 0x99, 0x85, 0x92, 0x9D, 0x0F, 0x8E, 0x82, 0xA0, 0x98, 0x83,
                            0x03, 0xA5, 0x91, 0x8C, 0x84, 0x8C, 0x06, 0x9A, 0x89, 0x87, 0xB0, 0x82, 0x81};
    Bytes data = data_bytes(encode_frame(grid_pixels(grid, 10), 10));
    ASSERT_EQ(data.size(), 254u);
    EXPECT_EQ(Bytes(data.begin(), data.begin() + 52), expected);
    EXPECT_EQ(Bytes(data.begin() + 52, data.end()), Bytes(202, 0x00));
}

TEST(LzwEncoder, RampRowsWidenToNineBits) {
    Bytes pixels;
    for (int row = 0; row < 128; ++row)
        for (int x = 0; x < 128; ++x) pixels.push_back(static_cast<std::uint8_t>(x));
    const Bytes data = data_bytes(encode_frame(pixels, 128));
    EXPECT_EQ(Bytes(data.begin() + 125, data.begin() + 134),
              (Bytes{0x7C, 0x7D, 0x7E, 0x7F, 0x04, 0x11, 0x32, 0x84, 0x48}));
}

TEST(LzwEncoder, OneColourFrameGrowsOnePixelPerCode) {
    // 1 + 2 + ... + 20 = 210 pixels: literal 5, then codes 130..148 of growing length.
    const Bytes data = data_bytes(encode_frame(Bytes(210, 5), 210));
    Bytes expected = {0x80, 5};
    for (int code = 130; code <= 148; ++code) expected.push_back(static_cast<std::uint8_t>(code));
    expected.push_back(0x81);
    EXPECT_EQ(Bytes(data.begin(), data.begin() + expected.size()), expected);
}

// Random pixels, one more at a time, until the codes end exactly on a
// sub-block boundary: the next length byte is then already out, and the
// frame closes with a whole sub-block of zeros.
TEST(LzwEncoder, DataEndingOnASubBlockBoundaryGetsAZeroBlock) {
    std::mt19937 random(3);
    Bytes pixels;
    bool found = false;
    for (int n = 1; n < 4000 && !found; ++n) {
        pixels.push_back(static_cast<std::uint8_t>(random() % 128));
        ByteSink out;
        LzwEncoder encoder;
        encoder.begin_frame(out);
        encoder.encode(pixels.data(), pixels.size());
        encoder.end_frame();
        const Bytes& image = out.bytes();
        // Last sub-block all zeros means the codes ended exactly on the boundary.
        if (image.size() > 256 && std::all_of(image.end() - 255, image.end(), [](auto b) { return b == 0; })) {
            EXPECT_EQ(image[image.size() - 256], 0xFE);
            found = true;
        }
    }
    EXPECT_TRUE(found);
}

// Real decoders read back exactly the frames we encode: random noise (fills
// the table, 12-bit codes, no clear), long runs, and rose frames of all sizes.
TEST(LzwEncoder, GiflibDecodesWhatWeEncode) {
    std::mt19937 random(11);
    std::vector<std::pair<int, Bytes>> frames;
    for (int size : {10, 37, 128, 300}) {
        Bytes noise(static_cast<std::size_t>(size) * size);
        for (auto& p : noise) p = static_cast<std::uint8_t>(random() % (size == 37 ? 3 : 128));
        frames.emplace_back(size, noise);
    }
    // Mostly background with dots: background stretches of every length
    // between coloured pixels, long after the table has filled.
    for (int percent : {60, 85, 97}) {
        Bytes dots(500 * 500);
        for (auto& p : dots) p = random() % 100 < static_cast<unsigned>(percent) ? 0 : static_cast<std::uint8_t>(random() % 8 * 3);
        frames.emplace_back(500, dots);
    }
    for (int size : {10, 255, 256, 1000}) {
        PatternParameters p;
        p.twist_digit = 3, p.petal_digit = 8, p.shrink_digit = 2, p.spin_digit = 6;
        p.reference_size = size;
        std::vector<std::uint8_t> grid;
        draw_frame(RoseFigure(p, size), 7, grid, [] {});
        frames.emplace_back(size, grid_pixels(grid, size));
    }
    for (const auto& [size, pixels] : frames) {
        const test::DecodedGif gif = test::decode_gif(single_frame_gif(encode_frame(pixels, size), size));
        ASSERT_EQ(gif.frames.size(), 1u);
        EXPECT_EQ(gif.frames[0].pixels, pixels) << "size " << size;
    }
}

// Empty rows and refused rows leave the code stream as if they never came,
// whether the current string is empty (frame start) or not.
TEST(LzwEncoder, EmptyAndOutOfPaletteRowsChangeNothing) {
    Bytes pixels(40 * 40);
    std::mt19937 random(7);
    for (auto& p : pixels) p = static_cast<std::uint8_t>(random() % 3 == 0 ? random() % 128 : 0);
    const Bytes expected = encode_frame(pixels, 40);

    const Bytes high = {1, 2, 128, 3}, highest = {255};
    ByteSink out;
    LzwEncoder encoder;
    encoder.begin_frame(out);
    for (int round = 0; round < 2; ++round) {
        encoder.encode(pixels.data(), 0);
        EXPECT_THROW(encoder.encode(high.data(), high.size()), std::invalid_argument);
        EXPECT_THROW(encoder.encode(highest.data(), highest.size()), std::invalid_argument);
    }
    for (std::size_t row = 0; row < pixels.size(); row += 40) {
        encoder.encode(&pixels[row], 40);
        encoder.encode(&pixels[row], 0);
        EXPECT_THROW(encoder.encode(high.data(), high.size()), std::invalid_argument);
    }
    encoder.end_frame();
    EXPECT_EQ(out.bytes(), expected);
    EXPECT_EQ(test::decode_gif(single_frame_gif(expected, 40)).frames.at(0).pixels, pixels);
}

}  // namespace
}  // namespace vz
