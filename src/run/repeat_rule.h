// Which pattern a press of Start draws with: a new one from the clock, or
// the previous picture again when the repeat box is checked.
#pragma once

#include "pattern/pattern_parameters.h"

namespace vz {

// Every press, Start or Stop, begins here: unless the repeat box is checked,
// a new pattern is drawn from the clock. Returns whether one was drawn.
bool renew_unless_repeating(PatternParameters& pattern, bool repeat_checked, float clock_seconds);

// An accepted Start. A repeat needs a previous picture (a reference size);
// before the first there is none, and a new pattern is drawn as if the box
// were unchecked. A new picture takes the run's size as its reference size.
// Returns whether the previous picture is repeated.
bool settle_run_pattern(PatternParameters& pattern, bool repeat_checked, int picture_size, float clock_seconds);

}  // namespace vz
