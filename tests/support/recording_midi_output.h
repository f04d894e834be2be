// A MIDI output that records every call in order, for tests.
#pragma once

#include <cstdint>
#include <vector>

#include "music/midi_output.h"

namespace vz {

// Records every call in order; can be told to fail opening.
class RecordingMidiOutput final : public MidiOutput {
public:
    enum class Call { open, send, close };
    struct Event {
        Call call;
        std::uint32_t message;  // for sends; 0 otherwise

        bool operator==(const Event&) const = default;
    };

    explicit RecordingMidiOutput(bool open_succeeds = true) : open_succeeds(open_succeeds) {}

    bool open() override {
        events.push_back({Call::open, 0});
        is_open = open_succeeds;
        return open_succeeds;
    }
    void send(std::uint32_t short_message) override {
        events.push_back({Call::send, short_message});
        sent.push_back(short_message);
    }
    void close() override {
        events.push_back({Call::close, 0});
        is_open = false;
    }

    int count(Call call) const {
        int n = 0;
        for (const Event& event : events) n += event.call == call ? 1 : 0;
        return n;
    }

    bool open_succeeds;
    bool is_open = false;
    std::vector<Event> events;
    std::vector<std::uint32_t> sent;
};

}  // namespace vz
