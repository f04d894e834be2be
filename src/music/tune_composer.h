// The tune composer: writes the fixed 14-bar score into a tune table and
// orchestrates it by three instrument counters, which every composition from
// the settings store advances so that consecutive tunes sound different.
#pragma once

#include <cstdint>

#include "io/settings_store.h"
#include "music/tune_table.h"

namespace vz {

// Settings section and keys of the instrument counters.
inline constexpr const char* kCounterSection = "met";
inline constexpr const char* kSoloCounterKey = "sol";
inline constexpr const char* kBackgroundCounterKey = "fon";
inline constexpr const char* kBassCounterKey = "bas";

// The counter values a composition uses: solo, background chords, bass.
struct InstrumentCounters {
    unsigned sol = 0;
    unsigned fon = 0;
    unsigned bas = 0;

    bool operator==(const InstrumentCounters&) const = default;
};

// Programs are 0-based, as sent.
struct Orchestration {
    std::uint8_t solo_program = 0;
    std::uint8_t solo_velocity = 100;
    std::uint8_t background_program = 0;
    std::uint8_t background_velocity = 77;
    std::uint8_t bass_program = 0;
    std::uint8_t bass_velocity_low = 77;
    std::uint8_t bass_velocity_high = 73;
    std::uint8_t drum_velocity = 100;

    bool operator==(const Orchestration&) const = default;
};

struct ComposedTune {
    TuneTable table;
    Orchestration orchestration;
    InstrumentCounters counters;  // the values used by this composition
};

// Instruments and loudness chosen by the counters; a value above its cycle
// takes the row for any other value.
Orchestration orchestrate(const InstrumentCounters& counters);

// The counters the next composition uses: each steps by one and wraps to 0
// after its last row (sol after 9, fon after 10, bas after 6).
InstrumentCounters advance_counters(const InstrumentCounters& counters);

// Composes with the given counter values; touches no store.
ComposedTune compose_tune(const InstrumentCounters& counters);

// Reads `sol`, `fon` and `bas` of section `met` (default "0"), saving each
// advanced value right after reading it, and composes with the values read.
ComposedTune compose_tune(SettingsStore& store);

}  // namespace vz
