// The rose figure: concentric rose curves ("rings") traced point by point.
// `plot_point` gives the pixel of one (ring, step, frame); `RoseFigure` gives
// the same pixels faster by computing once what a run shares between points.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "pattern/pattern_parameters.h"
#include "pattern/pixel_coordinate.h"
#include "pattern/vector_rose_points.h"

namespace vz {

inline constexpr int kStepsPerRadian = 1500;        // q: the angle advances 1/1500 rad per step
inline constexpr int kCompressedRingSteps = 9420;   // j = 1 .. round(q * 6.28)
inline constexpr int kSweepsPerRing = 10;           // uncompressed path: 10 sweeps per ring
inline constexpr int kSweepStride = 943;            // round(q * 0.628 + 1)
inline constexpr int kStepsPerSweep = 943;          // m = 0 .. round(q * 0.628)

struct Point {
    int x;  // column 1..S, 1 = leftmost
    int y;  // row 1..S, 1 = top
    bool operator==(const Point&) const = default;
};

// Last ring index K = floor(3 * sqrt(M) / 1.7) for reference size M.
int ring_count(double reference_size);

// Palette index of ring k: (3 * k) AND 127.
inline std::uint8_t ring_colour(int ring) { return static_cast<std::uint8_t>((3 * ring) & 127); }

// One point of the figure, each operation in the listed order, in double
// precision; the result is clamped into 1..S.
Point plot_point(const PatternParameters& pattern, double picture_size, int ring, int step, int frame_number);

// Bit-identical to plot_point for the same inputs; caches sqrt(M), sin B and
// the per-step and per-ring terms so a point costs one sincos. Batches of
// points take the vector path where it is asked for and available.
class RoseFigure {
public:
    RoseFigure(const PatternParameters& pattern, double picture_size, DrawingPath drawing = DrawingPath::Scalar);

    int ring_count() const { return ring_count_; }
    double picture_size() const { return size_; }

    // The terms of one ring in one frame; steps j = 0 .. 9429.
    class Ring {
    public:
        Point point(int step) const;
        // Largest batch for points().
        static constexpr int kBatch = 128;
        // The points of steps first .. first + count - 1 (count <= kBatch),
        // columns into xs and rows into ys. All sincos calls of the batch
        // come first and the rest of the arithmetic after, which keeps the
        // processor busier than computing point by point.
        void points(int first, int count, int* xs, int* ys) const;

    private:
        friend class RoseFigure;
        const RoseFigure* figure_;
        double ring_angle_;   // a1
        double frame_angle_;  // a3
        double radius_;       // R
    };

    Ring ring(int frame_number, int ring) const;

private:
    double size_;
    double half_size_;
    double last_coordinate_;  // S - 0.5, see clamp_coordinate
    double root_m_;
    double twist_term_;      // twist_digit / 10 + 0.5
    double shrink_term_;     // shrink_digit / 10 + 0.5
    double reference_size_;
    int ring_count_;
    bool vector_;
    std::vector<double> spin_angle_;  // a2 = theta * (spin_digit + 1), per step
    std::vector<double> petal_sine_;  // sin(theta * w), per step
};

// Calls visit(j, point) for the steps first..last of a ring in order.
template <class Visit>
void for_each_point(const RoseFigure::Ring& ring, int first, int last, Visit&& visit) {
    constexpr int kBatch = RoseFigure::Ring::kBatch;
    alignas(32) int xs[kBatch], ys[kBatch];
    for (int start = first; start <= last; start += kBatch) {
        const int count = last - start + 1 < kBatch ? last - start + 1 : kBatch;
        ring.points(start, count, xs, ys);
        for (int i = 0; i < count; ++i) visit(start + i, Point{xs[i], ys[i]});
    }
}

// Paints one frame the compressed way into `grid` ((S+1) x (S+1), row-major,
// row 0 and column 0 unused): rings 0..K, steps 1..9420, calling
// `after_ring()` after every ring.
template <class AfterRing>
void draw_frame(const RoseFigure& figure, int frame_number, std::vector<std::uint8_t>& grid, AfterRing&& after_ring) {
    const int stride = static_cast<int>(figure.picture_size()) + 1;
    grid.assign(static_cast<std::size_t>(stride) * stride, 0);
    for (int k = 0; k <= figure.ring_count(); ++k) {
        const std::uint8_t colour = ring_colour(k);
        for_each_point(figure.ring(frame_number, k), 1, kCompressedRingSteps, [&](int, Point p) {
            grid[static_cast<std::size_t>(p.y) * stride + p.x] = colour;
        });
        after_ring();
    }
}

}  // namespace vz
