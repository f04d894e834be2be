#include "run/shared_picture_shelf.h"

#include <algorithm>

namespace vz {

void SharedPictureShelf::drawing(int f) {
    std::lock_guard lock(mutex_);
    Picture& place = oldest();
    place.frame = f;
    place.ready = false;
}

void SharedPictureShelf::put(int f, const std::vector<std::uint8_t>& grid) {
    {
        std::lock_guard lock(mutex_);
        Picture* place = find(f);
        if (!place) place = &oldest();
        place->frame = f;
        place->grid = grid;
        place->ready = true;
    }
    changed_.notify_all();
}

void SharedPictureShelf::abandon(int f) {
    {
        std::lock_guard lock(mutex_);
        if (Picture* place = find(f); place && !place->ready) place->frame = 0;
    }
    changed_.notify_all();
}

bool SharedPictureShelf::copy(int f, std::vector<std::uint8_t>& grid) {
    std::unique_lock lock(mutex_);
    for (;;) {
        const Picture* picture = find(f);
        if (!picture) return false;
        if (picture->ready) {
            grid = picture->grid;
            return true;
        }
        changed_.wait(lock);
    }
}

SharedPictureShelf::Picture* SharedPictureShelf::find(int f) {
    for (Picture& picture : pictures_)
        if (picture.frame == f) return &picture;
    return nullptr;
}

SharedPictureShelf::Picture& SharedPictureShelf::oldest() {
    return *std::min_element(pictures_.begin(), pictures_.end(),
                             [](const Picture& a, const Picture& b) { return a.frame < b.frame; });
}

}  // namespace vz
