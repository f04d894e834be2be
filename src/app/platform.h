// Everything the window does through the desktop, behind one small seam so
// tests can drive the real window without dialogs, viewers or sound.
#pragma once

#include <QString>

namespace vz {

class FileSystemCalls;
class MidiOutput;
class RunObserver;

class Platform {
public:
    enum class Icon { None, Information, Warning };

    virtual ~Platform() = default;
    // A modal message box with one OK button; returns when it is closed.
    virtual void message_box(const QString& title, const QString& text, Icon icon) = 0;
    // Hands a file to the desktop's default viewer; the outcome is not reported.
    virtual void open_file(const QString& path) = 0;
    // Opens a web address or mailto: link with the desktop's default handler.
    virtual bool open_link(const QString& target) = 0;
    // Seconds since local midnight, as the pattern's clock sample.
    virtual float seconds_since_midnight() = 0;
    // The system calls through which a run writes its file.
    virtual FileSystemCalls& file_system() = 0;
    // Sees each of a run's events on the run's thread before the window
    // does; its check-point answers are ignored. For tests; none by default.
    virtual RunObserver* run_tap() { return nullptr; }
    // The MIDI output device (device 0).
    virtual MidiOutput& midi_output() = 0;
    // Ends the program with exit status 0 once the running handlers return.
    virtual void quit() = 0;
};

}  // namespace vz
