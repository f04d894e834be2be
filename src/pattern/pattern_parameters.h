// The handful of small numbers that fix a whole picture: four digits taken
// from the clock shape the rose figure, three powers set the palette waves.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vz {

struct PatternParameters {
    std::uint8_t twist_digit = 0;   // rotation from ring to ring
    std::uint8_t petal_digit = 0;   // petal_frequency = petal_digit + 4
    std::uint8_t shrink_digit = 0;  // how fast the rings shrink
    std::uint8_t spin_digit = 0;    // angle multiplier spin_digit + 1
    std::uint8_t red_power = 0;     // palette frequency 2^power, 0..3
    std::uint8_t green_power = 0;
    std::uint8_t blue_power = 0;
    double reference_size = 0;      // picture size when the digits were drawn; 0 = none yet

    bool operator==(const PatternParameters&) const = default;
};

// Draws fresh digits and powers from a clock sample (seconds since local
// midnight, as a 32-bit float). The digits are the last digit of the whole
// seconds and the first three decimals; the powers come from a generator
// re-seeded from the same sample. `reference_size` is left untouched.
void randomize_pattern(PatternParameters& pattern, float clock_seconds);

// Seconds since local midnight with a fraction, as the platform clock gives it.
float seconds_since_local_midnight();

// "DDDD-PPP": twist, petal, shrink, spin digits, then red, green, blue powers.
std::string format_pattern(const PatternParameters& pattern);
// Parses "DDDD-PPP" (digits 0..9, powers 0..3); nullopt when malformed.
// The reference size of the result is 0.
std::optional<PatternParameters> parse_pattern(std::string_view text);

}  // namespace vz
