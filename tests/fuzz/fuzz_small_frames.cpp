// The smaller file, from any sequence of pictures: some unchanged, some
// entirely new, some changed in places, on an opaque or a transparent
// background. Decoded by giflib and composited, every frame must show its
// picture exactly as the exact layout would.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "decoded_gif.h"
#include "gif/gif_blocks.h"
#include "gif/small_frame_writer.h"
#include "pattern/rose_figure.h"
#include "pattern/sine_palette.h"

namespace {

// Reads the input a byte at a time, then zeros.
struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::uint8_t next() {
        if (size == 0) return 0;
        --size;
        return *data++;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Side, frame count, background, rings (colours), palette powers; then
    // per frame a kind and the pixels it needs.
    Input in{data, size};
    const int side = 1 + in.next() % 40;
    const int frames = 1 + in.next() % 6;
    const bool transparent = in.next() % 2;
    const int rings = 1 + in.next() % 56;  // rings 0..rings - 1
    vz::PatternParameters powers;
    const std::uint8_t power_byte = in.next();
    powers.red_power = power_byte & 3;
    powers.green_power = power_byte >> 2 & 3;
    powers.blue_power = power_byte >> 4 & 3;
    const vz::Palette exact = vz::sine_palette(powers);
    const vz::SmallPalette palette = vz::small_palette(exact, rings - 1, transparent, frames > 1);

    const std::size_t stride = static_cast<std::size_t>(side) + 3;  // rows with room on either side
    std::vector<std::vector<std::uint8_t>> pictures;  // exact palette indices
    std::vector<std::uint8_t> picture(stride * side, 0);
    for (int f = 0; f < frames; ++f) {
        const std::uint8_t kind = in.next() % 4;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                std::uint8_t& pixel = picture[y * stride + x];
                if (kind == 1 || (kind >= 2 && in.next() % (kind == 2 ? 8 : 2) == 0))
                    pixel = vz::ring_colour(in.next() % rings);
            }
        pictures.push_back(picture);
    }

    vz::ByteSink file;
    vz::write_small_header(file, side, palette);
    vz::write_loop_extension(file);
    vz::write_comment(file);
    // One encoder and one scratch for all inputs, as a worker keeps them from frame to frame.
    static vz::ImageSymbols image;
    static vz::FlexibleLzwEncoder encoder;
    std::vector<std::uint8_t> before, after;
    for (int f = 0; f < frames; ++f) {
        before.swap(after);
        after = pictures[static_cast<std::size_t>(f)];
        for (std::uint8_t& pixel : after) pixel = palette.index[pixel];
        const vz::FrameGrid was{before.data(), stride, side}, is{after.data(), stride, side};
        const bool keeps = !transparent && f > 0;
        vz::write_small_frame(file, palette, transparent, keeps ? &was : nullptr, is, f == 0, 7, image, encoder,
                              [] {});
    }
    vz::write_trailer(file);

    const vz::test::DecodedGif gif = vz::test::decode_gif(file.bytes());
    if (static_cast<int>(gif.frames.size()) != frames || gif.comments.size() != 1 || gif.loop_count != 0)
        std::abort();
    vz::test::composite(gif, [&](int f, const vz::test::Canvas& canvas) {
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const std::uint8_t entry = pictures[static_cast<std::size_t>(f)][y * stride + x];
                const std::uint8_t* shown = &canvas[(static_cast<std::size_t>(y) * side + x) * 4];
                const bool clear = transparent && entry == 0;
                for (int c = 0; c < 3; ++c)
                    if (shown[c] != (clear ? 0 : exact[entry * 3u + c])) std::abort();
                if (shown[3] != (clear ? 0 : 255)) std::abort();
            }
    });
    return 0;
}
