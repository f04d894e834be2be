#include "pattern/vector_rose_points.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>

#include "pattern/rose_figure.h"

namespace vz {
namespace {

double ulps_away(double v, int ulps) {
    for (; ulps > 0; --ulps) v = std::nextafter(v, 2.0);
    for (; ulps < 0; ++ulps) v = std::nextafter(v, -2.0);
    return v;
}

// Sines and cosines off by up to the 5 ulp the two libraries may differ by,
// at angles whose coordinates land on a pixel edge: the guard must still give
// the scalar path's pixels, and count the points it recomputed.
TEST(VectorDrawing, GuardKeepsScalarPixelsAtPixelEdges) {
    if (!vector_path_available()) GTEST_SKIP() << "no vector path on this processor or build";
    constexpr double pi = std::numbers::pi;
    // sin or cos of each angle is +-0.5: with R = +-2 and S/2 = 5, v lands on 4 or 6.
    const double angles[4] = {pi / 6, pi / 3, 5 * pi / 6, 2 * pi / 3};
    const double petal[4] = {1, 1, 1, 1};
    const std::uint64_t before = guard_firings();
    for (const double radius : {2.0, -2.0}) {
        const RoseBatch batch{angles, petal, 0.0, 0.0, radius, 5.0, 9.5};
        for (int off = -5; off <= 5; ++off) {
            double sines[4], cosines[4];
            int xs[4], ys[4];
            for (int i = 0; i < 4; ++i) {
                ::sincos(angles[i], &sines[i], &cosines[i]);
                sines[i] = ulps_away(sines[i], off);
                cosines[i] = ulps_away(cosines[i], -off);
            }
            guarded_coordinates(batch, 4, sines, cosines, xs, ys);
            for (int i = 0; i < 4; ++i) {
                double s, c;
                ::sincos(angles[i], &s, &c);
                EXPECT_EQ(xs[i], clamp_coordinate(radius * s * petal[i] + 5.0, 9.5)) << radius << " " << off << " " << i;
                EXPECT_EQ(ys[i], clamp_coordinate(radius * c * petal[i] + 5.0, 9.5)) << radius << " " << off << " " << i;
            }
        }
    }
    EXPECT_GE(guard_firings() - before, 2u * 11 * 4);
}

// The switch is read at each call, so a run started after a change follows it.
TEST(VectorDrawing, ScalarSwitchIsReadAtEachCall) {
    const DrawingPath available = vector_path_available() ? DrawingPath::Vector : DrawingPath::Scalar;
    const std::pair<const char*, DrawingPath> cases[] = {
        {nullptr, available}, {"", available}, {"0", available}, {"1", DrawingPath::Scalar}, {"yes", DrawingPath::Scalar}};
    for (const auto& [value, expected] : cases) {
        if (value) ::setenv("VZ_SCALAR_DRAWING", value, 1);
        else ::unsetenv("VZ_SCALAR_DRAWING");
        EXPECT_EQ(drawing_path_from_environment(), expected) << (value ? value : "unset");
    }
    ::unsetenv("VZ_SCALAR_DRAWING");
}

}  // namespace
}  // namespace vz
