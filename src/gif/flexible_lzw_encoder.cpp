#include "gif/flexible_lzw_encoder.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>

namespace vz {

namespace {

// Where only the other symbol goes on, a search takes it. Where both do, it
// comes back for the other one at most this often: the longest match is
// then found among the first ways the pixels allow, and pixels that all
// allow two symbols cannot make a search long.
constexpr std::uint32_t kMaxBranches = 8;

}  // namespace

FlexibleLzwEncoder::FlexibleLzwEncoder()
    : child_(std::size_t{kTableSize} << 8, 0),
      assigned_(kTableSize),
      run_(std::size_t{kTableSize} << 8, 0),
      run_length_(256, 1),
      branches_(kMaxBranches) {
    for (std::uint32_t s = 0; s < 256; ++s) run_[s * kTableSize] = static_cast<std::uint16_t>(s);
}

namespace {

// How many of the first n pixels equal the first, eight at a time.
std::size_t run_of(const std::uint8_t* w, std::size_t n) {
    const std::uint64_t same = 0x0101010101010101ull * w[0];
    std::size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; i + 8 <= n; i += 8) {
            std::uint64_t x;
            std::memcpy(&x, w + i, 8);
            if (x != same) return i + static_cast<std::size_t>(std::countr_zero(x ^ same)) / 8;
        }
    }
    while (i < n && w[i] == w[0]) ++i;
    return i;
}

// How many pixels from `pos` on prefer its symbol, by the bits of `same`
// (bit i: pixel i + 1 prefers pixel i's), at least 1 and at most `cap`.
std::size_t run_at(const std::uint64_t* same, std::size_t pos, std::size_t cap) {
    std::size_t n = 1;
    for (;;) {
        const std::size_t room = 64 - pos % 64;
        const auto ones = static_cast<std::size_t>(std::countr_one(same[pos / 64] >> (pos % 64)));
        n += std::min(ones, room);
        if (ones < room || n >= cap) return std::min(n, cap);
        pos += room;
    }
}

// Sets bit i of `bits` where p[i + 1] equals p[i], for i + 1 < n; bits are
// clear on entry.
void put_same_next(const std::uint8_t* p, std::size_t n, std::uint64_t* bits) {
    std::size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7Full;
        for (; i + 9 <= n; i += 8) {
            std::uint64_t x, y;
            std::memcpy(&x, p + i, 8);
            std::memcpy(&y, p + i + 1, 8);
            const std::uint64_t z = x ^ y;
            // The top bit of each byte: whether that byte of z is nonzero;
            // gathered into one byte, byte j's at bit j, then flipped.
            const std::uint64_t nonzero = (((z & low7) + low7) | z) & ~low7;
            const std::uint64_t equal = ~(((nonzero >> 7) * 0x0102040810204080ull) >> 56) & 0xFF;
            bits[i / 64] |= equal << (i % 64);
        }
    }
    for (; i + 1 < n; ++i) bits[i / 64] |= static_cast<std::uint64_t>(p[i] == p[i + 1]) << (i % 64);
}

// The first of n places where a and b differ, or n.
std::size_t first_difference(const std::uint8_t* a, const std::uint8_t* b, std::size_t n) {
    std::size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; i + 8 <= n; i += 8) {
            std::uint64_t x, y;
            std::memcpy(&x, a + i, 8);
            std::memcpy(&y, b + i, 8);
            if (x != y) return i + static_cast<std::size_t>(std::countr_zero(x ^ y)) / 8;
        }
    }
    while (i < n && a[i] == b[i]) ++i;
    return i;
}

}  // namespace

void FlexibleLzwEncoder::begin(ByteSink& out, int min_code_size, const std::uint8_t* preferred,
                               const std::uint8_t* allowed, std::size_t count) {
    if (min_code_size < 2 || min_code_size > 8) throw std::invalid_argument("LZW minimum code size outside 2..8");
    // All symbols are below 2^m exactly when their bitwise or is.
    std::uint32_t any = 0;
    for (std::size_t i = 0; i < count; ++i) any |= preferred[i] | allowed[i];
    if (any >> min_code_size) throw std::invalid_argument("LZW symbol outside the minimum code size");
    // Bit i of same_next_: pixel i + 1 prefers pixel i's symbol.
    same_next_.assign(count / 64 + 2, 0);
    put_same_next(preferred, count, same_next_.data());
    out_ = &out;
    preferred_ = preferred;
    allowed_ = allowed;
    count_ = count;
    pos_ = 0;
    other_at_ = 0;
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
    std::fill(run_length_.begin(), run_length_.end(), 1);
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
    std::uint16_t* const run = run_.data();
    std::uint16_t* const run_length = run_length_.data();
    const std::uint64_t* const same_next = same_next_.data();
    std::uint8_t* const data = data_.data();
    const std::size_t count = count_;
    std::size_t pos = pos_, size = data_size_;
    std::uint64_t bits = bits_;
    std::uint32_t bit_count = bit_count_, width = code_width_, next_code = next_code_, widen_at = widen_at_;
    std::uint32_t stored = assigned_count_;
    auto put = [&](std::uint32_t code) {
        bits |= static_cast<std::uint64_t>(code) << bit_count;
        bit_count += width;
        if (bit_count >= 32) {
            data[size] = static_cast<std::uint8_t>(bits);
            data[size + 1] = static_cast<std::uint8_t>(bits >> 8);
            data[size + 2] = static_cast<std::uint8_t>(bits >> 16);
            data[size + 3] = static_cast<std::uint8_t>(bits >> 24);
            size += 4;
            bits >>= 32;
            bit_count -= 32;
        }
    };
    std::size_t other_at = other_at_;
    while (pos < end) {
        const std::uint8_t* const w = want + pos;
        const std::uint8_t* const a = also + pos;
        const std::size_t limit = count - pos;
        if (other_at < pos) other_at = pos;
        if (other_at == pos) other_at = pos + first_difference(w, a, limit);
        std::uint32_t code = w[0];
        std::size_t depth = 1;
        // Pixels of one symbol each: the longest string of the table, its
        // runs skipped along their run codes.
        const std::size_t plain = other_at - pos;
        if (plain > 1) {
            depth = std::min(run_at(same_next, pos, run_length[code]), plain);
            code = run[code * kTableSize + depth - 1];
        }
        while (depth < plain) {
            const std::uint32_t next = child[static_cast<std::uint32_t>(w[depth]) << 12 | code];
            if (next == 0) break;
            code = next;
            ++depth;
        }
        std::uint32_t best_code = code;
        std::size_t best = depth;
        if (depth >= plain && plain < limit) {
            // The string reaches a pixel that allows two symbols: the
            // longest string they allow, along the preferred symbols, then
            // back to each place where the other symbol also went on. Every
            // string of the table is reached in one way only, so the search
            // ends.
            code = w[0];
            depth = 1;
            std::uint32_t tried = 0, open = 0;
            if (plain > 1 && w[1] == code) {
                depth = run_of(w, std::min<std::size_t>(plain, run_length[code]));
                code = run[code * kTableSize + depth - 1];
            }
            best_code = code;
            best = depth;
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
        }
        put(best_code);
        pos += best;
        // The decoder's next entry: this string and the next code's first
        // symbol, the next pixel's preferred one. After the last code only
        // the end code's width depends on it.
        if (pos < count) {
            const std::uint32_t cell = static_cast<std::uint32_t>(want[pos]) << 12 | best_code;
            child[cell] = static_cast<std::uint16_t>(next_code);
            assigned[stored++] = cell;
            const std::uint32_t symbol = want[pos];
            if (run[symbol * kTableSize + run_length[symbol] - 1] == best_code)
                run[symbol * kTableSize + run_length[symbol]++] = static_cast<std::uint16_t>(next_code);
        }
        if (next_code == widen_at) {
            ++width;
            widen_at <<= 1;
        }
        if (++next_code == kTableSize && pos < count) {
            put(clear_code_);
            for (std::uint32_t n = 0; n < stored; ++n) child[assigned[n]] = 0;
            stored = 0;
            std::fill(run_length, run_length + 256, 1);
            next_code = clear_code_ + 2;
            width = static_cast<std::uint32_t>(min_code_size_) + 1;
            widen_at = 1u << width;
        }
    }
    pos_ = pos;
    other_at_ = other_at;
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
