// The uncompressed image data: only 8-bit literal codes, a clear code before
// every 126 pixels, so that every pixel of every frame sits at a fixed,
// computable byte of the file and can be painted in place.
#pragma once

#include <cstdint>

#include "io/byte_sink.h"

namespace vz {

class UncompressedLayout {
public:
    static constexpr int kPixelsPerClear = 126;
    static constexpr int kPixelsPerBlock = 2 * kPixelsPerClear;          // 252
    static constexpr int kFullBlockLength = kPixelsPerBlock + 2;         // 0xFE
    static constexpr int kFirstPixelOffset = 603;  // frame 1: record 582, length byte 601, clear code 602

    explicit UncompressedLayout(int picture_size);

    int picture_size() const { return size_; }
    std::int64_t full_blocks() const { return full_blocks_; }        // l
    int final_pixels() const { return final_pixels_; }                // r
    int final_length() const;                                         // L
    std::int64_t frame_stride() const { return frame_stride_; }
    std::int64_t file_size(int frame_count) const;

    // Byte offset of pixel (x, y) (1-based) inside its frame record.
    std::int64_t offset_in_frame(int x, int y) const {
        const std::int64_t p = static_cast<std::int64_t>(y - 1) * size_ + (x - 1);
        const std::int64_t k = p / kPixelsPerBlock;
        const std::int64_t q = p - kPixelsPerBlock * k;
        return kFirstPixelOffset - 582 + p + 3 * k + (q >= kPixelsPerClear);  // q / 126, as q < 252
    }
    // Byte offset of pixel (x, y) of frame f (1-based) in the file.
    std::int64_t pixel_offset(int frame, int x, int y) const {
        return 582 + (frame - 1) * frame_stride_ + offset_in_frame(x, y);
    }

    // One full background sub-block: FE, 80, 126 zeros, 80, 126 zeros.
    void write_full_block(ByteSink& out) const;
    // The final sub-block with r background pixels, then the terminator.
    void write_final_block(ByteSink& out) const;

private:
    int size_;
    std::int64_t full_blocks_;
    int final_pixels_;
    std::int64_t frame_stride_;
};

}  // namespace vz
