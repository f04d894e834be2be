// One frame of the smaller file from its picture: which pixels it sends and
// how, its graphic control extension and image descriptor, its LZW data.
#pragma once

#include <cstdint>

#include "gif/flexible_lzw_encoder.h"
#include "gif/image_symbols.h"
#include "gif/small_layout.h"
#include "io/byte_sink.h"

namespace vz {

// `before` is the picture the canvas shows before this frame when it keeps
// it (an opaque picture after the first frame), else null; on a
// transparent background the first frame covers the whole canvas. `image`
// and `encoder` are scratch memory. row_done() is called after every row
// of the picture encoded.
template <class RowDone>
void write_small_frame(ByteSink& record, const SmallPalette& palette, bool transparent_background,
                       const FrameGrid* before, const FrameGrid& after, bool first_frame, std::uint8_t delay,
                       ImageSymbols& image, FlexibleLzwEncoder& encoder, RowDone&& row_done) {
    if (transparent_background)
        drawn_symbols(after, palette, first_frame, image);
    else if (before)
        changed_symbols(*before, after, palette, image);
    else
        whole_frame_symbols(after, palette, image);
    write_image_header(record, transparent_background ? Disposal::ToTransparent : Disposal::Keep,
                       image.leaves_pixels ? palette.transparent : -1, delay, image.rect);
    encoder.begin(record, min_code_size_for(image.symbols), image.preferred.data(), image.allowed.data(),
                  image.preferred.size());
    const ImageRect& rect = image.rect;
    for (int row = 1; row <= after.size; ++row) {
        const int rows = row <= rect.top ? 0 : row - rect.top < rect.height ? row - rect.top : rect.height;
        encoder.encode_to(static_cast<std::size_t>(rows) * static_cast<std::size_t>(rect.width));
        row_done();
    }
    encoder.end();
}

}  // namespace vz
