// Holding a run where a test wants it: at one of its events (the first
// frame's drawing, the n-th check point) or inside its sync, while the
// window thread goes on; then letting it go.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

#include "io/output_file.h"
#include "run/run_observer.h"

namespace vz::test {

// Processes the window's events until `done` holds, at most 30 s.
inline bool serve_events_until(const std::function<bool()>& done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 30000) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

// Processes the window's events for `milliseconds`.
inline void serve_events_for(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// A point where the run thread waits until the test releases it.
class Hold {
public:
    // Run thread: stops here when armed, until released (at most 30 s, so
    // that a window waiting for it here fails its test rather than hangs).
    void reach() {
        std::unique_lock lock(mutex_);
        if (!armed_) return;
        armed_ = false;
        held_ = true;
        changed_.notify_all();
        changed_.wait_for(lock, std::chrono::seconds(30), [&] { return !held_; });
        held_ = false;
    }
    void arm() {
        std::lock_guard lock(mutex_);
        armed_ = true;
    }
    // Window thread: waits until the run is held here; the window's events
    // wait too, as they would behind a busy window.
    bool wait_held() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(30), [&] { return held_; });
    }
    void release() {
        std::lock_guard lock(mutex_);
        held_ = false;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool armed_ = false, held_ = false;
};

// Holds the run at its `n`-th event of kind `event` ("frame 1", "check", ...).
class RunGate final : public RunObserver {
public:
    void hold_at(std::string event, int n = 1) {
        std::lock_guard lock(mutex_);
        event_ = std::move(event);
        remaining_ = n;
        hold.arm();
    }
    Hold hold;

    void show_frame_bar(int) override {}
    void show_total_bar(int) override {}
    void show_percent(int) override {}
    void show_frame_number(int frame) override { seen("frame " + std::to_string(frame)); }
    void show_background_pass() override { seen("background"); }
    CheckPoint check_point() override {
        ++checks;
        seen("check");
        return CheckPoint::Continue;
    }
    std::atomic<int> checks{0};  // check points taken, by every run so far

private:
    void seen(const std::string& event) {
        {
            std::lock_guard lock(mutex_);
            if (event != event_ || remaining_ == 0 || --remaining_ > 0) return;
        }
        hold.reach();
    }
    std::mutex mutex_;
    std::string event_;
    int remaining_ = 0;
};

// The real system calls, but a sync can be held, as on a slow disk, or fail
// in a way of the test's choosing.
class HeldSync final : public FileSystemCalls {
public:
    int fsync(int fd) override {
        hold.reach();
        if (failure) failure();
        return FileSystemCalls::fsync(fd);
    }
    Hold hold;
    std::function<void()> failure;
};

}  // namespace vz::test
