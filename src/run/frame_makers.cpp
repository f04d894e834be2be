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
    const Palette palette = sine_palette(pattern);
    plan.palette = small_palette(palette, figure.ring_count(), plan.transparent, frame_count > 1);
    if (plan.transparent || frame_count == 1) return plan;
    // Where an index of its own for pixels that stay doubles the colour
    // table, small frames may do better sending every pixel: frame 2 made
    // both ways tells, for all frames.
    const SmallPalette without = small_palette(palette, figure.ring_count(), false, false);
    const double size = figure.picture_size();
    if (without.table_bits == plan.palette.table_bits || size * size > kOtherWaysPixels) return plan;
    std::vector<std::uint8_t> first, second;
    draw_small_picture(plan, 1, first, [] {});
    draw_small_picture(plan, 2, second, [] {});
    const FrameGrid before = picture_of(first, static_cast<int>(size));
    const FrameGrid after = picture_of(second, static_cast<int>(size));
    auto file_bytes = [&](const SmallPalette& table) {
        ByteSink frame;
        SmallFrameMemory memory;
        write_small_frame(frame, table, false, &before, after, false, 0, memory, [] {});
        return static_cast<double>(table.table.size()) + static_cast<double>(frame.bytes().size()) * (frame_count - 1);
    };
    if (file_bytes(without) < file_bytes(plan.palette)) plan.palette = without;
    return plan;
}

void write_small_leading_blocks(ByteSink& out, const SmallFilePlan& plan) {
    write_small_header(out, static_cast<int>(plan.figure->picture_size()), plan.palette);
    write_loop_extension(out);
    write_comment(out);
}

}  // namespace vz
