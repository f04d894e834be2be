#include "pattern/pattern_parameters.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <random>

#include "pattern/bit_cast.h"

namespace vz {

namespace {

std::uint8_t next_clock_digit(double& clock_sample) {
    const double whole = std::floor(clock_sample);
    const double tens = std::floor(clock_sample / 10) * 10;
    clock_sample = clock_sample * 10;
    return static_cast<std::uint8_t>(whole - tens);
}

// Uniform in [0, 1) from the top 53 bits of one draw, so the value does not
// depend on the standard library's distribution implementation.
double uniform01(std::mt19937_64& generator) {
    return static_cast<double>(generator() >> 11) * 0x1.0p-53;
}

std::uint8_t power_from(double uniform) {
    return static_cast<std::uint8_t>(std::floor(uniform * 4));
}

}  // namespace

void randomize_pattern(PatternParameters& pattern, float clock_seconds) {
    double clock_sample = static_cast<double>(clock_seconds);
    pattern.twist_digit = next_clock_digit(clock_sample);
    pattern.petal_digit = next_clock_digit(clock_sample);
    pattern.shrink_digit = next_clock_digit(clock_sample);
    pattern.spin_digit = next_clock_digit(clock_sample);

    std::mt19937_64 generator(bit_cast<std::uint32_t>(clock_seconds));
    pattern.red_power = power_from(uniform01(generator));
    pattern.green_power = power_from(uniform01(generator));
    pattern.blue_power = power_from(uniform01(generator));
}

float seconds_since_local_midnight() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    const auto since_second = now - std::chrono::system_clock::from_time_t(t);
    const double fraction = std::chrono::duration<double>(since_second).count();
    const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + fraction;
    return static_cast<float>(seconds);
}

std::string format_pattern(const PatternParameters& p) {
    std::string text;
    for (int v : {p.twist_digit, p.petal_digit, p.shrink_digit, p.spin_digit}) text += char('0' + v);
    text += '-';
    for (int v : {p.red_power, p.green_power, p.blue_power}) text += char('0' + v);
    return text;
}

std::optional<PatternParameters> parse_pattern(std::string_view text) {
    if (text.size() != 8 || text[4] != '-') return std::nullopt;
    std::uint8_t v[7];
    for (int i = 0, n = 0; i < 8; ++i) {
        if (i == 4) continue;
        const char c = text[i];
        const char highest = i < 4 ? '9' : '3';
        if (c < '0' || c > highest) return std::nullopt;
        v[n++] = static_cast<std::uint8_t>(c - '0');
    }
    PatternParameters p;
    p.twist_digit = v[0];
    p.petal_digit = v[1];
    p.shrink_digit = v[2];
    p.spin_digit = v[3];
    p.red_power = v[4];
    p.green_power = v[5];
    p.blue_power = v[6];
    return p;
}

}  // namespace vz
