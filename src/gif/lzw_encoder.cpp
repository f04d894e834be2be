#include "gif/lzw_encoder.h"

#include <cstring>

#include "gif/gif_blocks.h"

namespace vz {

namespace {

// Number of zero bytes at the start of `pixels`, at most `count`.
std::size_t leading_zeros(const std::uint8_t* pixels, std::size_t count) {
    std::size_t n = 0;
    for (; n + 8 <= count; n += 8) {
        std::uint64_t word;
        std::memcpy(&word, pixels + n, 8);
        if (word != 0) break;
    }
    while (n < count && pixels[n] == 0) ++n;
    return n;
}

}  // namespace

LzwEncoder::LzwEncoder()
    : child_(static_cast<std::size_t>(kTableSize) * kLiterals, 0),
      background_run_length_(kTableSize),
      background_run_end_(kTableSize),
      assigned_(kTableSize) {}

void LzwEncoder::begin_frame(ByteSink& out) {
    out_ = &out;
    for (std::uint32_t n = 0; n < assigned_count_; ++n) child_[assigned_[n]] = 0;
    assigned_count_ = 0;
    prefix_ = -1;
    next_code_ = kFirstFreeCode;
    widen_at_ = 256;
    code_width_ = 8;
    bits_ = 0;
    bit_count_ = 0;
    data_size_ = 0;
    out.put(kSubBlockLength);
    emit_code(gif::kClearCode);
}

void LzwEncoder::encode(const std::uint8_t* pixels, std::size_t count) {
    // Room for every code these pixels can send, 12 bits each at most.
    data_.resize(data_size_ + 2 * count + 16);
    std::size_t i = 0;
    if (prefix_ < 0 && count > 0) prefix_ = pixels[i++];

    // Working state lives in locals so that it stays in registers.
    std::uint16_t* const child = child_.data();
    std::uint8_t* const data = data_.data();
    std::uint32_t* const assigned = assigned_.data();
    std::size_t size = data_size_;
    std::uint64_t bits = bits_;
    std::uint32_t bit_count = static_cast<std::uint32_t>(bit_count_);
    std::uint32_t width = static_cast<std::uint32_t>(code_width_);
    std::uint32_t next = next_code_;
    std::uint32_t stored = assigned_count_;
    std::uint32_t prefix = static_cast<std::uint32_t>(prefix_);

    while (i < count) {
        const std::uint32_t pixel = pixels[i];
        if (pixel == 0 && next == kTableSize) {  // background: follow the fixed chains
            data_size_ = size, bits_ = bits, bit_count_ = static_cast<int>(bit_count);
            const std::size_t run = leading_zeros(pixels + i, count - i);
            encode_background_run(prefix, run);
            i += run;
            size = data_size_, bits = bits_, bit_count = static_cast<std::uint32_t>(bit_count_);
            continue;
        }
        ++i;
        const std::uint32_t cell = pixel * kTableSize + prefix;
        const std::uint32_t code = child[cell];
        if (code != 0) {  // the string grows by this pixel
            prefix = code;
            continue;
        }
        // The string's code goes out, and string + pixel becomes an entry.
        bits |= static_cast<std::uint64_t>(prefix) << bit_count;
        bit_count += width;
        if (bit_count >= 32) {
            const std::uint32_t word = static_cast<std::uint32_t>(bits);
            std::memcpy(data + size, &word, 4);
            size += 4;
            bits >>= 32;
            bit_count -= 32;
        }
        if (next < kTableSize) {
            child[cell] = static_cast<std::uint16_t>(next);
            assigned[stored++] = cell;
            if (next == widen_at_) {
                ++width;
                widen_at_ *= 2;
            }
            if (++next == kTableSize) prepare_background_runs();
        }
        prefix = pixel;
    }
    data_size_ = size;
    bits_ = bits;
    bit_count_ = static_cast<int>(bit_count);
    code_width_ = static_cast<int>(width);
    next_code_ = next;
    assigned_count_ = stored;
    prefix_ = prefix;
    write_sub_blocks();
}

// Appends `run` background pixels to the current string (full table only),
// sending a code whenever the string cannot grow.
void LzwEncoder::encode_background_run(std::uint32_t& prefix, std::size_t run) {
    const std::uint16_t* const background_child = child_.data();  // pixel 0's slice
    while (run > 0) {
        const std::size_t chain = background_run_length_[prefix];
        if (chain == 0) {
            emit_code(prefix);
            prefix = 0;
            --run;
        } else if (chain <= run) {
            prefix = background_run_end_[prefix];
            run -= chain;
        } else {
            for (; run > 0; --run) prefix = background_child[prefix];
        }
    }
}

void LzwEncoder::prepare_background_runs() {
    // A string's extensions always have higher codes, so walking downwards
    // finds every chain's tail already settled.
    for (int code = kTableSize - 1; code >= 0; --code) {
        const std::uint16_t next = child_[static_cast<std::size_t>(code)];
        background_run_length_[code] = next ? background_run_length_[next] + 1 : 0;
        background_run_end_[code] = next ? background_run_end_[next] : static_cast<std::uint16_t>(code);
    }
}

void LzwEncoder::flush_bits() {
    const auto word = static_cast<std::uint32_t>(bits_);
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(word), static_cast<std::uint8_t>(word >> 8),
                                   static_cast<std::uint8_t>(word >> 16), static_cast<std::uint8_t>(word >> 24)};
    std::memcpy(&data_[data_size_], bytes, 4);
    data_size_ += 4;
    bits_ >>= 32;
    bit_count_ -= 32;
}

void LzwEncoder::write_sub_blocks() {
    // The first length byte went out with the frame header; each complete
    // sub-block is followed at once by the next one's length byte.
    std::size_t start = 0;
    for (; data_size_ - start >= kSubBlockLength; start += kSubBlockLength) {
        out_->put(std::span<const std::uint8_t>(&data_[start], kSubBlockLength));
        out_->put(kSubBlockLength);
    }
    std::memmove(data_.data(), data_.data() + start, data_size_ - start);
    data_size_ -= start;
}

void LzwEncoder::end_frame() {
    data_.resize(data_size_ + 16);
    if (prefix_ >= 0) {
        emit_code(static_cast<std::uint32_t>(prefix_));
        count_code();  // would store the pending string again; only the width matters now
    }
    emit_code(gif::kEndCode);
    count_code();
    for (; bit_count_ > 0; bit_count_ -= 8, bits_ >>= 8) data_[data_size_++] = static_cast<std::uint8_t>(bits_);
    write_sub_blocks();
    // The last sub-block is padded to full length, even when it is empty.
    out_->put(std::span<const std::uint8_t>(data_.data(), data_size_));
    out_->fill(0x00, kSubBlockLength - data_size_);
    out_->put(gif::kBlockTerminator);
    out_ = nullptr;
}

}  // namespace vz
