// A run's file without the file: the frames as whole pieces of bytes and
// the order in which the blocks go out. The native run writes them into its
// output file, the page into memory; both get the same bytes from here.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "gif/gif_blocks.h"
#include "gif/lzw_encoder.h"
#include "gif/small_frame_writer.h"
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

// What every frame of a run's smaller file shares. Each frame is made from
// the pictures alone, so any worker can make any frame, in any order.
struct SmallFilePlan {
    const RoseFigure* figure = nullptr;
    SmallPalette palette;
    bool swept = false;        // the uncompressed mode's pictures
    bool transparent = false;  // background transparent (compressed mode only, as in the exact file)
    int frame_count = 0;
};
SmallFilePlan plan_small_file(const RoseFigure& figure, const PatternParameters& pattern, bool compressed,
                              bool transparent, int frame_count);

// Frame f in the colours of the smaller file: each pixel holds its index
// in plan.palette. The compressed mode draws steps 1..9420 of each ring,
// the uncompressed one its ten sweeps; after_ring() is called after every
// ring.
template <class AfterRing>
void draw_small_picture(const SmallFilePlan& plan, int f, std::vector<std::uint8_t>& grid, AfterRing&& after_ring) {
    const RoseFigure& figure = *plan.figure;
    const std::size_t stride = static_cast<std::size_t>(figure.picture_size()) + 1;
    grid.assign(stride * stride, plan.palette.index[0]);
    for (int k = 0; k <= figure.ring_count(); ++k) {
        const RoseFigure::Ring ring = figure.ring(f, k);
        const std::uint8_t colour = plan.palette.index[ring_colour(k)];
        auto paint = [&](int, Point p) { grid[static_cast<std::size_t>(p.y) * stride + p.x] = colour; };
        if (plan.swept) {
            for (int c = 0; c < kSweepsPerRing; ++c)
                for_each_point(ring, kSweepStride * c, kSweepStride * c + kStepsPerSweep - 1, paint);
        } else {
            for_each_point(ring, 1, kCompressedRingSteps, paint);
        }
        after_ring();
    }
}

// The picture in a grid draw_small_picture() drew: `size` x `size` pixels
// from row 1, column 1 of a grid `size` + 1 wide (points may reach index
// `size`, one past the picture).
inline FrameGrid picture_of(const std::vector<std::uint8_t>& grid, int size) {
    const auto stride = static_cast<std::size_t>(size) + 1;
    return FrameGrid{grid.data() + stride + 1, stride, size};
}

// Pictures other makers drew, for a maker that needs the frame before its
// own: copying one costs far less than drawing it. The native run's
// workers share one; the page's, with no shared memory, have none.
class PictureShelf {
public:
    virtual ~PictureShelf() = default;
    // Frame f is being drawn, for the shelf: a copy() of it waits for it.
    virtual void drawing(int f) = 0;
    // Offers frame f's picture to the others.
    virtual void put(int f, const std::vector<std::uint8_t>& grid) = 0;
    // Frame f will not come after all (its drawing was cut short).
    virtual void abandon(int f) = 0;
    // Copies frame f's picture into `grid` when the shelf has it, waiting
    // while it is being drawn; false when no one has it or draws it.
    virtual bool copy(int f, std::vector<std::uint8_t>& grid) = 0;
};

// Whether frame f + 1 shows only what changed since frame f: the canvas
// keeps every frame of an opaque picture, while on a transparent background
// a frame clears what it drew, since the next one may leave transparent
// what this one coloured.
inline bool differenced_next(const SmallFilePlan& plan, int f) {
    return !plan.transparent && f >= 1 && f < plan.frame_count;
}

// Memory a small-frame maker keeps from one frame to the next, for one
// plan: before the first frame of another, after_frame must be 0 again.
struct SmallFrameScratch {
    std::vector<std::uint8_t> before, after;  // pictures as draw_small_picture() lays them out
    int after_frame = 0;                      // the frame `after` holds, 0 = none
    std::unique_ptr<SmallFrameMemory> memory;
    PictureShelf* shelf = nullptr;  // shared with the other makers of a run, if any
};

// Frame f of the smaller file, complete: its graphic control extension,
// image descriptor and LZW data. Where the frame shows only what changed,
// frame f - 1 comes from this maker's last frame, the shelf, or is drawn
// here too. reached() is called after every ring of
// frame f drawn, then after every row of the picture encoded, as
// make_compressed_frame() does.
template <class Reached>
void make_small_frame(const SmallFilePlan& plan, int f, SmallFrameScratch& scratch, ByteSink& record,
                      Reached&& reached) {
    if (!scratch.memory) scratch.memory = std::make_unique<SmallFrameMemory>();
    const int S = static_cast<int>(plan.figure->picture_size());
    const bool differenced = differenced_next(plan, f - 1);
    bool have_before = false;
    if (differenced && scratch.after_frame == f - 1) {
        scratch.before.swap(scratch.after);
        have_before = true;
    }
    scratch.after_frame = 0;
    // This frame is drawn and offered first, so that a maker waiting for it
    // never waits for a maker that waits in turn.
    PictureShelf* const offer_to = differenced_next(plan, f) ? scratch.shelf : nullptr;
    if (offer_to) offer_to->drawing(f);
    struct Abandon {
        PictureShelf* shelf;
        int f;
        ~Abandon() {
            if (shelf) shelf->abandon(f);
        }
    } abandon{offer_to, f};
    draw_small_picture(plan, f, scratch.after, reached);
    if (offer_to) offer_to->put(f, scratch.after);
    abandon.shelf = nullptr;
    scratch.after_frame = f;
    if (differenced && !have_before && !(scratch.shelf && scratch.shelf->copy(f - 1, scratch.before)))
        draw_small_picture(plan, f - 1, scratch.before, [] {});
    const FrameGrid before = differenced ? picture_of(scratch.before, S) : FrameGrid{};
    write_small_frame(record, plan.palette, plan.transparent, differenced ? &before : nullptr,
                      picture_of(scratch.after, S), f == 1, frame_delay_for(plan.frame_count), *scratch.memory, reached);
}

// The blocks before the first frame of the smaller file: header with its
// colour table, loop, comment.
void write_small_leading_blocks(ByteSink& out, const SmallFilePlan& plan);

// The blocks before the first frame: header, palette, loop, comment.
void write_leading_blocks(ByteSink& out, const PatternParameters& pattern, int picture_size);
// One frame of the compressed mode: its header, then its LZW data.
void write_compressed_frame(ByteSink& out, bool transparent, int frame_count, int picture_size,
                            std::span<const std::uint8_t> data);

}  // namespace vz
