// The window's message boxes, one at a time. A box is modal and waits for
// its OK; whatever the window must say while one is open (the end of a run
// while the help is read, say) waits until it is closed, so boxes never
// stack.
#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "app/platform.h"

namespace vz {

class MessageBoxes {
public:
    explicit MessageBoxes(Platform& platform) : platform_(platform) {}

    // Shows a box and returns once it is closed.
    void show(const QString& title, const QString& text, Platform::Icon icon);
    // Runs `then` now, or as soon as the open box is closed.
    void when_none_open(std::function<void()> then);
    bool open() const { return open_ > 0; }

private:
    Platform& platform_;
    int open_ = 0;
    std::vector<std::function<void()>> waiting_;
};

}  // namespace vz
