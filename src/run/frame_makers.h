// A run's file without the file: the frames as whole pieces of bytes and
// the order in which the blocks go out. The native run writes them into its
// output file, the page into memory; both get the same bytes from here.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "gif/lzw_encoder.h"
#include "gif/uncompressed_layout.h"
#include "io/byte_sink.h"
#include "pattern/pattern_parameters.h"
#include "pattern/rose_figure.h"

namespace vz {

// Memory a frame maker keeps from one frame to the next.
struct FrameScratch {
    std::vector<std::uint8_t> grid;
    std::unique_ptr<LzwEncoder> encoder;
};

// Frame f drawn the compressed way and LZW-encoded into `data` (its image
// data, without the frame header). reached() is called after every ring
// drawn, then after every row encoded.
template <class Reached>
void make_compressed_frame(const RoseFigure& figure, int f, FrameScratch& scratch, ByteSink& data, Reached&& reached) {
    if (!scratch.encoder) scratch.encoder = std::make_unique<LzwEncoder>();
    const int S = static_cast<int>(figure.picture_size());
    const std::size_t stride = static_cast<std::size_t>(S) + 1;
    draw_frame(figure, f, scratch.grid, reached);
    scratch.encoder->begin_frame(data);
    for (int r = 1; r <= S; ++r) {
        scratch.encoder->encode(&scratch.grid[r * stride + 1], static_cast<std::size_t>(S));
        reached();
    }
    scratch.encoder->end_frame();
}

// The record of one frame of the uncompressed layout with every pixel black:
// its frame header, then its image data.
std::vector<std::uint8_t> black_frame_record(int picture_size, int frame_count);

// Paints frame f into `record` (a copy of the black record): every point of
// every ring at its byte. reached() is called after every sweep.
template <class Reached>
void paint_frame_record(const RoseFigure& figure, int f, std::vector<std::uint8_t>& record, Reached&& reached) {
    const UncompressedLayout layout(static_cast<int>(figure.picture_size()));
    for (int k = 0; k <= figure.ring_count(); ++k) {
        const RoseFigure::Ring ring = figure.ring(f, k);
        const std::uint8_t colour = ring_colour(k);
        for (int c = 0; c < kSweepsPerRing; ++c) {
            const int first = kSweepStride * c;
            for_each_point(ring, first, first + kStepsPerSweep - 1, [&](int, Point p) {
                record[static_cast<std::size_t>(layout.offset_in_frame(p.x, p.y))] = colour;
            });
            reached();
        }
    }
}

// The blocks before the first frame: header, palette, loop, comment.
void write_leading_blocks(ByteSink& out, const PatternParameters& pattern, int picture_size);
// One frame of the compressed mode: its header, then its LZW data.
void write_compressed_frame(ByteSink& out, bool transparent, int frame_count, int picture_size,
                            std::span<const std::uint8_t> data);

}  // namespace vz
