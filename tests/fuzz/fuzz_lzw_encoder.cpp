// The LZW encoder, round-tripped through giflib: any pixels, handed over in
// rows of any length (empty ones included) with refused out-of-palette rows
// in between, must decode to exactly the pixels given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "decoded_gif.h"
#include "gif/gif_blocks.h"
#include "gif/lzw_encoder.h"
#include "pattern/sine_palette.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Byte 0: width; byte 1: how many of the next bytes give the lengths of
    // the encode calls (in turn, 3 pixels per unit, 0 = an empty call; the
    // whole frame at once when there are none); then the pixels.
    if (size < 3) return 0;
    const int width = 1 + data[0] % 200;
    const std::size_t length_bytes = std::min<std::size_t>(data[1] % 16, size - 2);
    const std::uint8_t* lengths = data + 2;
    const std::size_t pixel_bytes = std::min<std::size_t>(size - 2 - length_bytes, 200 * 200);
    const int height = static_cast<int>(pixel_bytes / static_cast<std::size_t>(width));
    if (height == 0) return 0;
    const std::uint8_t* first_pixel = lengths + length_bytes;
    std::vector<std::uint8_t> pixels(first_pixel, first_pixel + static_cast<std::size_t>(width) * height);
    for (std::uint8_t& p : pixels) p &= 0x7F;

    // One encoder for all inputs, as one serves every frame of a run.
    static vz::LzwEncoder encoder;
    vz::ByteSink head;
    vz::write_gif_header(head, std::max(width, height));
    vz::write_palette(head, vz::sine_palette(vz::PatternParameters{}));
    vz::write_frame_header(head, 0x08, 10, width);
    // A frame of width x height at the corner of the screen.
    std::vector<std::uint8_t> file = head.bytes();
    file[file.size() - 4] = static_cast<std::uint8_t>(height);      // image height, low byte
    file[file.size() - 3] = static_cast<std::uint8_t>(height >> 8);  // high byte

    bool progresses = false;
    for (std::size_t k = 0; k < length_bytes; ++k) progresses |= lengths[k] != 0;
    vz::ByteSink out;
    encoder.begin_frame(out);
    for (std::size_t i = 0, call = 0; i < pixels.size(); ++call) {
        // All lengths 0: one round of empty calls, then the rest at once.
        const bool from_lengths = length_bytes && (progresses || call < length_bytes);
        const std::size_t wanted = from_lengths ? 3u * lengths[call % length_bytes] : pixels.size();
        const std::size_t length = std::min(wanted, pixels.size() - i);
        encoder.encode(pixels.data() + i, length);
        // A row with an out-of-palette pixel after every call whose length unit is odd.
        if (from_lengths && lengths[call % length_bytes] % 2) {
            const std::uint8_t bad[] = {0, static_cast<std::uint8_t>(0x80 | lengths[call % length_bytes])};
            try {
                encoder.encode(bad, 2);
                std::abort();  // must be refused
            } catch (const std::invalid_argument&) {
            }
        }
        i += length;
    }
    encoder.end_frame();
    file.insert(file.end(), out.bytes().begin(), out.bytes().end());
    file.push_back(vz::gif::kTrailer);

    const vz::test::DecodedGif gif = vz::test::decode_gif(file);
    if (gif.frames.size() != 1 || gif.frames[0].pixels != pixels) std::abort();
    return 0;
}
