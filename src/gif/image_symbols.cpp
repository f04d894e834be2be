#include "gif/image_symbols.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "gif/equal_prefix.h"

namespace vz {

namespace {

// One bit per pixel, all clear at first, in `words`: pixel i at bit i % 64
// of word i / 64, with a spare word after the last so that scans need no
// bounds checks.
class PixelBits {
public:
    PixelBits(std::vector<std::uint64_t>& words, std::size_t count) : words_(words), count_(count) {
        words_.assign(count / 64 + 2, 0);
    }
    std::uint64_t* words() { return words_.data(); }
    bool any() const {
        return std::any_of(words_.begin(), words_.end(), [](std::uint64_t w) { return w != 0; });
    }
    // The first set bit at or after i, or the count.
    std::size_t next_set(std::size_t i) const { return std::min(scan(i, 0), count_); }
    // The first clear bit at or after i, or the count.
    std::size_t next_clear(std::size_t i) const { return std::min(scan(i, ~std::uint64_t{0}), count_); }
private:
    // The first bit at or after i that differs from the bits of `skip`.
    std::size_t scan(std::size_t i, std::uint64_t skip) const {
        std::size_t word = i / 64;
        std::uint64_t bits = (words_[word] ^ skip) >> (i % 64) << (i % 64);
        while (bits == 0) {
            if (++word >= words_.size()) return count_;
            bits = words_[word] ^ skip;
        }
        return word * 64 + static_cast<std::size_t>(std::countr_zero(bits));
    }

    std::vector<std::uint64_t>& words_;
    std::size_t count_;
};

// Bit j set where bytes a[j] and b[j] differ, for j < 8.
std::uint8_t differing_bytes(const std::uint8_t* a, const std::uint8_t* b) {
    std::uint64_t x, y;
    std::memcpy(&x, a, 8);
    std::memcpy(&y, b, 8);
    if constexpr (std::endian::native == std::endian::big) x = __builtin_bswap64(x), y = __builtin_bswap64(y);
    const std::uint64_t z = x ^ y;
    constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7Full;
    // The top bit of each byte says whether that byte of z is nonzero;
    // gathered into one byte, byte j's at bit j.
    const std::uint64_t nonzero = (((z & low7) + low7) | z) & ~low7;
    return static_cast<std::uint8_t>(((nonzero >> 7) * 0x0102040810204080ull) >> 56);
}

// Sets bit `at + i` of `bits` where a[i] equals b[i] and is not `kept`
// (-1: any colour), for i < n.
void put_stays(const std::uint8_t* a, const std::uint8_t* b, std::size_t n, int kept, std::uint64_t* bits,
               std::size_t at) {
    std::uint8_t kept_bytes[8];
    std::memset(kept_bytes, kept, 8);
    const std::uint8_t any_colour = kept < 0 ? 0xFF : 0x00;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const std::uint64_t byte = static_cast<std::uint8_t>(~differing_bytes(a + i, b + i) &
                                                             (differing_bytes(a + i, kept_bytes) | any_colour));
        const std::size_t bit = at + i;
        bits[bit / 64] |= byte << (bit % 64);
        if (bit % 64 > 56) bits[bit / 64 + 1] |= byte >> (64 - bit % 64);
    }
    for (; i < n; ++i) {
        const bool stays = a[i] == b[i] && (kept < 0 || a[i] != kept);
        bits[(at + i) / 64] |= static_cast<std::uint64_t>(stays) << ((at + i) % 64);
    }
}

// Places i in [from, to) where symbol i differs from symbol i + 1: 0, 1,
// or 2 for more.
int differences_to_two(const std::uint8_t* symbols, std::size_t from, std::size_t to) {
    int n = 0;
    for (std::size_t i = from; n < 2; ++i, ++n) {
        i += equal_prefix(symbols + i, symbols + i + 1, to - i);
        if (i == to) break;
    }
    return n;
}

// Nothing to draw: one pixel of index 0, transparent.
void single_transparent_pixel(ImageSymbols& image) {
    image.rect = {0, 0, 1, 1};
    image.preferred.assign(1, 0);
    image.allowed.assign(1, 0);
    image.symbols = 1;
    image.transparent = 0;
}

// Copies the rectangle into both symbol arrays.
void copy_rect(const FrameGrid& frame, ImageSymbols& image) {
    const ImageRect& r = image.rect;
    image.preferred.resize(static_cast<std::size_t>(r.width) * r.height);
    std::uint8_t* out = image.preferred.data();
    for (int y = r.top; y < r.top + r.height; ++y, out += r.width)
        std::memcpy(out, frame.row(y) + r.left, static_cast<std::size_t>(r.width));
    image.allowed = image.preferred;
}

}  // namespace

void whole_frame_symbols(const FrameGrid& frame, const SmallPalette& palette, ImageSymbols& image) {
    image.rect = {0, 0, frame.size, frame.size};
    copy_rect(frame, image);
    image.symbols = palette.colours;
    image.transparent = -1;
}

void changed_symbols(const FrameGrid& before, const FrameGrid& after, const SmallPalette& palette,
                     StayingBackground background, ImageSymbols& image) {
    const int size = after.size;
    const auto width = static_cast<std::size_t>(size);
    int top = -1, bottom = -1, left = size, right = -1;
    for (int y = 0; y < size; ++y) {
        const std::uint8_t* b = before.row(y);
        const std::uint8_t* a = after.row(y);
        const std::size_t first = equal_prefix(a, b, width);
        if (first == width) continue;
        if (top < 0) top = y;
        bottom = y;
        left = std::min(left, static_cast<int>(first));
        int x = size - 1;
        while (x >= right + 8 && std::memcmp(a + x - 7, b + x - 7, 8) == 0) x -= 8;
        while (x > right && a[x] == b[x]) --x;
        right = std::max(right, x);
    }
    if (top < 0) return single_transparent_pixel(image);

    image.rect = {left, top, right - left + 1, bottom - top + 1};
    copy_rect(after, image);
    const std::size_t count = image.preferred.size();
    const auto rect_width = static_cast<std::size_t>(image.rect.width);
    std::uint8_t* const colours = image.preferred.data();

    // Which pixels stay and may be left (background pixels only when
    // `background` allows).
    PixelBits stays(image.stay_bits, count);
    const int kept_colour = background == StayingBackground::Colour ? palette.index[0] : -1;
    for (int y = top; y <= bottom; ++y)
        put_stays(after.row(y) + left, before.row(y) + left, rect_width, kept_colour, stays.words(),
                  static_cast<std::size_t>(y - top) * rect_width);
    if (!stays.any()) {
        image.transparent = -1;
        image.symbols = palette.colours;
        return;
    }

    // The colours the pixels sent need, 64 pixels at a time; the search
    // ends once all are. It starts at the middle row, which crosses every
    // ring, and wraps around. A pixel that stays marks the spare place
    // after the colours.
    std::array<bool, 257> needed{};
    const std::uint64_t* const stay_words = stays.words();
    auto all_needed = [&] {
        return std::count(needed.begin(), needed.begin() + palette.colours, true) == palette.colours;
    };
    const std::size_t words = (count + 63) / 64, middle = count / 2 / 64;
    for (std::size_t step = 0; step < words && !(step % 16 == 15 && all_needed()); ++step) {
        const std::size_t word = (middle + step) % words;
        const std::size_t first = word * 64, n = std::min<std::size_t>(64, count - first);
        const std::uint64_t left = stay_words[word];
        if (left == 0) {
            for (std::size_t i = 0; i < n; ++i) needed[colours[first + i]] = true;
        } else {
            for (std::size_t i = 0; i < n; ++i) needed[(left >> i & 1) ? 256 : colours[first + i]] = true;
        }
    }
    // The transparent index: a colour no pixel sent needs, the one the
    // most pixels have (all of them stay: sent as it, they are one symbol
    // either way, and the code size may stay smaller), else the palette's
    // own.
    int chosen = palette.transparent;
    if (!all_needed()) {
        std::array<std::uint32_t, 256> pixels{};
        for (std::size_t i = stays.next_set(0); i < count; i = stays.next_set(i + 1)) ++pixels[colours[i]];
        for (int c = 0; c < palette.colours; ++c)
            if (!needed[c] && (chosen == palette.transparent || pixels[c] > pixels[chosen])) chosen = c;
    }
    if (chosen < 0) {  // every colour is needed and the table has no index to spare
        image.transparent = -1;
        image.symbols = palette.colours;
        return;
    }

    // A stretch of pixels that stay, between symbols that must be sent: it
    // goes as its colours when that makes fewer changes between neighbours
    // than the transparent index would, which changes at both of its ends.
    std::uint8_t* const allowed = image.allowed.data();
    const auto t = static_cast<std::uint8_t>(chosen);
    for (std::size_t from = stays.next_set(0); from < count;) {
        const std::size_t to = stays.next_clear(from);
        const int as_transparent = (from > 0) + (to < count);
        const int as_colours = differences_to_two(colours, from > 0 ? from - 1 : from, to < count ? to : to - 1);
        std::uint8_t* const second = as_colours < as_transparent ? allowed : colours;
        for (std::size_t i = from; i < to; ++i) second[i] = t;
        from = stays.next_set(to);
    }
    image.transparent = chosen;
    image.symbols = chosen == palette.transparent ? palette.transparent + 1 : palette.colours;
}

void colours_first(ImageSymbols& image) {
    const auto t = static_cast<std::uint8_t>(image.transparent);
    for (std::size_t i = 0; i < image.preferred.size(); ++i)
        if (image.preferred[i] == t) std::swap(image.preferred[i], image.allowed[i]);
}

void colours_only(ImageSymbols& image, const SmallPalette& palette) {
    const auto t = static_cast<std::uint8_t>(image.transparent);
    for (std::size_t i = 0; i < image.preferred.size(); ++i)
        if (image.preferred[i] == t) image.preferred[i] = image.allowed[i];
    image.allowed = image.preferred;
    image.transparent = -1;
    image.symbols = palette.colours;
}

void drawn_symbols(const FrameGrid& frame, const SmallPalette& palette, bool whole, ImageSymbols& image) {
    const int size = frame.size;
    const auto t = static_cast<std::uint8_t>(palette.transparent);
    if (whole) {
        image.rect = {0, 0, size, size};
    } else {
        int top = -1, bottom = -1, left = size, right = -1;
        for (int y = 0; y < size; ++y) {
            const std::uint8_t* row = frame.row(y);
            int x = 0;
            while (x < size && row[x] == t) ++x;
            if (x == size) continue;
            if (top < 0) top = y;
            bottom = y;
            if (x < left) left = x;
            x = size - 1;
            while (row[x] == t) --x;
            if (x > right) right = x;
        }
        if (top < 0) return single_transparent_pixel(image);
        image.rect = {left, top, right - left + 1, bottom - top + 1};
    }
    copy_rect(frame, image);
    image.symbols = palette.transparent + 1;
    image.transparent = palette.transparent;
}

}  // namespace vz
