#include "app/window_settings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "app/controls.h"
#include "app/system_reasons.h"
#include "app/window_text.h"

namespace vz {

WindowSettings::WindowSettings(SettingsStore& store, QWidget& window) : store_(store), window_(window) {}

StoredWindow WindowSettings::read() {
    StoredWindow values;
    values.folder = text_of(read_text(store_, stored::kFolder));
    values.frame_count = text_of(read_text(store_, stored::kFrameCount));
    values.picture_size = text_of(read_text(store_, stored::kPictureSize));
    values.mobile_size = read_box(store_, stored::kMobileSize);
    values.transparent = read_box(store_, stored::kTransparent);
    values.left = read_number(store_, stored::kLeft);
    values.top = read_number(store_, stored::kTop);
    values.open_at_end = read_box(store_, stored::kOpenAtEnd);
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
    write_text(store_, stored::kFolder, bytes_of(values.folder));
    write_text(store_, stored::kFrameCount, bytes_of(values.frame_count));
    write_text(store_, stored::kPictureSize, bytes_of(values.picture_size));
    write_box(store_, stored::kMobileSize, values.mobile_size);
    write_box(store_, stored::kTransparent, values.transparent);
    // A window left where it was placed keeps its stored twips; converting
    // them through whole pixels would move it a little at every start.
    const bool unmoved = window_.pos() == placed_at_;
    write_text(store_, stored::kLeft, std::to_string(unmoved ? placed_twips_.x() : std::lround(to_twips(window_.x()))));
    write_text(store_, stored::kTop, std::to_string(unmoved ? placed_twips_.y() : std::lround(to_twips(window_.y()))));
    write_box(store_, stored::kOpenAtEnd, values.open_at_end);

    const std::error_code error = store_.save();
    if (!error) return std::nullopt;
    return tr("Не удалось сохранить настройки в файл :") + kCrLf + text_of(store_.location()) + kCrLf +
           reason_text(error);
}

}  // namespace vz
