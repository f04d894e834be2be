// Decodes a GIF with giflib and prints "<frames> <width>x<height>", so the
// desktop tests can tell that a written file is a picture a viewer would show.
#include <cstdio>
#include <exception>

#include "decoded_gif.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gif_summary FILE\n");
        return 2;
    }
    try {
        const vz::test::DecodedGif gif = vz::test::decode_gif(vz::test::read_file(argv[1]));
        std::printf("%zu %dx%d\n", gif.frames.size(), gif.width, gif.height);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.what());
        return 1;
    }
}
