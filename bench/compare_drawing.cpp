// Draws whole rings of random patterns, picture sizes, reference sizes,
// frames and rings with the vector path (for_each_point) and point by point
// with the scalar path (Ring::point), and counts the pixels that differ.
// Not a test: run it by hand after touching the drawing or its vector path.
//
//   compare_drawing [POINTS]   (default 100000000)
//
// Exits with 1 on any difference, 2 when the vector path is off.
#include <cstdio>
#include <cstdlib>
#include <random>

#include "pattern/vector_rose_points.h"
#include "pattern/rose_figure.h"

int main(int argc, char** argv) {
    const long long wanted = argc > 1 ? std::atoll(argv[1]) : 100'000'000LL;
    if (vz::drawing_path_from_environment() != vz::DrawingPath::Vector) {
        std::fprintf(stderr, "compare_drawing: the vector path is off (no AVX2, or VZ_SCALAR_DRAWING is set)\n");
        return 2;
    }
    std::mt19937_64 random(20261207);
    long long points = 0, differences = 0, rings = 0;
    const std::uint64_t firings = vz::guard_firings();
    while (points < wanted) {
        vz::PatternParameters p;
        p.twist_digit = static_cast<int>(random() % 10), p.petal_digit = static_cast<int>(random() % 10);
        p.shrink_digit = static_cast<int>(random() % 10), p.spin_digit = static_cast<int>(random() % 10);
        p.reference_size = 10 + static_cast<double>(random() % 991) + (random() % 4 == 0 ? (random() % 1000) / 1000.0 : 0);
        const int size = 10 + static_cast<int>(random() % 991);
        const vz::RoseFigure figure(p, size, vz::DrawingPath::Vector);
        const int frame = 1 + static_cast<int>(random() % 100);
        // A few rings of each figure, every step 0..9429 of each.
        for (int n = 0; n < 8; ++n, ++rings) {
            const int k = static_cast<int>(random() % (figure.ring_count() + 1));
            const vz::RoseFigure::Ring ring = figure.ring(frame, k);
            vz::for_each_point(ring, 0, vz::kSweepsPerRing * vz::kSweepStride - 1, [&](int j, vz::Point fast) {
                const vz::Point scalar = ring.point(j);
                if (fast != scalar && ++differences <= 10)
                    std::printf("differs: S=%d M=%.3f f=%d k=%d j=%d fast %d,%d scalar %d,%d\n", size,
                                p.reference_size, frame, k, j, fast.x, fast.y, scalar.x, scalar.y);
                ++points;
            });
        }
    }
    const auto fired = vz::guard_firings() - firings;
    std::printf("%lld points in %lld rings, %lld differences, guard fired on %llu points (%.3g per point)\n", points,
                rings, differences, static_cast<unsigned long long>(fired), static_cast<double>(fired) / points);
    return differences == 0 ? 0 : 1;
}
