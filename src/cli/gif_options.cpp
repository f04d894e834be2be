#include "cli/gif_options.h"

#include <charconv>

#include "run/run_values.h"

namespace vz {

namespace {

// `option` given as `text`: a whole number low..high, or the line that says why not.
std::optional<std::string> whole_number(const GifOption& option, const std::string& text, int low, int high,
                                        int& value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc() && end == text.data() + text.size() && value >= low && value <= high) return std::nullopt;
    return std::string(option.name) + ": expected a whole number " + std::to_string(low) + ".." +
           std::to_string(high) + ", got '" + text + "'";
}

}  // namespace

std::optional<std::string> check_gif_values(const GifArguments& arguments, GifValues& values) {
    if (arguments.frames) {
        if (auto problem = whole_number(gif_option::kFrames, *arguments.frames, kMinFrames, kMaxFrames, values.frames))
            return problem;
    }
    if (arguments.size) {
        if (auto problem = whole_number(gif_option::kSize, *arguments.size, kMinSize, kMaxSize, values.size))
            return problem;
    }
    if (arguments.reference) {
        if (auto problem = whole_number(gif_option::kReference, *arguments.reference, kMinSize, kMaxSize,
                                        values.reference))
            return problem;
    }
    if (arguments.pattern) {
        values.pattern = parse_pattern(*arguments.pattern);
        if (!values.pattern)
            return std::string(gif_option::kPattern.name) + ": expected " +
                   std::string(gif_option::kPattern.value_name) + " (digits 0-9, powers 0-3), got '" +
                   *arguments.pattern + "'";
    }
    values.uncompressed = arguments.uncompressed;
    values.transparent = arguments.transparent;
    values.small = arguments.small;
    return std::nullopt;
}

}  // namespace vz
