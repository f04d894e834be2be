// MIDI short messages as 32-bit values: status in the low byte, then the
// first and the second data byte. Builders for the messages the tune uses
// and the decoding that the synthesizer side shares.
#pragma once

#include <cstdint>

namespace vz {

// Keeps a step non-empty without sounding anything (no status bit set).
inline constexpr std::uint32_t kFillerMessage = 1;

inline constexpr std::uint8_t kNoteOff = 0x80;
inline constexpr std::uint8_t kNoteOn = 0x90;
inline constexpr std::uint8_t kControlChange = 0xB0;
inline constexpr std::uint8_t kProgramChange = 0xC0;
inline constexpr std::uint8_t kAllNotesOffController = 123;

constexpr std::uint32_t short_message(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    return status + 256u * data1 + 65536u * data2;
}
constexpr std::uint32_t program_change(std::uint8_t channel, std::uint8_t program) {
    return short_message(static_cast<std::uint8_t>(kProgramChange + channel), program, 0);
}
constexpr std::uint32_t all_notes_off(std::uint8_t channel) {
    return short_message(static_cast<std::uint8_t>(kControlChange + channel), kAllNotesOffController, 0);
}
// Velocity 0 releases the note.
constexpr std::uint32_t note_on(std::uint8_t channel, std::uint8_t note, std::uint8_t velocity) {
    return short_message(static_cast<std::uint8_t>(kNoteOn + channel), note, velocity);
}

struct ShortMessage {
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;

    constexpr bool has_status() const { return (status & 0x80) != 0; }
    constexpr std::uint8_t kind() const { return status & 0xF0; }
    constexpr std::uint8_t channel() const { return status & 0x0F; }
};

constexpr ShortMessage decode_short_message(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>((value >> 8) & 0xFF),
            static_cast<std::uint8_t>((value >> 16) & 0xFF)};
}

}  // namespace vz
