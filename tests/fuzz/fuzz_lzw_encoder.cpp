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
    // Byte 0: width; byte 1: how the pixels are cut into calls; then pixels.
    if (size < 3) return 0;
    const int width = 1 + data[0] % 200;
    std::uint32_t cut = data[1] * 2654435761u + 1;
    const std::size_t pixel_bytes = std::min<std::size_t>(size - 2, 200 * 200);
    const int height = static_cast<int>(pixel_bytes / static_cast<std::size_t>(width));
    if (height == 0) return 0;
    std::vector<std::uint8_t> pixels(data + 2, data + 2 + static_cast<std::size_t>(width) * height);
    for (std::uint8_t& p : pixels) p &= 0x7F;

    // One encoder for all inputs, as one serves every frame of a run.
    static vz::LzwEncoder encoder;
    vz::ByteSink out;
    vz::write_gif_header(out, std::max(width, height));
    vz::write_palette(out, vz::sine_palette(vz::PatternParameters{}));
    // A frame of width x height at the corner of the screen.
    vz::write_frame_header(out, 0x08, 10, width);
    std::vector<std::uint8_t>& bytes = const_cast<std::vector<std::uint8_t>&>(out.bytes());
    bytes[bytes.size() - 4] = static_cast<std::uint8_t>(height);      // image height, low byte
    bytes[bytes.size() - 3] = static_cast<std::uint8_t>(height >> 8);  // high byte
    encoder.begin_frame(out);
    for (std::size_t i = 0; i < pixels.size();) {
        cut = cut * 1103515245u + 12345u;
        const std::size_t length = std::min<std::size_t>((cut >> 16) % 700, pixels.size() - i);
        encoder.encode(pixels.data() + i, length);
        if ((cut >> 8) % 5 == 0) {
            const std::uint8_t bad[] = {pixels[i] , static_cast<std::uint8_t>(0x80 | data[1])};
            try {
                encoder.encode(bad, 2);
                std::abort();  // must be refused
            } catch (const std::invalid_argument&) {
            }
        }
        i += length;
    }
    encoder.end_frame();
    vz::write_trailer(out);

    const vz::test::DecodedGif gif = vz::test::decode_gif(out.bytes());
    if (gif.frames.size() != 1 || gif.frames[0].pixels != pixels) std::abort();
    return 0;
}
