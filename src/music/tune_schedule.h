// A tune table as timed playback sends it: every message with the output
// frame of the tick that sends it, so that offline renderers (the WAV file,
// the page) sound each message where the window's timer would.
#pragma once

#include <cstdint>
#include <vector>

#include "music/tune_table.h"

namespace vz {

struct ScheduledMessage {
    long long frame = 0;
    std::uint32_t message = 0;

    bool operator==(const ScheduledMessage&) const = default;
};

struct TuneSchedule {
    std::vector<ScheduledMessage> messages;  // in sending order
    long long end_frame = 0;                 // the tick that finds the tune ended
};

TuneSchedule schedule_tune(const TuneTable& table);

}  // namespace vz
