#include "run/progress_values.h"

#include "pattern/rose_figure.h"

namespace vz {

namespace {

// Int(v) of a progress fraction: truncation corrected for negatives equals
// floor for every value that fits an int, without a libm call per point.
int floor_int(double v) {
    const int truncated = static_cast<int>(v);
    return truncated - (v < truncated);
}

}  // namespace

ProgressValues row_progress(int frame, int frames, int size, int row) {
    const double S = size;
    const double done = ((frame - 1) * S + row) / (frames * S);
    return {floor_int(row / S * kStripBlocks), floor_int(done * kStripBlocks), floor_int(done * 100)};
}

ProgressValues block_progress(int frame, int frames, std::int64_t block, std::int64_t blocks) {
    const double l = static_cast<double>(blocks);
    const double run = (frame - 1.0) / frames + block / l / frames;
    return {floor_int(block / l * kStripBlocks), floor_int(run * kStripBlocks), 0};
}

ProgressValues step_progress(int frame, int frames, int ring, int step, int ring_count) {
    // F = (k * 6.28 * q + j) / ((K + 1) * 6.28 * q), the frame's fraction done.
    const double q = kStepsPerRadian;
    const double F = (ring * 6.28 * q + step) / ((ring_count + 1) * 6.28 * q);
    const double run = (F + frame - 1) / frames;
    return {floor_int(F * kStripBlocks), floor_int(run * kStripBlocks), floor_int(run * 100)};
}

}  // namespace vz
