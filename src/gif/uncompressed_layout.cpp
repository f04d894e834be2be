#include "gif/uncompressed_layout.h"

#include "gif/gif_blocks.h"

namespace vz {

UncompressedLayout::UncompressedLayout(int picture_size) : size_(picture_size) {
    const std::int64_t pixels = static_cast<std::int64_t>(picture_size) * picture_size;
    full_blocks_ = pixels / kPixelsPerBlock;
    final_pixels_ = static_cast<int>(pixels - kPixelsPerBlock * full_blocks_);
    frame_stride_ = pixels + 3 * full_blocks_ + 22 + final_pixels_ / kPixelsPerClear;
}

int UncompressedLayout::final_length() const { return final_pixels_ + 1 + final_pixels_ / kPixelsPerClear; }

std::int64_t UncompressedLayout::file_size(int frame_count) const {
    return gif::kFirstFrameOffset + frame_count * frame_stride_ + 1;
}

void UncompressedLayout::write_full_block(ByteSink& out) const {
    out.put(kFullBlockLength);
    for (int half = 0; half < 2; ++half) {
        out.put(gif::kClearCode);
        out.fill(0x00, kPixelsPerClear);
    }
}

void UncompressedLayout::write_final_block(ByteSink& out) const {
    out.put(static_cast<std::uint8_t>(final_length()));
    out.put(gif::kClearCode);
    int rest = final_pixels_;
    if (rest > kPixelsPerClear) {
        out.fill(0x00, kPixelsPerClear);
        out.put(gif::kClearCode);
        rest -= kPixelsPerClear;
    }
    out.fill(0x00, static_cast<std::size_t>(rest));
    out.put(gif::kBlockTerminator);
}

}  // namespace vz
