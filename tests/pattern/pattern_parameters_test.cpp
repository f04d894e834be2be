#include "pattern/pattern_parameters.h"

#include <gtest/gtest.h>

namespace vz {
namespace {

PatternParameters drawn_at(float seconds) {
    PatternParameters p;
    randomize_pattern(p, seconds);
    return p;
}

TEST(RandomizePattern, DigitsComeFromTheClockSample) {
    const PatternParameters p = drawn_at(45296.37109375f);
    EXPECT_EQ(p.twist_digit, 6);
    EXPECT_EQ(p.petal_digit, 3);
    EXPECT_EQ(p.shrink_digit, 7);
    EXPECT_EQ(p.spin_digit, 1);

    const PatternParameters midnight = drawn_at(0.0f);
    EXPECT_EQ(midnight.twist_digit + midnight.petal_digit + midnight.shrink_digit + midnight.spin_digit, 0);
}

TEST(RandomizePattern, SameTickGivesSamePatternAndKeepsReferenceSize) {
    PatternParameters a, b;
    a.reference_size = 323;
    randomize_pattern(a, 1234.5f);
    randomize_pattern(b, 1234.5f);
    b.reference_size = 323;
    EXPECT_EQ(a, b);
}

TEST(RandomizePattern, EveryValueInRangeOverADayAndAllPowersOccur) {
    int seen[3][4] = {};
    for (float t = 0; t < 86400; t += 7.123f) {
        const PatternParameters p = drawn_at(t);
        for (int d : {p.twist_digit, p.petal_digit, p.shrink_digit, p.spin_digit}) ASSERT_LE(d, 9);
        const int powers[3] = {p.red_power, p.green_power, p.blue_power};
        for (int c = 0; c < 3; ++c) {
            ASSERT_LE(powers[c], 3);
            ++seen[c][powers[c]];
        }
    }
    for (auto& channel : seen)
        for (int count : channel) EXPECT_GT(count, 2000);  // about 3000 each when uniform
}

TEST(PatternText, RoundTripsAndRejectsMalformed) {
    PatternParameters p;
    p.twist_digit = 5, p.petal_digit = 3, p.shrink_digit = 7, p.spin_digit = 2;
    p.red_power = 1, p.green_power = 2, p.blue_power = 3;
    EXPECT_EQ(format_pattern(p), "5372-123");
    EXPECT_EQ(parse_pattern("5372-123"), p);
    for (const char* bad : {"", "5372123", "5372-124", "537-1234", "a372-123", "5372-12", "5372-1234", "5372_123"})
        EXPECT_FALSE(parse_pattern(bad)) << bad;
}

}  // namespace
}  // namespace vz
