#include "app/progress_strips.h"

#include <QImage>
#include <array>

namespace vz {

namespace {

QImage draw_strip(int blocks) {
    QImage image(285, 13, QImage::Format_RGB888);
    image.fill(QColor(224, 223, 227));
    for (int i = 1; i <= blocks; ++i)
        for (int x = 1 + 9 * (i - 1); x <= 7 + 9 * (i - 1) && x < image.width(); ++x)
            for (int y = 1; y <= 11; ++y) image.setPixelColor(x, y, QColor(178, 180, 191));
    return image;
}

}  // namespace

const QPixmap& progress_strip(int identifier) {
    static std::array<QPixmap, kStripBlocks + 1> strips;
    const int blocks = std::clamp(identifier - kFirstStrip, 0, kStripBlocks);
    if (strips[blocks].isNull()) strips[blocks] = QPixmap::fromImage(draw_strip(blocks));
    return strips[blocks];
}

}  // namespace vz
