// What a Start press turns the user's texts into: the validated frame count
// and size, or which of them was rejected and why.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vz {

// The leading decimal number of a text, blanks ignored anywhere; 0 when the
// text does not begin with a number ("2,9" gives 2, "abc" gives 0).
double leading_number(std::string_view text);

inline constexpr int kMinFrames = 1, kMaxFrames = 100;
inline constexpr int kMinSize = 10, kMaxSize = 1000;

enum class Rejection { None, TooManyFrames, TooFewFrames, TooLarge, TooSmall };

struct RunNumbers {
    int frame_count = 0;
    int picture_size = 0;
    Rejection rejection = Rejection::None;
    bool accepted() const { return rejection == Rejection::None; }
};

// Frame count from `count_text`, then size from `size_text`; the first
// failing test is the one reported.
RunNumbers validate_run_numbers(std::string_view count_text, std::string_view size_text);

// The name proposed for the n-th file: Kvel_<n>.GIF.
std::string file_name_for(std::int64_t number);

// A value of a run request that is outside its range.
enum class RequestValue { None, FrameCount, PictureSize, ReferenceSize, PatternDigit, PalettePower };

// What makes a run request impossible to run: which value, the value given
// (the largest, for the digits and powers), and the range it must lie in.
struct RequestProblem {
    RequestValue value = RequestValue::None;
    double given = 0;
    double low = 0;
    double high = 0;
    bool empty() const { return value == RequestValue::None; }
};

struct RunRequest;
// The first value that makes `request` impossible to run (frame count, size,
// reference size, digits, powers), or an empty problem when it can be run.
// The library's own guard: callers validate their users' input before this.
RequestProblem run_request_problem(const RunRequest& request);

}  // namespace vz
