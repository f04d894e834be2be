// The tune as the page plays it: a composed table turned into a score of
// doubles that the page's synthesizer worker follows without knowing the
// table, the timer or the window's synthesizer settings.
//
// Score layout: [0] sample rate, [1] gain, [2] the frame where the tune ends,
// [3] the most frames of release after it, [4] frames per release block,
// [5] the sample magnitude at or under which a release block is silence,
// [6] n, then n pairs (frame, MIDI short message), in sending order.
#pragma once

#include <vector>

#include "music/tune_table.h"

namespace vz {

inline constexpr int kScoreHeader = 7;

std::vector<double> tune_score(const TuneTable& table);

}  // namespace vz
