#include "app/window_settings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "app/controls.h"
#include "app/system_reasons.h"
#include "app/window_text.h"
#include "run/run_values.h"

namespace vz {

WindowSettings::WindowSettings(SettingsStore& store, QWidget& window) : store_(store), window_(window) {}

StoredWindow WindowSettings::read() {
    StoredWindow values;
    values.folder = text_of(store_.read("tem", "put", ""));
    values.frame_count = text_of(store_.read("tem", "col", "3"));
    values.picture_size = text_of(store_.read("tem", "px", "323"));
    values.mobile_size = leading_number(store_.read("tem", "mob", "0")) == 1;
    values.transparent = leading_number(store_.read("tem", "fon", "0")) == 1;
    values.left = leading_number(store_.read("tem", "lef", "3500"));
    values.top = leading_number(store_.read("tem", "top", "3000"));
    values.open_at_end = leading_number(store_.read("met", "ope", "1")) == 1;
    return values;
}

void WindowSettings::place_window(double left_twips, double top_twips) {
    // Stored texts can hold any number; far outside every screen is all the same.
    constexpr double kFar = 1e7;
    left_twips = std::clamp(left_twips, -kFar, kFar);
    top_twips = std::clamp(top_twips, -kFar, kFar);
    QPoint position(to_pixels(left_twips), to_pixels(top_twips));
    const QRect window(position, window_.frameGeometry().size());
    bool visible = false;
    for (const QScreen* screen : QGuiApplication::screens()) visible |= screen->geometry().intersects(window);
    if (!visible && QGuiApplication::primaryScreen())
        position = QGuiApplication::primaryScreen()->availableGeometry().topLeft() + QPoint(40, 40);
    window_.move(position);
    placed_at_ = window_.pos();
    placed_twips_ = visible ? QPoint(static_cast<int>(std::lround(left_twips)), static_cast<int>(std::lround(top_twips)))
                            : QPoint(static_cast<int>(to_twips(window_.x())), static_cast<int>(to_twips(window_.y())));
}

std::optional<QString> WindowSettings::write(const StoredWindow& values) {
    store_.write("tem", "put", bytes_of(values.folder));
    store_.write("tem", "col", bytes_of(values.frame_count));
    store_.write("tem", "px", bytes_of(values.picture_size));
    store_.write("tem", "mob", values.mobile_size ? "1" : "0");
    store_.write("tem", "fon", values.transparent ? "1" : "0");
    // A window left where it was placed keeps its stored twips; converting
    // them through whole pixels would move it a little at every start.
    const bool unmoved = window_.pos() == placed_at_;
    store_.write("tem", "lef", std::to_string(unmoved ? placed_twips_.x() : std::lround(to_twips(window_.x()))));
    store_.write("tem", "top", std::to_string(unmoved ? placed_twips_.y() : std::lround(to_twips(window_.y()))));
    store_.write("met", "ope", values.open_at_end ? "1" : "0");

    const std::error_code error = store_.save();
    if (!error) return std::nullopt;
    return tr("Не удалось сохранить настройки в файл :") + kCrLf + text_of(store_.location()) + kCrLf +
           reason_text(error);
}

}  // namespace vz
