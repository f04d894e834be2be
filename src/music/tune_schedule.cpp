#include "music/tune_schedule.h"

#include "music/synth_settings.h"
#include "music/tune_player.h"

namespace vz {
namespace {

// Takes down what the player sends, at the frame of the tick in progress.
class Recorder final : public MidiOutput {
public:
    explicit Recorder(TuneSchedule& schedule) : schedule_(schedule) {}
    bool open() override { return true; }
    void send(std::uint32_t message) override { schedule_.messages.push_back({frame, message}); }
    void close() override {}

    long long frame = 0;

private:
    TuneSchedule& schedule_;
};

}  // namespace

TuneSchedule schedule_tune(const TuneTable& table) {
    TuneSchedule schedule;
    Recorder recorder(schedule);
    TunePlayer player(recorder, table);
    player.open_midi_output();
    for (long long tick = 1;; ++tick) {
        recorder.frame = tick_frame(tick);
        if (!player.tick()) break;
    }
    schedule.end_frame = recorder.frame;
    return schedule;
}

}  // namespace vz
