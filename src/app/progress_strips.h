// The 33 progress strips, identifiers 200..232: strip 200 + k shows k of 32
// blocks, 285 x 13 pixels, 7-pixel blocks with 2-pixel gaps.
#pragma once

#include <QPixmap>

namespace vz {

inline constexpr int kFirstStrip = 200;
inline constexpr int kStripBlocks = 32;

// The strip with the given identifier (200..232), drawn once and cached.
const QPixmap& progress_strip(int identifier);

}  // namespace vz
