#include "gif/gif_blocks.h"

#include <gtest/gtest.h>

#include <vector>

namespace vz {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes leading_blocks(int size) {
    ByteSink out;
    write_gif_header(out, size);
    write_palette(out, sine_palette(PatternParameters{}));
    write_loop_extension(out);
    write_comment(out);
    return out.bytes();
}

TEST(GifBlocks, SizesAreLittleEndianInScreenAndImageDescriptors) {
    const std::pair<int, Bytes> cases[] = {
        {10, {0x0A, 0x00}}, {128, {0x80, 0x00}}, {255, {0xFF, 0x00}}, {256, {0x00, 0x01}}, {1000, {0xE8, 0x03}}};
    for (const auto& [size, le] : cases) {
        ByteSink out;
        write_gif_header(out, size);
        write_frame_header(out, 0x08, 50, size);
        const Bytes& b = out.bytes();
        EXPECT_EQ(Bytes(b.begin(), b.begin() + 6), (Bytes{'G', 'I', 'F', '8', '9', 'a'}));
        for (int at : {6, 8, 13 + 13, 13 + 15}) EXPECT_EQ(Bytes(b.begin() + at, b.begin() + at + 2), le) << size;
    }
    ByteSink out;
    write_gif_header(out, 1000);
    EXPECT_EQ(Bytes(out.bytes().begin() + 6, out.bytes().end()), (Bytes{0xE8, 0x03, 0xE8, 0x03, 0xF6, 0x00, 0x00}));
}

TEST(GifBlocks, LeadingBlocksTakeExactly582Bytes) {
    const Bytes b = leading_blocks(323);
    ASSERT_EQ(b.size(), 582u);
    const Bytes loop = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
    EXPECT_EQ(Bytes(b.begin() + 397, b.begin() + 416), loop);
    EXPECT_EQ(Bytes(b.begin() + 416, b.begin() + 419), (Bytes{0x21, 0xFE, 0xA2}));
    EXPECT_EQ(b[581], 0x00);
}

TEST(GifBlocks, CommentIsOnePrintableCreditLine) {
    const std::string_view text = comment_text();
    ASSERT_EQ(text.size(), 162u);
    EXPECT_EQ(text.front(), ' ');
    EXPECT_EQ(text.back(), ' ');
    for (char c : text) EXPECT_TRUE(c >= 0x20 && c <= 0x7E);
    EXPECT_NE(text.find("\"Vuzuduzi-2\""), std::string_view::npos);
    const std::string tail = std::string(kAuthorWebAddress) + " mailto:" + std::string(kAuthorEmail) + " ";
    EXPECT_TRUE(text.ends_with(tail));
}

TEST(GifBlocks, FrameHeaderPerMode) {
    for (const auto& [packed, first] : {std::pair{control_flags_for(false), 0x08}, {control_flags_for(true), 0x09},
                                        {gif::kUncompressedPacked, 0x00}}) {
        ByteSink out;
        write_frame_header(out, packed, 37, 100);
        EXPECT_EQ(out.bytes(), (Bytes{0x21, 0xF9, 0x04, static_cast<std::uint8_t>(first), 37, 0, 0, 0, 0x2C, 0, 0, 0, 0,
                                      100, 0, 100, 0, 0x00, 0x07}));
    }
}

TEST(GifBlocks, FrameDelayByFrameCount) {
    const std::pair<int, int> table[] = {{1, 50}, {2, 50}, {3, 50}, {4, 37}, {5, 30}, {6, 25}, {7, 21}, {8, 18},
                                         {10, 15}, {15, 10}, {20, 7}, {30, 5}, {31, 5}, {100, 5}};
    for (const auto& [frames, delay] : table) EXPECT_EQ(frame_delay_for(frames), delay) << frames;
}

}  // namespace
}  // namespace vz
