// A coordinate of the rose figure turned into its pixel column or row: what
// both drawing paths (scalar and vector) end each point with.
#pragma once

namespace vz {

// floor(v) + 1, clamped into 1..size, as a clamp of v into [0, size - 0.5]
// and a truncation: below 0 gives 1, at size - 1 or above gives size, and in
// between truncation is floor. `last` is size - 0.5. Written so that it
// vectorises, and so that even a NaN lands inside the picture.
inline int clamp_coordinate(double v, double last) {
    v = v > 0.0 ? v : 0.0;
    v = v < last ? v : last;
    return static_cast<int>(v) + 1;
}

}  // namespace vz
