// The tune counters: any three values, as texts in the settings store and
// as numbers. The composition must read each text as a counter 0..255, store
// the advanced one, be the same every time for the same values, and make a
// table whose every message is a valid MIDI short message (or the silent
// filler), played to its end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "memory_settings_store.h"
#include "music/tune_composer.h"
#include "music/tune_player.h"
#include "recording_midi_output.h"

namespace {

// Status byte with its high bit, data bytes without, nothing above them; or
// the filler value 1 of the silent closing steps.
bool valid_short_message(std::uint32_t message) {
    if (message == 1) return true;
    const std::uint32_t status = message & 0xFF, first = (message >> 8) & 0xFF, second = (message >> 16) & 0xFF;
    return status >= 0x80 && status < 0xF0 && first < 0x80 && second < 0x80 && (message >> 24) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // First 12 bytes: three raw counters; the rest: three texts split by NUL.
    vz::InstrumentCounters raw;
    unsigned values[3] = {};
    std::memcpy(values, data, std::min<std::size_t>(size, sizeof values));
    raw = {values[0], values[1], values[2]};
    const vz::ComposedTune direct = vz::compose_tune(raw);
    if (!(direct.table == vz::compose_tune(raw).table) || !(direct.orchestration == vz::orchestrate(raw))) std::abort();

    std::string texts[3];
    int which = 0;
    for (std::size_t i = sizeof values; i < size && which < 3; ++i) {
        if (data[i] == 0) {
            ++which;
        } else {
            texts[which] += static_cast<char>(data[i]);
        }
    }
    vz::MemorySettingsStore store;
    const char* keys[] = {vz::kSoloCounterKey, vz::kBackgroundCounterKey, vz::kBassCounterKey};
    for (int i = 0; i < 3; ++i) store.values[vz::kCounterSection][keys[i]] = texts[i];
    const vz::ComposedTune tune = vz::compose_tune(store);
    const unsigned used[] = {tune.counters.sol, tune.counters.fon, tune.counters.bas};
    const vz::InstrumentCounters next = vz::advance_counters(tune.counters);
    const unsigned stored[] = {next.sol, next.fon, next.bas};
    for (int i = 0; i < 3; ++i) {
        if (used[i] > 255 || store.values[vz::kCounterSection][keys[i]] != std::to_string(stored[i])) std::abort();
    }
    if (!(tune.table == vz::compose_tune(tune.counters).table)) std::abort();

    vz::RecordingMidiOutput output;
    vz::TunePlayer player(output, tune.table);
    player.open_midi_output();
    int ticks = 0;
    while (player.tick()) {
        if (++ticks > vz::kTuneSteps + 1) std::abort();  // the tune must end
    }
    for (std::uint32_t message : output.sent) {
        if (!valid_short_message(message)) std::abort();
    }
    return 0;
}
