#include "pattern/rose_figure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace vz {
namespace {

PatternParameters pattern(int twist, int petal, int shrink, int spin, double reference) {
    PatternParameters p;
    p.twist_digit = twist, p.petal_digit = petal, p.shrink_digit = shrink, p.spin_digit = spin;
    p.reference_size = reference;
    return p;
}

TEST(PlotPoint, WorkedPoints) {
    const PatternParameters zeros = pattern(0, 0, 0, 0, 100);
    EXPECT_EQ(plot_point(zeros, 100, 0, 1, 1), (Point{51, 51}));
    EXPECT_EQ(plot_point(zeros, 100, 0, 589, 1), (Point{71, 96}));
    EXPECT_EQ(plot_point(zeros, 100, 1, 589, 1), (Point{72, 95}));
    EXPECT_EQ(plot_point(pattern(5, 3, 7, 2, 100), 100, 10, 1000, 4), (Point{40, 70}));
}

TEST(PlotPoint, StepZeroIsTheCentreAndPointsStayInside) {
    for (int S : {10, 11, 128, 1000}) {
        const PatternParameters p = pattern(9, 9, 9, 9, S);
        EXPECT_EQ(plot_point(p, S, 3, 0, 1), (Point{S / 2 + 1, S / 2 + 1}));
        // Late frames push inner rings far outside: they are clamped onto the border.
        for (int k = 0; k <= ring_count(S); ++k) {
            const Point q = plot_point(p, S, k, 4000 + k, 100);
            EXPECT_TRUE(q.x >= 1 && q.x <= S && q.y >= 1 && q.y <= S);
        }
    }
}

TEST(RingCount, ByReferenceSize) {
    EXPECT_EQ(ring_count(10), 5);
    EXPECT_EQ(ring_count(100), 17);
    EXPECT_EQ(ring_count(128), 19);
    EXPECT_EQ(ring_count(323), 31);
    EXPECT_EQ(ring_count(1000), 55);
    EXPECT_EQ(ring_colour(43), 1);
    EXPECT_EQ(ring_colour(44), 4);
}

// The cached figure must agree with the literal formula on every bit that
// reaches a pixel, over all digits, sizes, frames, rings and steps.
TEST(RoseFigure, MatchesPlotPointExactly) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 400; ++trial) {
        const int S = 10 + static_cast<int>(random() % 991);
        const int M = 10 + static_cast<int>(random() % 991);
        const PatternParameters p =
            pattern(random() % 10, random() % 10, random() % 10, random() % 10, M);
        const RoseFigure figure(p, S);
        const int frame = 1 + static_cast<int>(random() % 100);
        for (int k = 0; k <= figure.ring_count(); ++k) {
            const RoseFigure::Ring ring = figure.ring(frame, k);
            for (int n = 0; n < 40; ++n) {
                const int j = static_cast<int>(random() % 9430);
                ASSERT_EQ(ring.point(j), plot_point(p, S, k, j, frame))
                    << "S=" << S << " M=" << M << " f=" << frame << " k=" << k << " j=" << j;
            }
        }
    }
}

// The batched drawing, scalar and vector (all sincos calls of a batch first,
// the clamp as a truncation), against the literal formula: every step of
// every ring of whole frames at the extremes, and stretches across batch
// boundaries over random digits, sizes, reference sizes (whole and
// fractional), frames and rings.
class BatchedPoints : public ::testing::TestWithParam<DrawingPath> {};

TEST_P(BatchedPoints, MatchPlotPointOnEveryStep) {
    if (GetParam() == DrawingPath::Vector && !vector_path_available()) GTEST_SKIP() << "no vector path here";
    auto check_steps = [](const PatternParameters& p, int S, int frame, int k, int first, int last) {
        const RoseFigure figure(p, S, GetParam());
        int expected_step = first;
        bool same = true;
        for_each_point(figure.ring(frame, k), first, last, [&](int j, Point point) {
            same = same && j == expected_step++ && point == plot_point(p, S, k, j, frame);
        });
        return same && expected_step == last + 1;
    };
    struct Whole {
        int S;
        double M;
        int frame;
    };
    // Whole frames: smallest and largest pictures, first and last frames, a
    // reference size far from the size (rings run outside and get clamped).
    for (const Whole w : {Whole{10, 10, 1}, Whole{10, 10, 100}, Whole{1000, 1000, 1}, Whole{1000, 1000, 100},
                          Whole{128, 1000, 57}, Whole{999, 10, 3}, Whole{11, 37.5, 100}}) {
        const PatternParameters p = pattern(w.frame % 10, (w.frame + 3) % 10, 9, w.S % 10, w.M);
        for (int k = 0; k <= ring_count(w.M); ++k)
            ASSERT_TRUE(check_steps(p, w.S, w.frame, k, 0, 9429)) << "S=" << w.S << " M=" << w.M << " k=" << k;
    }
    std::mt19937 random(11);
    for (int trial = 0; trial < 300; ++trial) {
        const int S = 10 + static_cast<int>(random() % 991);
        const double M = 10 + static_cast<int>(random() % 991) + (trial % 3 == 0 ? (random() % 1000) / 1000.0 : 0.0);
        const PatternParameters p = pattern(random() % 10, random() % 10, random() % 10, random() % 10, M);
        const int frame = 1 + static_cast<int>(random() % 100);
        const int k = static_cast<int>(random() % (ring_count(M) + 1));
        const int first = static_cast<int>(random() % 9000);
        const int last = std::min(9429, first + static_cast<int>(random() % 700));
        ASSERT_TRUE(check_steps(p, S, frame, k, first, last))
            << "S=" << S << " M=" << M << " f=" << frame << " k=" << k << " j=" << first << ".." << last;
    }
}
INSTANTIATE_TEST_SUITE_P(Paths, BatchedPoints, ::testing::Values(DrawingPath::Scalar, DrawingPath::Vector));

TEST(DrawFrame, TenByTenFrameOfAllZeroDigits) {
    const std::uint8_t expected[10][10] = {
        {0, 0, 0, 0, 3, 3, 0, 0, 0, 0},         {0, 3, 3, 0, 9, 6, 0, 6, 3, 0},
        {0, 6, 9, 9, 15, 15, 15, 9, 3, 0},      {0, 0, 15, 15, 15, 15, 15, 9, 0, 0},
        {3, 6, 15, 15, 15, 15, 15, 15, 9, 3},   {3, 9, 15, 15, 15, 15, 15, 15, 6, 3},
        {0, 0, 9, 15, 15, 15, 15, 15, 0, 0},    {0, 3, 9, 15, 15, 15, 9, 9, 6, 0},
        {0, 3, 6, 0, 6, 9, 0, 3, 3, 0},         {0, 0, 0, 0, 3, 3, 0, 0, 0, 0}};
    const RoseFigure figure(pattern(0, 0, 0, 0, 10), 10);
    std::vector<std::uint8_t> grid;
    int rings = 0;
    draw_frame(figure, 1, grid, [&] { ++rings; });
    EXPECT_EQ(rings, 6);
    for (int y = 1; y <= 10; ++y)
        for (int x = 1; x <= 10; ++x) EXPECT_EQ(grid[y * 11 + x], expected[y - 1][x - 1]) << x << "," << y;
}

}  // namespace
}  // namespace vz
