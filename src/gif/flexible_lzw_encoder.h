// GIF LZW for any minimum code size (2..8), where a pixel may allow two
// symbols: one it prefers and another that shows the same (a pixel that
// stays as it is can be sent as its colour or as the transparent index).
// Each code takes the longest string of the table that the pixels allow,
// the table is cleared as soon as it is full, and sub-blocks are as long
// as the format allows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "io/byte_sink.h"

namespace vz {

class FlexibleLzwEncoder {
public:
    static constexpr int kTableSize = 4096;
    static constexpr int kSubBlockLength = 255;

    FlexibleLzwEncoder();
    FlexibleLzwEncoder(const FlexibleLzwEncoder&) = delete;
    FlexibleLzwEncoder& operator=(const FlexibleLzwEncoder&) = delete;

    // Starts one image: writes its minimum code size byte, then the clear
    // code. `preferred` and `allowed` hold one symbol per pixel in raster
    // order (equal where the pixel allows one symbol only), every symbol
    // below 2^min_code_size, and must stay valid until end(). Throws
    // std::invalid_argument when the code size or a symbol is out of range.
    void begin(ByteSink& out, int min_code_size, const std::uint8_t* preferred, const std::uint8_t* allowed,
               std::size_t count);
    // Sends codes until every pixel before `end` is covered; a code may
    // cover pixels beyond it.
    void encode_to(std::size_t end);
    // Sends what is left, the end code, and the block terminator.
    void end();

private:
    void put_code(std::uint32_t code);
    void reset_table();
    void write_sub_blocks(bool all);

    ByteSink* out_ = nullptr;
    const std::uint8_t* preferred_ = nullptr;
    const std::uint8_t* allowed_ = nullptr;
    std::size_t count_ = 0;
    std::size_t pos_ = 0;       // the first pixel no code covers yet
    std::size_t two_from_ = 0;  // the first pixel from pos_ on that allows two symbols, once found
    int min_code_size_ = 2;
    std::uint32_t clear_code_ = 4;
    std::uint32_t next_code_ = 6;  // the decoder's next entry
    std::uint32_t widen_at_ = 8;   // codes widen once next_code_ reaches it
    std::uint32_t code_width_ = 3;
    // child_[symbol * 4096 + code]: the code of string(code) + symbol, 0 for
    // none (entries are above the clear code). Symbol-major, so the lookups
    // of one symbol's runs stay close together.
    std::vector<std::uint16_t> child_;
    std::vector<std::uint32_t> assigned_;  // child_ cells set since the last clear
    std::uint32_t assigned_count_ = 0;
    std::vector<std::uint32_t> branches_;  // where a search may go on with the other symbol
    std::uint64_t bits_ = 0;               // pending bits, least significant first
    std::uint32_t bit_count_ = 0;
    std::vector<std::uint8_t> data_;  // data bytes not yet in a sub-block
    std::size_t data_size_ = 0;
};

}  // namespace vz
