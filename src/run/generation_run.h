// One generation run: writes one new animated GIF from a pattern, in the
// compressed mode (each frame drawn into a grid, then LZW-encoded) or the
// uncompressed one (a black file first, then every point painted in place).
// The window and the batch tool both call this, so they write the same bytes.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <system_error>

#include "io/output_file.h"
#include "pattern/pattern_parameters.h"
#include "run/run_observer.h"
#include "run/run_values.h"

namespace vz {

struct RunRequest {
    PatternParameters pattern;  // reference_size must be positive
    int frame_count = 0;        // 1..100
    int picture_size = 0;       // 10..1000
    bool compressed = true;
    bool transparent = false;   // compressed mode only: palette entry 0 transparent
    // The smaller layout: the same canvases frame by frame in fewer bytes,
    // the pictures of either mode LZW-compressed.
    bool small = false;
    std::filesystem::path output_path;
    // Threads that draw (and encode) frames ahead of the writing; 0 = one per
    // processor the process may run on. The file is the same for any count.
    int worker_count = 0;
    // The system calls that write the file; null for the real ones.
    FileSystemCalls* file_system = nullptr;
    // Called on a worker's thread as it begins each frame; a seam for tests
    // that make a worker fail. Empty: nothing is called.
    std::function<void(int frame)> frame_started;
};

enum class RunOutcome {
    Completed,   // the file is in place under output_path
    FileExists,  // something already had that name; nothing written
    Stopped,     // a check point said Stop; nothing left behind
    Exited,      // a check point said Exit; nothing left behind
    Failed,      // the file could not be created or written, or a step failed; nothing left behind
    Refused,     // the request itself cannot be run; nothing touched
};

struct RunResult {
    RunOutcome outcome = RunOutcome::Completed;
    std::error_code error;  // why, when Failed
    RequestProblem refusal; // what is wrong with the request, when Refused
    std::string detail;     // the failure's own words, when Failed with no error code
};

// Frames are drawn (and encoded) on worker threads, but the observer is
// called on the calling thread only, in the same order for any worker count.
// The calling thread also syncs and names the file, so a caller that must
// stay responsive runs these on a thread of its own.
RunResult run_compressed(const RunRequest& request, RunObserver& observer);
RunResult run_uncompressed(const RunRequest& request, RunObserver& observer);
RunResult run_small(const RunRequest& request, RunObserver& observer);
// Refuses a request that run_request_problem finds wrong, touching nothing;
// otherwise runs it in its mode.
RunResult run_generation(const RunRequest& request, RunObserver& observer);

}  // namespace vz
