#include "run/frame_schedule.h"

#include <algorithm>

namespace vz {

Parallelism parallelism_for(int frame_count, int requested, int processors) {
    // Long before this many, the one thread that takes the check points and
    // writes the file is the limit; further workers would only cost memory.
    constexpr int kMaxWorkers = 32;
    const int wanted = requested > 0 ? requested : std::min(processors, kMaxWorkers);
    const int workers = std::max(1, std::min(wanted, frame_count));
    return {workers, workers + 2};
}

}  // namespace vz
