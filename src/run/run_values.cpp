#include "run/run_values.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "run/generation_run.h"

namespace vz {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double leading_number(std::string_view text) {
    // Collect sign, digits, one decimal point and an exponent, skipping blanks.
    std::string number;
    std::size_t i = 0;
    auto skip_blanks = [&] {
        while (i < text.size() && is_blank(text[i])) ++i;
    };
    auto take_digits = [&] {
        bool any = false;
        for (skip_blanks(); i < text.size() && is_digit(text[i]); skip_blanks()) {
            number += text[i++];
            any = true;
        }
        return any;
    };
    skip_blanks();
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) number += text[i++];
    bool digits = take_digits();
    if (i < text.size() && text[i] == '.') {
        number += text[i++];
        digits = take_digits() || digits;
    }
    if (!digits) return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        const std::size_t mark = i;
        const std::size_t kept = number.size();
        number += 'e';
        ++i;
        skip_blanks();
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) number += text[i++];
        if (!take_digits()) {  // a bare "e" ends the number
            i = mark;
            number.resize(kept);
        }
    }
    return std::strtod(number.c_str(), nullptr);
}

RunNumbers validate_run_numbers(std::string_view count_text, std::string_view size_text) {
    RunNumbers result;
    // Compared as doubles so that huge texts cannot overflow an integer.
    const double frames = std::floor(leading_number(count_text));
    if (frames > kMaxFrames) {
        result.rejection = Rejection::TooManyFrames;
        return result;
    }
    if (!(frames >= kMinFrames)) {
        result.rejection = Rejection::TooFewFrames;
        return result;
    }
    const double size = std::floor(leading_number(size_text));
    if (size > kMaxSize) {
        result.rejection = Rejection::TooLarge;
        return result;
    }
    if (!(size >= kMinSize)) {
        result.rejection = Rejection::TooSmall;
        return result;
    }
    result.frame_count = static_cast<int>(frames);
    result.picture_size = static_cast<int>(size);
    return result;
}

std::string file_name_for(std::int64_t number) { return "Kvel_" + std::to_string(number) + ".GIF"; }

RequestProblem run_request_problem(const RunRequest& request) {
    const PatternParameters& p = request.pattern;
    const RequestProblem limits[] = {
        {RequestValue::FrameCount, static_cast<double>(request.frame_count), kMinFrames, kMaxFrames},
        {RequestValue::PictureSize, static_cast<double>(request.picture_size), kMinSize, kMaxSize},
        {RequestValue::ReferenceSize, p.reference_size, kMinSize, kMaxSize},
        {RequestValue::PatternDigit,
         static_cast<double>(std::max({p.twist_digit, p.petal_digit, p.shrink_digit, p.spin_digit})), 0, 9},
        {RequestValue::PalettePower, static_cast<double>(std::max({p.red_power, p.green_power, p.blue_power})), 0, 3},
    };
    for (const RequestProblem& limit : limits)
        if (!(limit.given >= limit.low && limit.given <= limit.high)) return limit;  // NaN is outside too
    return {};
}

}  // namespace vz
