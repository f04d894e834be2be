// The page's entries for the tune: a table composed from explicit counter
// values, and its score (see tune_calls.h).
#include "web/tune_calls.h"

#include <emscripten/emscripten.h>

#include <cstdint>

#include "music/synth_settings.h"
#include "music/tune_composer.h"
#include "music/tune_schedule.h"

namespace vz {

std::vector<double> tune_score(const TuneTable& table) {
    const TuneSchedule schedule = schedule_tune(table);
    std::vector<double> score{kSynthSampleRate,
                              kSynthGain,
                              static_cast<double>(schedule.end_frame),
                              kMaxReleaseMilliseconds * kSynthSampleRate / 1000.0,
                              static_cast<double>(kReleaseBlockFrames),
                              kSilenceLevel / 32767.0,
                              static_cast<double>(schedule.messages.size())};
    for (const ScheduledMessage& m : schedule.messages) {
        score.push_back(static_cast<double>(m.frame));
        score.push_back(m.message);
    }
    return score;
}

}  // namespace vz

namespace {

vz::TuneTable table;                 // composed by vz_tune_table
std::vector<std::uint32_t> cells;   // the same, step by step
std::vector<double> score;

bool counter(int value) { return value >= 0 && value <= 255; }

}  // namespace

extern "C" {

// The table composed with these counters, steps 1..200 of 20 slots each, or
// null when a counter is outside 0..255.
EMSCRIPTEN_KEEPALIVE const std::uint32_t* vz_tune_table(int sol, int fon, int bas) {
    if (!counter(sol) || !counter(fon) || !counter(bas)) return nullptr;
    const vz::ComposedTune tune = vz::compose_tune(vz::InstrumentCounters{static_cast<unsigned>(sol),
                                                                         static_cast<unsigned>(fon),
                                                                         static_cast<unsigned>(bas)});
    table = tune.table;
    cells.clear();
    for (int step = 1; step <= vz::kTuneSteps; ++step) {
        for (int slot = 1; slot <= vz::kTuneSlots; ++slot) cells.push_back(table.at(step, slot));
    }
    return cells.data();
}

EMSCRIPTEN_KEEPALIVE int vz_tune_cells() { return vz::kTuneSteps * vz::kTuneSlots; }

// The score of the table vz_tune_table made last.
EMSCRIPTEN_KEEPALIVE const double* vz_tune_score() {
    if (cells.empty()) return nullptr;
    score = vz::tune_score(table);
    return score.data();
}
EMSCRIPTEN_KEEPALIVE int vz_tune_score_length() { return static_cast<int>(score.size()); }

}  // extern "C"
