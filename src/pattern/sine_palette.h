// The 128-colour palette shared by all frames: black, then 127 colours
// sampled from one sine wave per channel at frequencies 2^power.
#pragma once

#include <array>
#include <cstdint>

#include "pattern/pattern_parameters.h"

namespace vz {

inline constexpr int kPaletteEntries = 128;
using Palette = std::array<std::uint8_t, kPaletteEntries * 3>;  // red, green, blue per entry

Palette sine_palette(const PatternParameters& pattern);

}  // namespace vz
