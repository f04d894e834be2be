#include "gif/flexible_lzw_encoder.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "gif/equal_prefix.h"

namespace vz {

namespace {

// Where only the other symbol goes on, a search takes it. Where both do, it
// comes back for the other one at most this often: the longest match is
// then found among the first ways the pixels allow, and pixels that all
// allow two symbols cannot make a search long.
constexpr std::uint32_t kMaxBranches = 8;

}  // namespace

FlexibleLzwEncoder::FlexibleLzwEncoder()
    : child_(std::size_t{kTableSize} << 8, 0), assigned_(kTableSize), branches_(kMaxBranches) {}

void FlexibleLzwEncoder::begin(ByteSink& out, int min_code_size, const std::uint8_t* preferred,
                               const std::uint8_t* allowed, std::size_t count) {
    if (min_code_size < 2 || min_code_size > 8) throw std::invalid_argument("LZW minimum code size outside 2..8");
    // All symbols are below 2^m exactly when their bitwise or is.
    std::uint32_t any = 0;
    for (std::size_t i = 0; i < count; ++i) any |= preferred[i] | allowed[i];
    if (any >> min_code_size) throw std::invalid_argument("LZW symbol outside the minimum code size");
    out_ = &out;
    preferred_ = preferred;
    allowed_ = allowed;
    count_ = count;
    pos_ = 0;
    two_from_ = 0;
    min_code_size_ = min_code_size;
    clear_code_ = 1u << min_code_size;
    bits_ = 0;
    bit_count_ = 0;
    data_size_ = 0;
    data_.resize(64);
    out.put(static_cast<std::uint8_t>(min_code_size));
    reset_table();
    put_code(clear_code_);
}

void FlexibleLzwEncoder::reset_table() {
    for (std::uint32_t n = 0; n < assigned_count_; ++n) child_[assigned_[n]] = 0;
    assigned_count_ = 0;
    next_code_ = clear_code_ + 2;
    code_width_ = static_cast<std::uint32_t>(min_code_size_) + 1;
    widen_at_ = 1u << code_width_;
}

void FlexibleLzwEncoder::put_code(std::uint32_t code) {
    bits_ |= static_cast<std::uint64_t>(code) << bit_count_;
    bit_count_ += code_width_;
    for (; bit_count_ >= 8; bit_count_ -= 8, bits_ >>= 8) data_[data_size_++] = static_cast<std::uint8_t>(bits_);
}

// All state is in locals while the codes go out: the byte stores could
// otherwise alias it and force reloads.
void FlexibleLzwEncoder::encode_to(std::size_t end) {
    end = std::min(end, count_);
    if (pos_ >= end) return;
    // Every code covers a pixel, a clear code follows thousands of them, and
    // the end code needs a few bytes more.
    data_.resize(data_size_ + 2 * (end - pos_) + 64);
    const std::uint8_t* const want = preferred_;
    const std::uint8_t* const also = allowed_;
    std::uint16_t* const child = child_.data();
    std::uint32_t* const assigned = assigned_.data();
    std::uint32_t* const branch = branches_.data();
    std::uint8_t* const data = data_.data();
    const std::size_t count = count_;
    std::size_t pos = pos_, two_from = two_from_, size = data_size_;
    std::uint64_t bits = bits_;
    std::uint32_t bit_count = bit_count_, width = code_width_, next_code = next_code_, widen_at = widen_at_;
    std::uint32_t stored = assigned_count_;
    // Stores four bytes whether they are complete or not, so that codes go
    // out without a branch.
    auto put = [&](std::uint32_t code) {
        bits |= static_cast<std::uint64_t>(code) << bit_count;
        bit_count += width;
        data[size] = static_cast<std::uint8_t>(bits);
        data[size + 1] = static_cast<std::uint8_t>(bits >> 8);
        data[size + 2] = static_cast<std::uint8_t>(bits >> 16);
        data[size + 3] = static_cast<std::uint8_t>(bits >> 24);
        const std::uint32_t whole = bit_count >= 32;
        size += 4 * whole;
        bits >>= 32 * whole;
        bit_count -= 32 * whole;
    };
    while (pos < end) {
        const std::uint8_t* const w = want + pos;
        const std::uint8_t* const a = also + pos;
        const std::size_t limit = count - pos;
        if (two_from <= pos) two_from = pos + equal_prefix(w, a, limit);
        // The longest string of the table along the preferred symbols, up
        // to the first pixel that allows two.
        const std::size_t plain = two_from - pos;
        std::uint32_t code = w[0];
        std::size_t depth = 1;
        for (std::uint32_t next; depth < plain && (next = child[static_cast<std::uint32_t>(w[depth]) << 12 | code]);
             ++depth)
            code = next;
        if (depth >= plain && plain < limit) {
            // It may go on through pixels that allow two symbols: the
            // longest string they allow, along the preferred symbols, then
            // back to each place where the other symbol also went on. Every
            // string of the table is reached in one way only, so the search
            // ends.
            std::uint32_t tried = 0, open = 0, best_code = code;
            std::size_t best = depth;
            for (;;) {
                while (depth < limit) {
                    const std::uint32_t symbol = w[depth], other_symbol = a[depth];
                    std::uint32_t next = child[symbol << 12 | code];
                    if (other_symbol != symbol && (next == 0 || tried < kMaxBranches)) {
                        if (const std::uint32_t other = child[other_symbol << 12 | code]) {
                            if (next == 0) {
                                next = other;  // the only way on
                            } else if (tried < kMaxBranches) {
                                branch[open++] = static_cast<std::uint32_t>(depth + 1) << 12 | other;
                                ++tried;
                            }
                        }
                    }
                    if (next == 0) break;
                    code = next;
                    ++depth;
                }
                if (depth > best) {
                    best = depth;
                    best_code = code;
                }
                if (open == 0) break;
                --open;
                code = branch[open] & 0xFFF;
                depth = branch[open] >> 12;
            }
            code = best_code;
            depth = best;
        }
        put(code);
        pos += depth;
        // The decoder's next entry: this string and the next code's first
        // symbol, the next pixel's preferred one. After the last code only
        // the end code's width depends on it.
        if (pos < count) {
            const std::uint32_t cell = static_cast<std::uint32_t>(want[pos]) << 12 | code;
            child[cell] = static_cast<std::uint16_t>(next_code);
            assigned[stored++] = cell;
        }
        if (next_code == widen_at) {
            ++width;
            widen_at <<= 1;
        }
        if (++next_code == kTableSize && pos < count) {
            put(clear_code_);
            for (std::uint32_t n = 0; n < stored; ++n) child[assigned[n]] = 0;
            stored = 0;
            next_code = clear_code_ + 2;
            width = static_cast<std::uint32_t>(min_code_size_) + 1;
            widen_at = 1u << width;
        }
    }
    pos_ = pos;
    two_from_ = two_from;
    data_size_ = size;
    bits_ = bits;
    bit_count_ = bit_count;
    code_width_ = width;
    next_code_ = next_code;
    widen_at_ = widen_at;
    assigned_count_ = stored;
    write_sub_blocks(false);
}

void FlexibleLzwEncoder::write_sub_blocks(bool all) {
    std::size_t start = 0;
    for (; data_size_ - start >= kSubBlockLength; start += kSubBlockLength) {
        out_->put(kSubBlockLength);
        out_->put(std::span<const std::uint8_t>(&data_[start], kSubBlockLength));
    }
    if (all && start < data_size_) {
        out_->put(static_cast<std::uint8_t>(data_size_ - start));
        out_->put(std::span<const std::uint8_t>(&data_[start], data_size_ - start));
        start = data_size_;
    }
    std::memmove(data_.data(), data_.data() + start, data_size_ - start);
    data_size_ -= start;
}

void FlexibleLzwEncoder::end() {
    encode_to(count_);
    put_code(clear_code_ + 1);  // the end code, in the room encode_to() left
    if (bit_count_ > 0) data_[data_size_++] = static_cast<std::uint8_t>(bits_);
    bits_ = 0;
    bit_count_ = 0;
    write_sub_blocks(true);
    out_->put(0x00);  // block terminator
    out_ = nullptr;
}

}  // namespace vz
