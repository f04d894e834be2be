#include "gif/flexible_lzw_encoder.h"

#include <cstring>
#include <stdexcept>

namespace vz {

namespace {

// A search has at most this many branches: a string's longest match is
// then found among the first ones the pixels allow, and a frame full of
// pixels allowing two symbols cannot make the search take long.
constexpr std::size_t kMaxBranches = 64;

std::uint32_t packed(std::uint32_t code, std::size_t depth) {
    return static_cast<std::uint32_t>(depth) << 12 | code;
}

}  // namespace

FlexibleLzwEncoder::FlexibleLzwEncoder() : child_(std::size_t{kTableSize} << 8, 0) {
    assigned_.reserve(kTableSize);
    stack_.reserve(kMaxBranches + 1);
}

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
    min_code_size_ = min_code_size;
    clear_code_ = 1u << min_code_size;
    bits_ = 0;
    bit_count_ = 0;
    data_.clear();
    out.put(static_cast<std::uint8_t>(min_code_size));
    reset_table();
    put_code(clear_code_);
}

void FlexibleLzwEncoder::reset_table() {
    for (std::uint32_t cell : assigned_) child_[cell] = 0;
    assigned_.clear();
    next_code_ = clear_code_ + 2;
    code_width_ = min_code_size_ + 1;
    widen_at_ = 1u << code_width_;
}

FlexibleLzwEncoder::Match FlexibleLzwEncoder::longest_match(std::uint32_t first) const {
    Match best{first, 1};
    stack_.clear();
    std::size_t branches = 0;
    std::uint32_t code = first;
    std::size_t depth = 1;
    for (;;) {
        // Along the preferred symbols, noting where the other one also goes on.
        for (;;) {
            if (depth > best.length) best = {code, depth};
            const std::size_t at = pos_ + depth;
            if (at >= count_) break;
            const std::uint32_t want = preferred_[at];
            const std::uint32_t also = allowed_[at];
            const std::uint32_t next = child(code, want);
            if (also != want && branches < kMaxBranches) {
                if (const std::uint32_t other = child(code, also)) {
                    stack_.push_back(packed(other, depth + 1));
                    ++branches;
                }
            }
            if (next == 0) break;
            code = next;
            ++depth;
        }
        if (stack_.empty()) return best;
        code = stack_.back() & 0xFFF;
        depth = stack_.back() >> 12;
        stack_.pop_back();
    }
}

void FlexibleLzwEncoder::encode_to(std::size_t end) {
    if (end > count_) end = count_;
    while (pos_ < end) {
        const Match match = longest_match(preferred_[pos_]);
        put_code(match.code);
        pos_ += match.length;
        if (pos_ < count_) {
            // The decoder's next entry: this string and the next code's
            // first symbol, which is the next pixel's preferred one.
            count_code(match.code, preferred_[pos_], true);
            if (next_code_ == kTableSize) {
                put_code(clear_code_);
                reset_table();
            }
        } else {
            count_code(match.code, 0, false);  // only the end code's width depends on it
        }
    }
    write_sub_blocks(false);
}

void FlexibleLzwEncoder::count_code(std::uint32_t code, std::uint32_t next_symbol, bool store) {
    if (next_code_ == kTableSize) return;
    if (store) {
        const std::uint32_t cell = next_symbol << 12 | code;
        child_[cell] = static_cast<std::uint16_t>(next_code_);
        assigned_.push_back(cell);
    }
    if (next_code_ == widen_at_ && code_width_ < kMaxCodeWidth) {
        ++code_width_;
        widen_at_ <<= 1;
    }
    ++next_code_;
}

void FlexibleLzwEncoder::put_code(std::uint32_t code) {
    bits_ |= static_cast<std::uint64_t>(code) << bit_count_;
    bit_count_ += code_width_;
    while (bit_count_ >= 8) {
        data_.push_back(static_cast<std::uint8_t>(bits_));
        bits_ >>= 8;
        bit_count_ -= 8;
    }
}

void FlexibleLzwEncoder::write_sub_blocks(bool all) {
    std::size_t start = 0;
    for (; data_.size() - start >= kSubBlockLength; start += kSubBlockLength) {
        out_->put(kSubBlockLength);
        out_->put(std::span<const std::uint8_t>(&data_[start], kSubBlockLength));
    }
    if (all && start < data_.size()) {
        out_->put(static_cast<std::uint8_t>(data_.size() - start));
        out_->put(std::span<const std::uint8_t>(&data_[start], data_.size() - start));
        start = data_.size();
    }
    data_.erase(data_.begin(), data_.begin() + static_cast<std::ptrdiff_t>(start));
}

void FlexibleLzwEncoder::end() {
    encode_to(count_);
    put_code(clear_code_ + 1);  // the end code
    if (bit_count_ > 0) data_.push_back(static_cast<std::uint8_t>(bits_));
    bits_ = 0;
    bit_count_ = 0;
    write_sub_blocks(true);
    out_->put(0x00);  // block terminator
    out_ = nullptr;
}

}  // namespace vz
