#include "pattern/sine_palette.h"

#include <cmath>

namespace vz {

namespace {

std::uint8_t channel(int power, double offset, int i) {
    const double d = 127 / 6.28;  // 6.28 on purpose, not 2 pi: it sets the wave length
    const double argument = std::ldexp(1.0, power) * ((offset + i) / d);
    return static_cast<std::uint8_t>(std::floor(std::sin(argument) * 127) + 128);
}

}  // namespace

Palette sine_palette(const PatternParameters& pattern) {
    Palette palette{};  // entry 0 stays black
    const double third = 127.0 / 3;
    for (int i = 0; i < kPaletteEntries - 1; ++i) {
        std::uint8_t* entry = &palette[3 * (i + 1)];
        entry[0] = channel(pattern.red_power, 0, i);
        entry[1] = channel(pattern.green_power, third, i);
        entry[2] = channel(pattern.blue_power, third * 2, i);
    }
    return palette;
}

}  // namespace vz
