#include "app/message_boxes.h"

#include <utility>

namespace vz {

void MessageBoxes::show(const QString& title, const QString& text, Platform::Icon icon) {
    ++open_;
    platform_.message_box(title, text, icon);
    --open_;
    while (!open() && !waiting_.empty()) {
        const std::function<void()> next = std::move(waiting_.front());
        waiting_.erase(waiting_.begin());
        next();
    }
}

void MessageBoxes::when_none_open(std::function<void()> then) {
    if (open())
        waiting_.push_back(std::move(then));
    else
        then();
}

}  // namespace vz
