#include "run/repeat_rule.h"

namespace vz {

bool renew_unless_repeating(PatternParameters& pattern, bool repeat_checked, float clock_seconds) {
    if (repeat_checked) return false;
    randomize_pattern(pattern, clock_seconds);
    return true;
}

bool settle_run_pattern(PatternParameters& pattern, bool repeat_checked, int picture_size, float clock_seconds) {
    const bool repeat = repeat_checked && pattern.reference_size > 0;
    if (repeat_checked && !repeat) randomize_pattern(pattern, clock_seconds);
    if (!repeat) pattern.reference_size = picture_size;
    return repeat;
}

}  // namespace vz
