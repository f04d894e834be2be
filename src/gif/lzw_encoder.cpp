#include "gif/lzw_encoder.h"

#include <bit>
#include <cstring>
#include <stdexcept>

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
    : child_(static_cast<std::size_t>(kTableSize) * kLiterals),
      background_path_(kTableSize),
      background_position_(kTableSize),
      background_last_(kTableSize),
      assigned_(kTableSize) {
    for (int pixel = 0; pixel < kLiterals; ++pixel) slices_[pixel] = &child_[std::size_t{kTableSize} * pixel];
    for (std::size_t cell = 0; cell < child_.size(); ++cell) child_[cell] = static_cast<std::uint16_t>(cell / kTableSize);
}

void LzwEncoder::begin_frame(ByteSink& out) {
    out_ = &out;
    for (std::uint32_t n = 0; n < assigned_count_; ++n)
        child_[assigned_[n]] = static_cast<std::uint16_t>(assigned_[n] / kTableSize);
    assigned_count_ = 0;
    prefix_ = -1;
    next_code_ = kFirstFreeCode;
    widen_at_ = 256;
    code_width_ = 8;
    bits_ = 0;
    bit_count_ = 0;
    data_size_ = 0;
    data_.resize(16);  // room for the clear code's step
    out.put(kSubBlockLength);
    emit_code(gif::kClearCode);
}

// The code stream being written: pending bits, least significant first, and
// the bytes completed so far. `put` sends `code` in `width` bits when `mask`
// is all ones and nothing when it is zero, without a branch, so that mixed
// regions of a frame cost no mispredictions.
struct LzwEncoder::Codes {
    std::uint8_t* data;
    std::size_t size;
    std::uint64_t bits;
    std::uint32_t count;

    void put(std::uint32_t code, std::uint32_t width, std::uint32_t mask) {
        bits |= static_cast<std::uint64_t>(code & mask) << count;
        count += width & mask;
        // Little-endian whatever the machine; kept only once 32 bits are complete.
        data[size] = static_cast<std::uint8_t>(bits);
        data[size + 1] = static_cast<std::uint8_t>(bits >> 8);
        data[size + 2] = static_cast<std::uint8_t>(bits >> 16);
        data[size + 3] = static_cast<std::uint8_t>(bits >> 24);
        const std::uint32_t whole = count >= 32;
        size += 4 * whole;
        bits >>= 32 * whole;
        count -= 32 * whole;
    }
    // Adds `code` in 12 bits when `mask` is all ones, without storing:
    // at most four such adds may follow a flush().
    void add12(std::uint32_t code, std::uint64_t mask) {
        bits |= (code & mask) << count;
        count += 12 & static_cast<std::uint32_t>(mask);
    }
    // Stores every complete byte, leaving fewer than 8 bits pending.
    void flush() {
        std::uint64_t word = bits;
        if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
        std::memcpy(data + size, &word, 8);
        size += count >> 3;
        bits >>= count & ~7u;
        count &= 7;
    }
};

void LzwEncoder::encode(const std::uint8_t* pixels, std::size_t count) {
    // Nothing to add: the current string stays as it is.
    if (count == 0) return;
    // Only the 128 palette entries have codes; one pass over the row finds any other.
    std::uint8_t any_high = 0;
    for (std::size_t i = 0; i < count; ++i) any_high |= pixels[i];
    if (any_high >= kLiterals) throw std::invalid_argument("LZW pixel outside the 128-entry palette");
    // Room for every code these pixels can send, 12 bits each at most, and
    // for the 4 bytes that every step stores.
    data_.resize(data_size_ + 2 * count + 16);
    std::size_t i = 0;
    if (prefix_ < 0) prefix_ = pixels[i++];
    Codes codes{data_.data(), data_size_, bits_, static_cast<std::uint32_t>(bit_count_)};
    auto prefix = static_cast<std::uint32_t>(prefix_);
    if (next_code_ < kTableSize) i = encode_growing(pixels, i, count, prefix, codes);
    if (i < count) encode_full(pixels, i, count, prefix, codes);
    prefix_ = prefix;
    data_size_ = codes.size;
    bits_ = codes.bits;
    bit_count_ = static_cast<int>(codes.count);
    write_sub_blocks();
}

// While the table has room: every code sent stores string + pixel as the
// next entry, and the codes widen at 256, 512, 1024 and 2048. All state is
// in locals: the byte stores could otherwise alias it and force reloads.
std::size_t LzwEncoder::encode_growing(const std::uint8_t* pixels, std::size_t i, std::size_t count,
                                       std::uint32_t& prefix_io, Codes& codes_io) {
    std::uint16_t* const child = child_.data();
    const std::uint16_t* const* const slices = slices_.data();
    std::uint32_t* const assigned = assigned_.data();
    Codes codes = codes_io;
    std::uint32_t prefix = prefix_io;
    std::uint32_t width = static_cast<std::uint32_t>(code_width_);
    std::uint32_t next = next_code_;
    std::uint32_t widen_at = widen_at_;
    std::uint32_t stored = assigned_count_;
    for (; i < count && next < kTableSize; ++i) {
        // A stretch of background extends the string one lookup per pixel.
        for (std::uint32_t extended; i < count && pixels[i] == 0 && (extended = child[prefix]) != 0; ++i)
            prefix = extended;
        if (i == count) break;
        const std::uint32_t pixel = pixels[i];
        const std::uint32_t cell = pixel * kTableSize + prefix;
        const std::uint32_t code = slices[pixel][prefix];
        const std::uint32_t miss = code < kLiterals;
        codes.put(prefix, width, 0u - miss);
        child[cell] = static_cast<std::uint16_t>(miss ? next : code);
        assigned[stored] = cell;
        stored += miss;
        const std::uint32_t widen = miss & (next == widen_at);
        width += widen;
        widen_at <<= widen;
        next += miss;
        prefix = code;  // on a miss, the pixel
    }
    codes_io = codes;
    prefix_io = prefix;
    code_width_ = static_cast<int>(width);
    next_code_ = next;
    widen_at_ = widen_at;
    assigned_count_ = stored;
    if (next == kTableSize) prepare_background_runs();
    return i;
}

// Once the table is full it stays as it is: codes are 12 bits wide and
// nothing is stored. Eight pixels at a time: eight bytes of background
// follow the precomputed chains, each stretch of them costing one step
// however long it is, plus one for every code it sends; any other eight take
// eight plain lookups, which cost less than finding where their background
// starts and ends.
void LzwEncoder::encode_full(const std::uint8_t* pixels, std::size_t i, std::size_t count, std::uint32_t& prefix_io,
                             Codes& codes_io) {
    const std::uint16_t* const path = background_path_.data();
    const std::uint16_t* const position = background_position_.data();
    const std::uint16_t* const last = background_last_.data();
    Codes codes = codes_io;
    codes.flush();  // add12 needs fewer than 8 bits pending
    std::uint32_t prefix = prefix_io;
    // The next string's code whether this one goes out or not: the lookup is
    // all that each pixel waits for, and the pixel's slice is known before it.
    const std::uint16_t* const* const slices = slices_.data();
    auto step = [&](std::uint32_t pixel) {
        const std::uint32_t next = slices[pixel][prefix];
        codes.add12(prefix, 0 - static_cast<std::uint64_t>(next < kLiterals));
        prefix = next;
    };
    // Appends `run` background pixels to the current string.
    auto background = [&](std::size_t run) {
        for (;;) {
            const std::size_t at = position[prefix];
            const std::size_t room = last[prefix] - at;
            if (run <= room) {
                prefix = path[at + run];
                return;
            }
            // The string is as long as background can make it: send it, and
            // the next background pixel starts a new one.
            codes.put(path[at + room], 12, ~0u);
            prefix = 0;
            run -= room + 1;
        }
    };
    while (i + 8 <= count) {
        std::uint64_t ahead;
        std::memcpy(&ahead, pixels + i, 8);
        if (ahead == 0) {
            const std::size_t run = leading_zeros(pixels + i, count - i);
            background(run);
            codes.flush();
            i += run;
            continue;
        }
        for (int n = 0; n < 4; ++n) step(pixels[i + n]);
        codes.flush();
        for (int n = 4; n < 8; ++n) step(pixels[i + n]);
        codes.flush();
        i += 8;
    }
    for (; i < count; ++i) {
        step(pixels[i]);
        codes.flush();
    }
    codes_io = codes;
    prefix_io = prefix;
}

// Each string has at most one background extension and the extension has a
// higher code, so the extensions form disjoint chains. They are laid out one
// after another in `background_path_`; a code's place there and the place of
// its chain's last string make any number of background pixels one lookup.
void LzwEncoder::prepare_background_runs() {
    const std::uint16_t* const extension = child_.data();  // pixel 0's slice
    std::vector<bool> extends_another(kTableSize, false);
    for (int code = 0; code < kTableSize; ++code)
        if (extension[code] != 0) extends_another[extension[code]] = true;
    std::size_t at = 0;
    for (int head = 0; head < kTableSize; ++head) {
        if (extends_another[static_cast<std::size_t>(head)]) continue;
        const std::size_t first = at;
        for (std::uint32_t code = static_cast<std::uint32_t>(head);; code = extension[code]) {
            background_path_[at] = static_cast<std::uint16_t>(code);
            background_position_[code] = static_cast<std::uint16_t>(at++);
            if (extension[code] == 0) break;
        }
        for (std::size_t k = first; k < at; ++k) background_last_[background_path_[k]] = static_cast<std::uint16_t>(at - 1);
    }
}

void LzwEncoder::emit_code(std::uint32_t code) {
    Codes codes{data_.data(), data_size_, bits_, static_cast<std::uint32_t>(bit_count_)};
    codes.put(code, static_cast<std::uint32_t>(code_width_), ~0u);
    data_size_ = codes.size;
    bits_ = codes.bits;
    bit_count_ = static_cast<int>(codes.count);
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
