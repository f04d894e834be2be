// The pictures a native run's workers drew last, or are drawing, a few at
// most, behind a lock: a worker that needs a frame another one is drawing
// waits for it instead of drawing it again.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "run/frame_makers.h"

namespace vz {

class SharedPictureShelf final : public PictureShelf {
public:
    explicit SharedPictureShelf(std::size_t capacity) : pictures_(capacity) {}
    void drawing(int f) override;
    void put(int f, const std::vector<std::uint8_t>& grid) override;
    void abandon(int f) override;
    bool copy(int f, std::vector<std::uint8_t>& grid) override;

private:
    struct Picture {
        int frame = 0;  // 0: none
        bool ready = false;
        std::vector<std::uint8_t> grid;
    };
    Picture* find(int f);
    Picture& oldest();  // the place of the earliest frame, drawn or not

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Picture> pictures_;
};

}  // namespace vz
