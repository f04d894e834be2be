// GIF variable-width LZW for minimum code size 7: a clear code first, codes
// widening from 8 to 12 bits, no further clear code once the table is full,
// and sub-blocks that are all 254 bytes long, the last padded with zeros.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "io/byte_sink.h"

namespace vz {

class LzwEncoder {
public:
    static constexpr int kLiterals = 128;
    static constexpr int kFirstFreeCode = 130;
    static constexpr int kTableSize = 4096;
    static constexpr int kSubBlockLength = 254;

    LzwEncoder();
    // slices_ points into child_: a move keeps the table where it is, a copy would not.
    LzwEncoder(const LzwEncoder&) = delete;
    LzwEncoder& operator=(const LzwEncoder&) = delete;
    LzwEncoder(LzwEncoder&&) = default;
    LzwEncoder& operator=(LzwEncoder&&) = default;

    // Writes the first sub-block's length byte and the clear code.
    void begin_frame(ByteSink& out);
    // Encodes pixels in raster order; strings run on across calls (rows).
    // Every complete sub-block goes to the sink before the call returns.
    // An empty span changes nothing; a pixel of 128 or more throws
    // std::invalid_argument before anything is encoded.
    void encode(const std::uint8_t* pixels, std::size_t count);
    // Sends the last match and the end code, pads the sub-block, terminates.
    void end_frame();

private:
    // Sends one code in the current width, outside the per-pixel loops.
    void emit_code(std::uint32_t code);
    // Table bookkeeping after a code has gone out: the next free code
    // advances, and the codes widen when it reaches a power of two.
    void count_code() {
        if (next_code_ == kTableSize) return;  // full: no entry, no widening
        if (next_code_ == widen_at_) {
            ++code_width_;
            widen_at_ *= 2;
        }
        if (++next_code_ == kTableSize) prepare_background_runs();
    }
    struct Codes;
    std::size_t encode_growing(const std::uint8_t* pixels, std::size_t i, std::size_t count, std::uint32_t& prefix,
                               Codes& codes);
    void encode_full(const std::uint8_t* pixels, std::size_t i, std::size_t count, std::uint32_t& prefix,
                     Codes& codes);
    void prepare_background_runs();
    void write_sub_blocks();  // hands every complete 254-byte sub-block to the sink

    ByteSink* out_ = nullptr;
    // child_[pixel * 4096 + prefix]: the code of string(prefix) + pixel, or
    // the pixel itself where there is none (entries are 130 and above), so
    // that the lookup gives the next string's code either way.
    // Pixel-major, so the lookups of one colour's runs stay within 8 KiB.
    std::vector<std::uint16_t> child_;
    // Where each pixel's slice of child_ starts: a load that the lookups do
    // not wait for, where an address computed from the pixel would add a
    // step to every one of them.
    std::array<const std::uint16_t*, kLiterals> slices_;
    // Once the table is full it no longer changes, and the strings that
    // extend each other by background pixels (index 0) form fixed chains:
    // see prepare_background_runs().
    std::vector<std::uint16_t> background_path_;
    std::vector<std::uint16_t> background_position_;
    std::vector<std::uint16_t> background_last_;
    std::vector<std::uint32_t> assigned_;  // child_ cells set this frame
    std::uint32_t assigned_count_ = 0;
    std::int64_t prefix_ = -1;        // code of the current string w; -1 = empty
    std::uint32_t next_code_ = kFirstFreeCode;  // held at 4096 once the table is full
    std::uint32_t widen_at_ = 256;
    int code_width_ = 8;
    std::uint64_t bits_ = 0;          // pending bits, least significant first
    int bit_count_ = 0;
    std::vector<std::uint8_t> data_;  // data bytes not yet in a complete sub-block
    std::size_t data_size_ = 0;
};

}  // namespace vz
