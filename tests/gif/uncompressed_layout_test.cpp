#include "gif/uncompressed_layout.h"

#include <gtest/gtest.h>

namespace vz {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes image_data(int size) {
    const UncompressedLayout layout(size);
    ByteSink out;
    for (std::int64_t b = 0; b < layout.full_blocks(); ++b) layout.write_full_block(out);
    layout.write_final_block(out);
    return out.bytes();
}

TEST(UncompressedLayout, StridesAndFinalBlocks) {
    struct Case {
        int size, full_blocks, final_pixels, final_length, stride;
    };
    for (const Case& c : {Case{10, 0, 100, 101, 122}, Case{11, 0, 121, 0x7A, 143}, Case{12, 0, 144, 146, 167},
                          Case{16, 1, 4, 5, 281}, Case{20, 1, 148, 150, 426}, Case{100, 39, 172, 174, 10140},
                          Case{128, 65, 4, 5, 16601}, Case{1000, 3968, 64, 0x41, 1011926}}) {
        const UncompressedLayout layout(c.size);
        EXPECT_EQ(layout.full_blocks(), c.full_blocks) << c.size;
        EXPECT_EQ(layout.final_pixels(), c.final_pixels) << c.size;
        EXPECT_EQ(layout.final_length(), c.final_length) << c.size;
        EXPECT_EQ(layout.frame_stride(), c.stride) << c.size;
        // The stride is the frame header, the code size byte's image data and its terminator.
        EXPECT_EQ(static_cast<std::int64_t>(image_data(c.size).size()) + 19, c.stride) << c.size;
    }
    EXPECT_EQ(UncompressedLayout(1000).file_size(100), 101193183);
}

TEST(UncompressedLayout, ImageDataBytes) {
    Bytes ten = image_data(10);
    EXPECT_EQ(Bytes(ten.begin(), ten.begin() + 2), (Bytes{0x65, 0x80}));
    EXPECT_EQ(ten.size(), 103u);

    const Bytes twelve = image_data(12);
    EXPECT_EQ(twelve[0], 0x92);
    EXPECT_EQ(twelve[1], 0x80);
    EXPECT_EQ(twelve[128], 0x80);

    const Bytes sixteen = image_data(16);
    EXPECT_EQ(Bytes(sixteen.begin(), sixteen.begin() + 2), (Bytes{0xFE, 0x80}));
    EXPECT_EQ(sixteen[128], 0x80);
    EXPECT_EQ(Bytes(sixteen.begin() + 255, sixteen.end()), (Bytes{0x05, 0x80, 0, 0, 0, 0, 0x00}));

    const Bytes whole_blocks = image_data(252);  // 252 * 252 pixels fill exactly 252 blocks
    EXPECT_EQ(Bytes(whole_blocks.end() - 3, whole_blocks.end()), (Bytes{0x01, 0x80, 0x00}));
}

TEST(UncompressedLayout, PixelOffsets) {
    const UncompressedLayout big(1000);
    EXPECT_EQ(big.pixel_offset(1, 1, 1), 603);
    EXPECT_EQ(big.pixel_offset(1, 2, 1), 604);
    EXPECT_EQ(big.pixel_offset(1, 127, 1), 730);  // after the second clear code at 729
    EXPECT_EQ(big.pixel_offset(1, 253, 1), 858);  // after length byte 856 and clear code 857
    EXPECT_EQ(UncompressedLayout(12).pixel_offset(2, 1, 1), 770);
    EXPECT_EQ(UncompressedLayout(100).pixel_offset(2, 1, 1), 10743);
    EXPECT_LT(big.pixel_offset(100, 1000, 1000), big.file_size(100));

    // Every pixel of a frame lands on a distinct zero byte of the image data,
    // never on a length byte or clear code.
    for (int size : {10, 12, 20, 100, 127}) {
        const UncompressedLayout layout(size);
        Bytes data = image_data(size);
        for (int y = 1; y <= size; ++y)
            for (int x = 1; x <= size; ++x) {
                const std::int64_t at = layout.offset_in_frame(x, y) - 19;
                ASSERT_EQ(data.at(static_cast<std::size_t>(at)), 0x00) << size << ":" << x << "," << y;
                data[static_cast<std::size_t>(at)] = 0xAA;
            }
    }
}

}  // namespace
}  // namespace vz
