// The real desktop: Qt message boxes, the default handlers for files and
// links, the system clock and the built-in synthesizer.
#pragma once

#include <QWidget>
#include <memory>

#include "app/platform.h"

namespace vz {

// Names the application and sets how it ends; the program and the desktop
// tests both start with this.
void configure_application();

class DesktopPlatform final : public Platform {
public:
    DesktopPlatform();
    ~DesktopPlatform() override;

    void set_owner(QWidget* owner) { owner_ = owner; }

    void message_box(const QString& title, const QString& text, Icon icon) override;
    void open_file(const QString& path) override;
    bool open_link(const QString& target) override;
    float seconds_since_midnight() override;
    FileSystemCalls& file_system() override;
    MidiOutput& midi_output() override;
    void quit() override;

private:
    QWidget* owner_ = nullptr;
    std::unique_ptr<MidiOutput> midi_;
};

}  // namespace vz
