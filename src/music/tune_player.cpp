#include "music/tune_player.h"

namespace vz {

void TunePlayer::open_midi_output() {
    close();
    tune_step_ = 1;
    tune_slot_ = 1;
    device_open_ = output_.open();
}

bool TunePlayer::tick() {
    // The table's last step ends the tune even when it is full.
    if (tune_step_ < 1 || tune_step_ > kTuneSteps || table_.at(tune_step_, 1) == 0) {
        close();
        return false;
    }
    while (tune_slot_ <= kTuneSlots && table_.at(tune_step_, tune_slot_) != 0) {
        if (device_open_) output_.send(table_.at(tune_step_, tune_slot_));
        ++tune_slot_;
    }
    ++tune_step_;
    tune_slot_ = 1;
    return true;
}

void TunePlayer::close() {
    if (!device_open_) return;
    device_open_ = false;
    output_.close();
}

}  // namespace vz
