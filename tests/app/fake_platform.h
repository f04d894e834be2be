// Test platform: records message boxes, opened files and links, answers the
// clock from a field, and runs scripted actions at chosen event-loop turns
// (the n-th turn of a run is where a user's click would be served).
#pragma once

#include <QCoreApplication>
#include <functional>
#include <map>
#include <vector>

#include "app/platform.h"
#include "recording_midi_output.h"

namespace vz::test {

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
    // Every call is 20 ms after the last, so every turn of a run is taken.
    qint64 steady_milliseconds() override { return now += 20; }
    void process_events() override {
        ++turns;
        if (auto action = at_turn.find(turns); action != at_turn.end()) action->second();
        QCoreApplication::processEvents();
    }
    MidiOutput& midi_output() override { return midi; }
    void quit() override { ++quits; }

    std::vector<Message> messages;
    std::function<void(const Message&)> on_message;
    QStringList opened_files, opened_links;
    float clock = 45296.37109375f;
    qint64 now = 0;
    int turns = 0;
    std::map<int, std::function<void()>> at_turn;
    int quits = 0;
    RecordingMidiOutput midi;
};

}  // namespace vz::test
