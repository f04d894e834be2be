// How a generation run talks to whoever drives it (the window or the batch
// tool): progress values to show, and check points that say whether to go
// on, stop, or end the program. The run reports values, never words: its
// caller decides how to show them.
#pragma once

namespace vz {

enum class CheckPoint { Continue, Stop, Exit };

class RunObserver {
public:
    virtual ~RunObserver() = default;

    virtual void show_frame_bar(int blocks) = 0;    // progress within the frame, 0..32 blocks
    virtual void show_total_bar(int blocks) = 0;    // progress of the whole run, 0..32 blocks
    virtual void show_percent(int percent) = 0;     // percent of the run done
    virtual void show_frame_number(int frame) = 0;  // the frame being made, 1-based
    virtual void show_background_pass() = 0;        // the uncompressed mode's black pass
    // Asked at every step of the writing passes (and before every painted
    // point), and once more after the file is on disk, before it is named:
    // Stop and Exit end the run and delete its file.
    virtual CheckPoint check_point() = 0;
};

// Shows nothing and never stops the run: for runs that nobody watches.
class SilentRunObserver final : public RunObserver {
public:
    void show_frame_bar(int) override {}
    void show_total_bar(int) override {}
    void show_percent(int) override {}
    void show_frame_number(int) override {}
    void show_background_pass() override {}
    CheckPoint check_point() override { return CheckPoint::Continue; }
};

}  // namespace vz
