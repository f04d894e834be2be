#include "decoded_gif.h"

#include <gif_lib.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace vz::test {

namespace {

struct Reader {
    const std::vector<std::uint8_t>* bytes;
    std::size_t position = 0;
};

int read_memory(GifFileType* gif, GifByteType* into, int size) {
    auto* reader = static_cast<Reader*>(gif->UserData);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(size), reader->bytes->size() - reader->position);
    std::memcpy(into, reader->bytes->data() + reader->position, n);
    reader->position += n;
    return static_cast<int>(n);
}

}  // namespace

DecodedGif decode_gif(const std::vector<std::uint8_t>& bytes) {
    Reader reader{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&reader, read_memory, &error);
    if (!gif) throw std::runtime_error(std::string("DGifOpen: ") + GifErrorString(error));
    if (DGifSlurp(gif) != GIF_OK) {
        const std::string reason = GifErrorString(gif->Error);
        DGifCloseFile(gif, &error);
        throw std::runtime_error("DGifSlurp: " + reason);
    }
    DecodedGif result;
    result.width = gif->SWidth;
    result.height = gif->SHeight;
    if (gif->SColorMap)
        for (int i = 0; i < gif->SColorMap->ColorCount; ++i) {
            const GifColorType& c = gif->SColorMap->Colors[i];
            result.palette.insert(result.palette.end(), {c.Red, c.Green, c.Blue});
        }
    auto scan_extensions = [&](int count, ExtensionBlock* blocks) {
        for (int i = 0; i < count; ++i) {
            const ExtensionBlock& b = blocks[i];
            if (b.Function == COMMENT_EXT_FUNC_CODE)
                result.comments.emplace_back(reinterpret_cast<const char*>(b.Bytes), b.ByteCount);
            if (b.Function == APPLICATION_EXT_FUNC_CODE && b.ByteCount == 11 &&
                std::memcmp(b.Bytes, "NETSCAPE2.0", 11) == 0 && i + 1 < count && blocks[i + 1].ByteCount == 3)
                result.loop_count = blocks[i + 1].Bytes[1] | blocks[i + 1].Bytes[2] << 8;
        }
    };
    scan_extensions(gif->ExtensionBlockCount, gif->ExtensionBlocks);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        scan_extensions(image.ExtensionBlockCount, image.ExtensionBlocks);
        DecodedFrame frame;
        frame.left = image.ImageDesc.Left;
        frame.top = image.ImageDesc.Top;
        frame.width = image.ImageDesc.Width;
        frame.height = image.ImageDesc.Height;
        const std::size_t n = static_cast<std::size_t>(image.ImageDesc.Width) * image.ImageDesc.Height;
        frame.pixels.assign(image.RasterBits, image.RasterBits + n);
        GraphicsControlBlock control;
        if (DGifSavedExtensionToGCB(gif, i, &control) == GIF_OK) {
            frame.delay = control.DelayTime;
            frame.disposal = control.DisposalMode;
            frame.transparent_index = control.TransparentColor;
        }
        result.frames.push_back(std::move(frame));
    }
    DGifCloseFile(gif, &error);
    return result;
}

std::vector<std::uint8_t> read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace vz::test
