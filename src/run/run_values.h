// What a Start press turns the user's texts into: the validated frame count
// and size, the messages for rejected values, and the texts of the progress
// labels.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vz {

// The leading decimal number of a text, blanks ignored anywhere; 0 when the
// text does not begin with a number ("2,9" gives 2, "abc" gives 0).
double leading_number(std::string_view text);

inline constexpr int kMinFrames = 1, kMaxFrames = 100;
inline constexpr int kMinSize = 10, kMaxSize = 1000;

inline constexpr std::string_view kValidationTitle = "Ошибочка";
inline constexpr std::string_view kTooManyFrames = "Количество картинок не должно превышать 100.";
inline constexpr std::string_view kTooFewFrames = "Количество картинок должно быть не меньше, чем одна.";
inline constexpr std::string_view kTooLarge = "Ширина и высота картинок не должны привышать 1000 пикселей.";
inline constexpr std::string_view kTooSmall = "Ширина и высота картинок должны быть не меньше, чем 10 пикселей.";

struct RunNumbers {
    int frame_count = 0;
    int picture_size = 0;
    std::string_view rejection;  // empty when both numbers are accepted
    bool accepted() const { return rejection.empty(); }
};

// Frame count from `count_text`, then size from `size_text`; the first
// failing test is the one reported.
RunNumbers validate_run_numbers(std::string_view count_text, std::string_view size_text);

struct RunRequest;
// What makes `request` impossible to run (frame count, size, reference size,
// digits or powers out of range), or empty when it can be run. The library's
// own guard: callers validate their users' input before this.
std::string run_request_problem(const RunRequest& request);

// Label texts while a run is active.
std::string percent_text(int percent);   // "42 %  готово"
std::string frame_text(int frame);       // "Создаётся картинка  №  3"
inline constexpr std::string_view kBackgroundText = "Рисуется фон";

}  // namespace vz
