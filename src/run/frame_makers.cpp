#include "run/frame_makers.h"

#include "gif/gif_blocks.h"
#include "pattern/sine_palette.h"

namespace vz {

std::vector<std::uint8_t> black_frame_record(int picture_size, int frame_count) {
    const UncompressedLayout layout(picture_size);
    ByteSink black;
    write_frame_header(black, gif::kUncompressedPacked, frame_delay_for(frame_count), picture_size);
    for (std::int64_t b = 1; b <= layout.full_blocks(); ++b) layout.write_full_block(black);
    layout.write_final_block(black);
    return black.bytes();
}

void write_leading_blocks(ByteSink& out, const PatternParameters& pattern, int picture_size) {
    write_gif_header(out, picture_size);
    write_palette(out, sine_palette(pattern));
    write_loop_extension(out);
    write_comment(out);
}

void write_compressed_frame(ByteSink& out, bool transparent, int frame_count, int picture_size,
                            std::span<const std::uint8_t> data) {
    write_frame_header(out, control_flags_for(transparent), frame_delay_for(frame_count), picture_size);
    out.put(data);
}

SmallFilePlan plan_small_file(const RoseFigure& figure, const PatternParameters& pattern, bool compressed,
                              bool transparent, int frame_count) {
    SmallFilePlan plan;
    plan.figure = &figure;
    plan.swept = !compressed;
    plan.transparent = compressed && transparent;
    plan.frame_count = frame_count;
    plan.palette = small_palette(sine_palette(pattern), figure.ring_count(), plan.transparent, frame_count > 1);
    return plan;
}

void write_small_leading_blocks(ByteSink& out, const SmallFilePlan& plan) {
    write_small_header(out, static_cast<int>(plan.figure->picture_size()), plan.palette);
    write_loop_extension(out);
    write_comment(out);
}

}  // namespace vz
