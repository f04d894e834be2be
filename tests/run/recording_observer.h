// Test observer: records what a run shows and answers check points from a
// script ("stop at the n-th check point").
#pragma once

#include <string>
#include <vector>

#include "run/run_observer.h"

namespace vz::test {

class RecordingObserver : public RunObserver {
public:
    std::vector<std::string> events;  // "frame_bar 3", "check", ...
    int checks = 0;
    int stop_at_check = -1;  // 1-based check point that answers `answer`
    CheckPoint answer = CheckPoint::Stop;
    bool record_checks = true;

    void show_frame_bar(int b) override { events.push_back("frame_bar " + std::to_string(b)); }
    void show_total_bar(int b) override { events.push_back("total_bar " + std::to_string(b)); }
    void show_percent(int p) override { events.push_back("percent " + std::to_string(p)); }
    void show_frame_number(int f) override { events.push_back("frame " + std::to_string(f)); }
    void show_background_pass() override { events.push_back("background"); }
    CheckPoint check_point() override {
        ++checks;
        if (record_checks) events.push_back("check");
        return checks == stop_at_check ? answer : CheckPoint::Continue;
    }

    int count(const std::string& event) const {
        int n = 0;
        for (const auto& e : events) n += e == event;
        return n;
    }
};

}  // namespace vz::test
