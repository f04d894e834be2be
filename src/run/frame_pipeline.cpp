#include "run/frame_pipeline.h"

#include <sched.h>

namespace vz {

int processors_available() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        const int count = CPU_COUNT(&set);
        if (count > 0) return count;
    }
    // More processors than a cpu_set_t holds, or no answer: what the system has.
    const unsigned all = std::thread::hardware_concurrency();
    return all > 0 ? static_cast<int>(all) : 1;
}

}  // namespace vz
