#include "app/progress_strips.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>
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

std::array<QPixmap, kStripBlocks + 1>& strips() {
    static std::array<QPixmap, kStripBlocks + 1> drawn;
    return drawn;
}

// A progress strip as a progress bar, its value read from what it shows.
class StripAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit StripAccessible(ProgressStrip* strip) : QAccessibleWidget(strip, QAccessible::ProgressBar) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QVariant currentValue() const override { return static_cast<const ProgressStrip*>(widget())->blocks(); }
    void setCurrentValue(const QVariant&) override {}  // shown by the run, not set by the user
    QVariant maximumValue() const override { return kStripBlocks; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }
};

QAccessibleInterface* strip_accessible(const QString& class_name, QObject* object) {
    if (class_name != QLatin1String(ProgressStrip::staticMetaObject.className())) return nullptr;
    auto* strip = qobject_cast<ProgressStrip*>(object);
    return strip ? new StripAccessible(strip) : nullptr;
}

}  // namespace

const QPixmap& progress_strip(int identifier) {
    const int blocks = std::clamp(identifier - kFirstStrip, 0, kStripBlocks);
    QPixmap& strip = strips()[static_cast<std::size_t>(blocks)];
    if (strip.isNull()) strip = QPixmap::fromImage(draw_strip(blocks));
    return strip;
}

int strip_blocks(const QPixmap& strip) {
    if (strip.isNull()) return 0;
    for (int blocks = 0; blocks <= kStripBlocks; ++blocks)
        if (strip.cacheKey() == progress_strip(kFirstStrip + blocks).cacheKey()) return blocks;
    return 0;
}

ProgressStrip::ProgressStrip(QWidget* parent) : QLabel(parent) {
    static const bool installed = (QAccessible::installFactory(strip_accessible), true);
    (void)installed;
}

void show_progress_strip(QLabel* picture, int identifier) {
    picture->setPixmap(progress_strip(identifier));
    if (!QAccessible::isActive()) return;
    QAccessibleValueChangeEvent changed(picture, strip_blocks(picture->pixmap()));
    QAccessible::updateAccessibility(&changed);
}

}  // namespace vz
