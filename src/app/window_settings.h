// The window's stored settings: read when the window opens, written when
// it closes, with the window's position kept in twips.
#pragma once

#include <QCoreApplication>
#include <QPoint>
#include <QString>
#include <optional>

#include "app/window_text.h"
#include "io/settings_store.h"
#include "run/run_values.h"
#include "run/stored_choices.h"

class QWidget;

namespace vz {

// What is stored, as the window shows it; the defaults are the store's.
struct StoredWindow {
    QString folder;
    QString frame_count = text_of(stored::kFrameCount.fallback);
    QString picture_size = text_of(stored::kPictureSize.fallback);
    bool mobile_size = false;
    bool transparent = false;
    bool open_at_end = true;
    double left = leading_number(stored::kLeft.fallback), top = leading_number(stored::kTop.fallback);  // twips
};

class WindowSettings {
    Q_DECLARE_TR_FUNCTIONS(WindowSettings)

public:
    WindowSettings(SettingsStore& store, QWidget& window);

    StoredWindow read();
    // Moves the window to the stored position, or onto the primary screen
    // when that position would leave it off every screen.
    void place_window(double left_twips, double top_twips);
    // Stores everything, the window's position included, in one save. When
    // the store could not keep it: the message that says which file and why.
    std::optional<QString> write(const StoredWindow& values);

private:
    SettingsStore& store_;
    QWidget& window_;
    QPoint placed_at_, placed_twips_;  // where the stored position put the window
};

}  // namespace vz
