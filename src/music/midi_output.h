// The MIDI output device as playback sees it.
#pragma once

#include <cstdint>

namespace vz {

class MidiOutput {
public:
    virtual ~MidiOutput() = default;
    // Opens the device; false when there is none or it cannot be opened.
    virtual bool open() = 0;
    // Sends one short message (status in the low byte) for immediate sounding.
    virtual void send(std::uint32_t short_message) = 0;
    virtual void close() = 0;
};

}  // namespace vz
