#include "run/frame_pipeline.h"
#include "run/shared_picture_shelf.h"

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <stdexcept>
#include <thread>

namespace vz {
namespace {

using namespace std::chrono_literals;

struct Frame {
    int number = 0;
    int milestones = 0;
};

// Frames come out in order whatever thread made them, each slot is reused
// only after it was given back, and no worker runs more than `slots` frames
// ahead of the one given back last.
TEST(FramePipeline, FramesInOrderWithBoundedLookAhead) {
    for (int workers : {1, 2, 5}) {
        const int frames = 40, slots = workers + 2;
        std::atomic<int> given_back{0};
        std::atomic<int> too_far{0};
        FramePipeline<Frame> pipeline(frames, workers, slots, [&](int worker, int f, Frame& slot, FrameSteps& steps) {
            if (f > given_back.load() + slots || worker < 0 || worker >= workers) ++too_far;
            slot.number = f;
            for (int m = 1; m <= 3; ++m) steps.reached(slot.milestones = m);
        });
        for (int f = 1; f <= frames; ++f) {
            int reached = 0;
            while (reached < 2) reached = pipeline.wait_for(f, 2, 1ms);
            const Frame& frame = pipeline.take(f);
            EXPECT_EQ(frame.number, f);
            EXPECT_EQ(frame.milestones, 3);
            given_back = f;  // before release, so a worker never sees an older value
            pipeline.release(f);
        }
        EXPECT_EQ(too_far.load(), 0) << workers;
    }
}

// A job's failure reaches the taking thread when it gets to that frame;
// frames before it come out as usual, whatever the workers did meanwhile.
TEST(FramePipeline, JobFailureIsRethrownToTheTaker) {
    FramePipeline<Frame> pipeline(20, 3, 4, [](int, int f, Frame& slot, FrameSteps&) {
        if (f == 3) throw std::bad_alloc();
        slot.number = f;
    });
    EXPECT_EQ(pipeline.take(1).number, 1);
    pipeline.release(1);
    EXPECT_EQ(pipeline.take(2).number, 2);
    pipeline.release(2);
    EXPECT_THROW(pipeline.wait_for(3, 1, 1h), std::bad_alloc);
    EXPECT_THROW(pipeline.take(3), std::bad_alloc);
}

// Destroying the pipeline ends jobs at their next milestone, also jobs
// that would never end by themselves, and workers waiting for a free slot.
TEST(FramePipeline, TearDownEndsRunningAndWaitingWorkers) {
    std::atomic<int> started{0};
    {
        FramePipeline<Frame> pipeline(100, 4, 4, [&](int, int, Frame&, FrameSteps& steps) {
            ++started;
            for (int m = 1;; ++m) steps.reached(m);
        });
        while (started.load() < 4) std::this_thread::yield();
    }
    EXPECT_EQ(started.load(), 4);
    {
        FramePipeline<Frame> pipeline(100, 2, 1, [](int, int f, Frame& slot, FrameSteps&) { slot.number = f; });
        EXPECT_EQ(pipeline.take(1).number, 1);  // the other worker now waits for the slot
    }
}

// A maker that needs a picture another one is drawing waits for it, and
// draws it itself when that drawing is cut short or nobody draws it.
TEST(SharedPictureShelf, CopyWaitsForThePictureBeingDrawn) {
    SharedPictureShelf shelf(3);
    std::vector<std::uint8_t> grid;
    EXPECT_FALSE(shelf.copy(1, grid));
    for (const bool drawn : {true, false}) {
        const int f = drawn ? 2 : 3;
        shelf.drawing(f);
        std::atomic<int> copied{-1};
        std::thread waiter([&] {
            std::vector<std::uint8_t> picture;
            copied = shelf.copy(f, picture) ? picture.at(0) : 0;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(copied.load(), -1);
        if (drawn)
            shelf.put(f, {7});
        else
            shelf.abandon(f);
        waiter.join();
        EXPECT_EQ(copied.load(), drawn ? 7 : 0);
    }
}

}  // namespace
}  // namespace vz
