// Timed playback of a tune table: each tick of the window's 155 ms timer
// sends the messages of one step to the MIDI output, until a step with an
// empty first slot ends the tune and closes the device.
#pragma once

#include <cstdint>

#include "music/midi_output.h"
#include "music/tune_table.h"

namespace vz {

// Period of the playback timer (Timer3).
inline constexpr int kTickMilliseconds = 155;

class TunePlayer {
public:
    // Both must outlive the player; the table is read at every tick, so a
    // tune composed into it before `open_midi_output` is the one played.
    TunePlayer(MidiOutput& output, const TuneTable& table) : output_(output), table_(table) {}
    ~TunePlayer() { close(); }
    TunePlayer(const TunePlayer&) = delete;
    TunePlayer& operator=(const TunePlayer&) = delete;

    // Rewinds to step 1 and opens the device afresh (closing one still open).
    // A device that fails to open is remembered: the tune then runs its
    // ticks silently.
    void open_midi_output();

    // One timer tick: sends the current step and moves to the next one.
    // Returns false when the tune has ended (the device is closed then and
    // the timer should stop).
    bool tick();

    // Closes the device at once, wherever the tune stands; nothing is sent
    // afterwards. Does nothing when no device is open.
    void close();

    std::uint8_t tune_step() const { return tune_step_; }
    std::uint8_t tune_slot() const { return tune_slot_; }
    bool device_open() const { return device_open_; }

private:
    MidiOutput& output_;
    const TuneTable& table_;
    std::uint8_t tune_step_ = 0;
    std::uint8_t tune_slot_ = 0;
    bool device_open_ = false;
};

}  // namespace vz
