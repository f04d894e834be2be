// The tune as the player reads it: steps 1..200, each a row of up to 20
// ready-made MIDI short messages sent in slot order; 0 marks an empty cell.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace vz {

inline constexpr int kTuneSteps = 200;
inline constexpr int kTuneSlots = 20;

class TuneTable {
public:
    // 1-based cell access; throws std::out_of_range outside the table.
    std::uint32_t at(int step, int slot) const { return cells_[index(step, slot)]; }
    std::uint32_t& at(int step, int slot) { return cells_[index(step, slot)]; }

    void clear() { cells_.fill(0); }

    // The messages of a step: its cells from slot 1 up to the first empty one.
    std::vector<std::uint32_t> messages(int step) const {
        std::vector<std::uint32_t> result;
        for (int slot = 1; slot <= kTuneSlots && at(step, slot) != 0; ++slot) result.push_back(at(step, slot));
        return result;
    }

    bool operator==(const TuneTable&) const = default;

private:
    static std::size_t index(int step, int slot) {
        if (step < 1 || step > kTuneSteps || slot < 1 || slot > kTuneSlots) {
            throw std::out_of_range("tune table cell out of range");
        }
        return static_cast<std::size_t>(step - 1) * kTuneSlots + static_cast<std::size_t>(slot - 1);
    }

    std::array<std::uint32_t, static_cast<std::size_t>(kTuneSteps) * kTuneSlots> cells_{};
};

}  // namespace vz
