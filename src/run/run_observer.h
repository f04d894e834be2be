// How a generation run talks to whoever drives it (the window or the batch
// tool): progress to show, turns for the event loop, and check points that
// say whether to go on, stop, or end the program.
#pragma once

namespace vz {

enum class CheckPoint { Continue, Stop, Exit };

class RunObserver {
public:
    virtual ~RunObserver() = default;

    virtual void show_frame_bar(int blocks) = 0;    // progress within the frame, 0..32 blocks
    virtual void show_total_bar(int blocks) = 0;    // progress of the whole run, 0..32 blocks
    virtual void show_percent(int percent) = 0;     // percent_text(percent)
    virtual void show_frame_number(int frame) = 0;  // frame_text(frame)
    virtual void show_background_pass() = 0;        // kBackgroundText
    // Lets pending events run; a skipped turn is not observable.
    virtual void yield_to_events() = 0;
    // Asked after every turn of the writing passes (and before every painted
    // point): Stop and Exit end the run and delete its file.
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
    void yield_to_events() override {}
    CheckPoint check_point() override { return CheckPoint::Continue; }
};

}  // namespace vz
