#include "pattern/sine_palette.h"

#include <gtest/gtest.h>

namespace vz {
namespace {

PatternParameters powers(int r, int g, int b) {
    PatternParameters p;
    p.red_power = r, p.green_power = g, p.blue_power = b;
    return p;
}

std::array<int, 3> entry(const Palette& palette, int i) {
    return {palette[3 * i], palette[3 * i + 1], palette[3 * i + 2]};
}

TEST(SinePalette, WorkedEntriesAtPowersZero) {
    const Palette p = sine_palette(powers(0, 0, 0));
    EXPECT_EQ(entry(p, 0), (std::array{0, 0, 0}));
    EXPECT_EQ(entry(p, 1), (std::array{128, 238, 18}));
    EXPECT_EQ(entry(p, 2), (std::array{134, 234, 15}));
    EXPECT_EQ(entry(p, 3), (std::array{140, 231, 12}));
    EXPECT_EQ(entry(p, 32), (std::array{254, 68, 60}));
    EXPECT_EQ(entry(p, 64), (std::array{131, 16, 236}));
    EXPECT_EQ(entry(p, 96), (std::array{1, 189, 193}));
    EXPECT_EQ(entry(p, 127), (std::array{121, 241, 21}));
}

TEST(SinePalette, WorkedEntriesAtPowersOneTwoThree) {
    const Palette p = sine_palette(powers(1, 2, 3));
    EXPECT_EQ(entry(p, 1), (std::array{128, 238, 239}));
    EXPECT_EQ(entry(p, 2), (std::array{140, 223, 206}));
    EXPECT_EQ(entry(p, 3), (std::array{152, 205, 162}));
    EXPECT_EQ(entry(p, 127), (std::array{114, 248, 254}));
}

TEST(SinePalette, AllCombinationsStayInsideOneTo254AndChannelsAreIndependent) {
    for (int r = 0; r < 4; ++r)
        for (int g = 0; g < 4; ++g)
            for (int b = 0; b < 4; ++b) {
                const Palette p = sine_palette(powers(r, g, b));
                EXPECT_EQ(entry(p, 0), (std::array{0, 0, 0}));
                EXPECT_EQ(p[3], 128);  // sin 0
                for (int i = 3; i < 384; ++i) {
                    EXPECT_GE(p[i], 1);
                    EXPECT_LE(p[i], 254);
                }
                const Palette other_red = sine_palette(powers((r + 1) % 4, g, b));
                for (int i = 1; i < 128; ++i) {
                    EXPECT_EQ(p[3 * i + 1], other_red[3 * i + 1]);
                    EXPECT_EQ(p[3 * i + 2], other_red[3 * i + 2]);
                }
            }
}

}  // namespace
}  // namespace vz
