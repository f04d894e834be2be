// Test platform: records message boxes, opened files and links, answers the
// clock from a field, and lets a test hold a run at a chosen event (through
// `tap`) or in its sync (through `file_system`), or the MIDI device while it
// opens.
#pragma once

#include <QCoreApplication>
#include <functional>
#include <vector>

#include "app/platform.h"
#include "io/output_file.h"
#include "recording_midi_output.h"
#include "run_gate.h"

namespace vz::test {

// The recording device, whose opening can be held, as a slow sound font holds it.
class HeldMidiOutput final : public MidiOutput {
public:
    explicit HeldMidiOutput(RecordingMidiOutput& device) : device_(device) {}
    bool open() override {
        hold.reach();
        return device_.open();
    }
    void send(std::uint32_t message) override { device_.send(message); }
    void close() override { device_.close(); }
    Hold hold;

private:
    RecordingMidiOutput& device_;
};

class FakePlatform final : public Platform {
public:
    struct Message {
        QString title, text;
        Icon icon;
    };

    void message_box(const QString& title, const QString& text, Icon icon) override {
        messages.push_back({title, text, icon});
        if (on_message) on_message(messages.back());
    }
    void open_file(const QString& path) override { opened_files.push_back(path); }
    bool open_link(const QString& target) override {
        opened_links.push_back(target);
        return false;
    }
    float seconds_since_midnight() override { return clock; }
    FileSystemCalls& file_system() override { return sync; }
    RunObserver* run_tap() override { return &gate; }
    MidiOutput& midi_output() override { return midi_opening; }
    void quit() override { ++quits; }

    std::vector<Message> messages;
    std::function<void(const Message&)> on_message;  // called while the box is "open"
    QStringList opened_files, opened_links;
    float clock = 45296.37109375f;
    int quits = 0;
    RunGate gate;
    HeldSync sync;
    RecordingMidiOutput midi;
    HeldMidiOutput midi_opening{midi};
};

}  // namespace vz::test
