// Frames made ahead on worker threads and handed over in frame order.
//
// Workers take frames 1..N in increasing order, each into one of a few
// slots, so at most `slots` frames are in flight and memory stays bounded.
// The thread that writes the file follows frame by frame: it can see how far
// the frame it waits for has got (its milestones: rings drawn, rows encoded,
// sweeps painted), take the finished frame, and give its slot back.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "run/frame_schedule.h"

namespace vz {

// Processors this process may run on (its affinity mask), at least 1.
int processors_available();

// Thrown inside a worker's job when the pipeline is being torn down.
struct FrameJobCancelled {};

// What a job reports as it goes.
class FrameSteps {
public:
    // Milestone `count` of the frame is reached; throws FrameJobCancelled
    // when the pipeline is stopping, so a job ends within one milestone.
    void reached(int count) {
        milestones_.store(count, std::memory_order_release);
        if (stopping_.load(std::memory_order_relaxed)) throw FrameJobCancelled{};
    }

private:
    template <class>
    friend class FramePipeline;
    FrameSteps(std::atomic<int>& milestones, const std::atomic<bool>& stopping)
        : milestones_(milestones), stopping_(stopping) {}
    std::atomic<int>& milestones_;
    const std::atomic<bool>& stopping_;
};

template <class Slot>
class FramePipeline {
public:
    // job(worker, frame, slot, steps) fills `slot` with frame `frame`
    // (1-based); `worker` (0-based) names the calling thread, for scratch
    // memory of its own. Several jobs run at once, each on its own slot.
    using Job = std::function<void(int worker, int frame, Slot& slot, FrameSteps& steps)>;

    FramePipeline(int frames, int workers, int slots, Job job)
        : schedule_(frames, slots), entries_(static_cast<std::size_t>(slots)), job_(std::move(job)) {
        threads_.reserve(static_cast<std::size_t>(workers));
        try {
            for (int w = 0; w < workers; ++w) threads_.emplace_back([this, w] { work(w); });
        } catch (...) {
            stop();
            throw;
        }
    }
    ~FramePipeline() { stop(); }
    FramePipeline(const FramePipeline&) = delete;
    FramePipeline& operator=(const FramePipeline&) = delete;

    // Waits until frame `frame`, the next one to be taken, has reached at
    // least `wanted` milestones or is finished, but no longer than `timeout`.
    // Returns the milestones reached. Rethrows the failure of this frame's job.
    int wait_for(int frame, int wanted, std::chrono::milliseconds timeout) {
        Entry& entry = entry_of(frame);
        std::unique_lock lock(mutex_);
        frame_ready_.wait_for(lock, timeout, [&] {
            return entry.finished == frame || entry.milestones.load(std::memory_order_acquire) >= wanted;
        });
        if (entry.finished == frame && entry.failure) std::rethrow_exception(entry.failure);
        return entry.milestones.load(std::memory_order_acquire);
    }

    // Waits for frame `frame` to be finished and returns its slot, which
    // stays the caller's until release(frame). Rethrows the failure of this
    // frame's job: a failure counts only once its frame is reached.
    Slot& take(int frame) {
        Entry& entry = entry_of(frame);
        std::unique_lock lock(mutex_);
        frame_ready_.wait(lock, [&] { return entry.finished == frame; });
        if (entry.failure) std::rethrow_exception(entry.failure);
        return entry.slot;
    }

    // Gives the slot of a taken frame back for a later frame.
    void release(int frame) {
        {
            std::lock_guard lock(mutex_);
            Entry& entry = entry_of(frame);
            entry.milestones.store(0, std::memory_order_relaxed);
            entry.failure = nullptr;
            schedule_.release(frame);
        }
        slot_free_.notify_all();
    }

private:
    struct Entry {
        Slot slot;
        std::atomic<int> milestones{0};
        int finished = 0;  // the frame whose result the slot holds
        std::exception_ptr failure;  // why that frame's job failed, if it did
    };

    Entry& entry_of(int frame) { return entries_[static_cast<std::size_t>(frame - 1) % entries_.size()]; }

    void work(int worker) {
        for (;;) {
            int frame;
            {
                std::unique_lock lock(mutex_);
                slot_free_.wait(lock, [&] { return stopping_ || schedule_.may_take(); });
                if (stopping_) return;
                frame = schedule_.take();
            }
            Entry& entry = entry_of(frame);
            std::exception_ptr failure;
            try {
                FrameSteps steps(entry.milestones, stopping_);
                job_(worker, frame, entry.slot, steps);
            } catch (const FrameJobCancelled&) {
                return;
            } catch (...) {
                failure = std::current_exception();
            }
            {
                std::lock_guard lock(mutex_);
                entry.failure = failure;
                entry.finished = frame;
            }
            frame_ready_.notify_all();
        }
    }

    void stop() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        slot_free_.notify_all();
        for (std::thread& thread : threads_)
            if (thread.joinable()) thread.join();
    }

    FrameSchedule schedule_;  // guarded by mutex_
    std::vector<Entry> entries_;
    Job job_;
    std::mutex mutex_;
    std::condition_variable slot_free_;    // workers wait here for a frame to take
    std::condition_variable frame_ready_;  // the taking thread waits here
    std::atomic<bool> stopping_{false};
    std::vector<std::thread> threads_;
};

}  // namespace vz
