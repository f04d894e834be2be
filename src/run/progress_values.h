// What a run shows of its progress at each step: the frame's strip and the
// run's strip, in blocks of 32, and the percentage of the run done. The
// window, the batch tool and the page all show these same values.
#pragma once

#include <cstdint>

namespace vz {

inline constexpr int kStripBlocks = 32;

struct ProgressValues {
    int frame_blocks = 0;
    int total_blocks = 0;
    int percent = 0;

    bool operator==(const ProgressValues&) const = default;
};

// Compressed mode, at the start of row `row` (1..S) of frame `frame` (1..N).
ProgressValues row_progress(int frame, int frames, int size, int row);

// The uncompressed mode's background pass, at block `block` of the `blocks`
// full blocks of frame `frame`. It shows the strips only: its percentage
// is left as it was.
ProgressValues block_progress(int frame, int frames, std::int64_t block, std::int64_t blocks);

// The uncompressed mode's painting pass, before step `step` of ring `ring`
// (0..ring_count) of frame `frame`.
ProgressValues step_progress(int frame, int frames, int ring, int step, int ring_count);

}  // namespace vz
