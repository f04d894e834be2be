// Which worker makes which frame, and when: the same rule for the threads of
// the native run and the workers of the page.
#pragma once

namespace vz {

// Workers and frames in flight for a run: workers never outnumber the
// frames, and at most two frames more than there are workers are held in
// memory at once, whatever the frame count.
struct Parallelism {
    int workers;
    int slots;
};

// `requested` workers, or with 0 one per processor.
Parallelism parallelism_for(int frame_count, int requested, int processors);

// Frames 1..N go to whichever worker asks next, in increasing order, each
// into one of `slots` slots: a frame may start once the frame `slots`
// before it is done with.
class FrameSchedule {
public:
    FrameSchedule(int frames, int slots) : frames_(frames), slots_(slots) {}

    bool may_take() const { return next_ <= frames_ && next_ <= released_ + slots_; }
    // The frame to make next, or 0 when none may start now.
    int take() { return may_take() ? next_++ : 0; }
    // Frame `frame` is done with: its slot may take a later frame.
    void release(int frame) { released_ = frame; }

private:
    int frames_, slots_;
    int next_ = 1;      // the next frame to take
    int released_ = 0;  // frames 1..released_ are done with
};

}  // namespace vz
