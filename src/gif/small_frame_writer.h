// One frame of the smaller file from its picture: which pixels it sends and
// how, its graphic control extension and image descriptor, its LZW data.
#pragma once

#include <cstdint>
#include <utility>

#include "gif/flexible_lzw_encoder.h"
#include "gif/image_symbols.h"
#include "gif/small_layout.h"
#include "io/byte_sink.h"

namespace vz {

// Memory write_small_frame() keeps from one frame to the next.
struct SmallFrameMemory {
    ImageSymbols image, other;
    FlexibleLzwEncoder encoder;
    ByteSink best, trial;
};

// A frame that changed is sent in other ways too, and the shortest kept,
// when its picture has at most this many pixels or when leaving pixels as
// they are needs a larger code size. Larger pictures never came out
// shorter another way, and black that stays goes as black there.
inline constexpr std::size_t kOtherWaysPixels = 512 * 512;

// `before` is the picture the canvas shows before this frame when it keeps
// it (an opaque picture after the first frame), else null; on a
// transparent background the first frame covers the whole canvas.
// row_done() is called after every row of the picture encoded.
template <class RowDone>
void write_small_frame(ByteSink& record, const SmallPalette& palette, bool transparent_background,
                       const FrameGrid* before, const FrameGrid& after, bool first_frame, std::uint8_t delay,
                       SmallFrameMemory& memory, RowDone&& row_done) {
    ImageSymbols& image = memory.image;
    FlexibleLzwEncoder& encoder = memory.encoder;
    const bool other_ways = after.size * after.size <= static_cast<int>(kOtherWaysPixels);
    if (transparent_background)
        drawn_symbols(after, palette, first_frame, image);
    else if (before)
        changed_symbols(*before, after, palette, other_ways ? StayingBackground::Either : StayingBackground::Colour,
                        image);
    else
        whole_frame_symbols(after, palette, image);
    const auto begin = [&](const ImageSymbols& way, ByteSink& out) {
        encoder.begin(out, min_code_size_for(way.symbols), way.preferred.data(), way.allowed.data(),
                      way.preferred.size());
    };

    const bool costs_a_bit = min_code_size_for(palette.colours) < min_code_size_for(image.symbols);
    if (before && image.transparent >= 0 && (other_ways || costs_a_bit)) {
        // As prepared, with the pixels that stay as their colours first,
        // with the background that stays as its colour, and without the
        // transparent index where that needs fewer bits.
        memory.best.clear();
        begin(image, memory.best);
        encoder.end();
        const auto try_way = [&](auto&& make) {
            make(memory.other);
            memory.trial.clear();
            begin(memory.other, memory.trial);
            encoder.end();
            if (memory.trial.bytes().size() < memory.best.bytes().size()) {
                std::swap(memory.best, memory.trial);
                std::swap(image, memory.other);
            }
        };
        const ImageSymbols prepared = image;
        try_way([&](ImageSymbols& way) { colours_first(way = prepared); });
        if (other_ways) {
            ImageSymbols kept;
            changed_symbols(*before, after, palette, StayingBackground::Colour, kept);
            try_way([&](ImageSymbols& way) { way = kept; });
            if (kept.transparent >= 0) try_way([&](ImageSymbols& way) { colours_first(way = kept); });
        }
        if (costs_a_bit) try_way([&](ImageSymbols& way) { colours_only(way = prepared, palette); });
        write_image_header(record, Disposal::Keep, image.transparent, delay, image.rect);
        record.put(memory.best.bytes());
        for (int row = 1; row <= after.size; ++row) row_done();
        return;
    }

    write_image_header(record, transparent_background ? Disposal::ToTransparent : Disposal::Keep,
                       image.transparent, delay, image.rect);
    begin(image, record);
    const ImageRect& rect = image.rect;
    for (int row = 1; row <= after.size; ++row) {
        const int rows = row <= rect.top ? 0 : row - rect.top < rect.height ? row - rect.top : rect.height;
        encoder.encode_to(static_cast<std::size_t>(rows) * static_cast<std::size_t>(rect.width));
        row_done();
    }
    encoder.end();
}

}  // namespace vz
