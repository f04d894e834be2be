// The 33 progress strips, identifiers 200..232: strip 200 + k shows k of 32
// blocks, 285 x 13 pixels, 7-pixel blocks with 2-pixel gaps. A label that
// shows them is seen by assistive technology as a progress bar of 0..32.
#pragma once

#include <QLabel>
#include <QPixmap>

namespace vz {

inline constexpr int kFirstStrip = 200;
inline constexpr int kStripBlocks = 32;

// The strip with the given identifier (200..232), drawn once and cached.
const QPixmap& progress_strip(int identifier);

// The blocks a strip shows (0..32), read from the pixmap a label holds;
// 0 for anything that is not one of the strips.
int strip_blocks(const QPixmap& strip);

// A label that shows the strips. To assistive technology it is a progress
// bar: minimum 0, maximum 32, current value the blocks shown.
class ProgressStrip final : public QLabel {
    Q_OBJECT
public:
    explicit ProgressStrip(QWidget* parent);
    int blocks() const { return strip_blocks(pixmap()); }
};

// Shows the strip on `picture` and tells assistive technology its new value.
void show_progress_strip(QLabel* picture, int identifier);

}  // namespace vz
