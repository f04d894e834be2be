// The values of a `gif` run as texts, before they are checked: given on the
// batch tool's command line or in a link to the page, and checked by the
// same rules, with the same words for what is wrong.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "pattern/pattern_parameters.h"

namespace vz {

// An option's name and the name of its value, as the usage shows them.
struct GifOption {
    std::string_view name;
    std::string_view value_name;
};

namespace gif_option {
inline constexpr GifOption kOutput{"--output", "FILE"};
inline constexpr GifOption kFrames{"--frames", "N"};
inline constexpr GifOption kSize{"--size", "S"};
inline constexpr GifOption kPattern{"--pattern", "DDDD-PPP"};
inline constexpr GifOption kReference{"--reference", "M"};
inline constexpr std::string_view kUncompressed = "--uncompressed";
inline constexpr std::string_view kTransparent = "--transparent";
inline constexpr std::string_view kSmall = "--small";
}  // namespace gif_option

// The values as given; a value left out is empty.
struct GifArguments {
    std::string output;
    std::optional<std::string> frames;
    std::optional<std::string> size;
    std::optional<std::string> reference;
    std::optional<std::string> pattern;
    bool uncompressed = false;
    bool transparent = false;
    bool small = false;
};

// The values checked; 0 and empty for those left out.
struct GifValues {
    int frames = 0;
    int size = 0;
    int reference = 0;
    std::optional<PatternParameters> pattern;
    bool uncompressed = false;
    bool transparent = false;
    bool small = false;
};

// Checks the values given, in the order of the usage, and fills `values`;
// on the first bad one returns the line that explains it.
std::optional<std::string> check_gif_values(const GifArguments& arguments, GifValues& values);

}  // namespace vz
