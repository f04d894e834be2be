#include "app/about_face.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "app/controls.h"
#include "app/platform.h"
#include "app/window_text.h"
#include "music/tune_composer.h"

namespace vz {

AboutFace::AboutFace(const Controls& controls, Platform& platform, SettingsStore& settings)
    : c_(controls), platform_(platform), settings_(settings), device_(platform.midi_output()),
      player_(device_, tune_table_) {}

AboutFace::~AboutFace() {
    if (!opener_.joinable()) return;
    opener_.join();
    if (loading_) device_.close();  // opened, but its news never came
}

void AboutFace::compose() {
    tune_table_ = compose_tune(settings_).table;
    settings_.save();  // the counters advance on disk whether or not the tune plays
    c_.Timer3->stop();
    shown_ = false;
}

void AboutFace::show(bool run_active) {
    c_.window->setWindowTitle(tr("Vuzuduzi-2 - О программе"));
    shown_ = true;
    tune_table_ = compose_tune(settings_).table;
    settings_.save();
    wanted_ = true;
    c_.Timer3->stop();
    player_.close();  // a tune still playing ends before its device opens again elsewhere
    if (!loading_) open_device();  // else the device on its way plays this tune
    show_working_face(false);
    if (!run_active) c_.Picture2->hide();
    c_.Command4->setText(tr("Отмена"));
    c_.Command4->move(to_pixels(4560), to_pixels(3360));
    c_.Command7->setFocus(Qt::OtherFocusReason);
    printed_lines_ = {QString(), QString(), QString(35, ' ') + QStringLiteral("Vuzuduzi-2.")};
    c_.window->update();
}

void AboutFace::leave() {
    c_.window->setWindowTitle(kTitle);
    shown_ = false;
    printed_lines_.clear();
    c_.window->update();
    stop();
    show_working_face(true);
    c_.Picture2->show();
    c_.Command4->setText(tr("Выход"));
    place(c_.Command4, 7200, 2880, 735, 375);
    c_.Command3->setFocus(Qt::OtherFocusReason);
}

void AboutFace::open_device() {
    loading_ = true;
    if (opener_.joinable()) opener_.join();  // the last one has said it is done
    MidiOutput& device = platform_.midi_output();
    try {
        opener_ = std::thread([this, &device] {
            const bool opened = device.open();
            QMetaObject::invokeMethod(&events_, [this, opened] { device_ready(opened); }, Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        device_ready(false);  // no thread for it: a silent tune, as without a device
    }
}

void AboutFace::device_ready(bool opened) {
    loading_ = false;
    if (!wanted_) {  // left, or the window closed, meanwhile
        if (opened) device_.close();
        return;
    }
    device_.opened = opened;
    player_.open_midi_output();
    c_.Timer3->start();
}

void AboutFace::tick() {
    if (!player_.tick()) c_.Timer3->stop();
}

void AboutFace::stop() {
    wanted_ = false;
    c_.Timer3->stop();
    player_.close();
}

void AboutFace::show_working_face(bool working) {
    for (QWidget* control : c_.working) control->setVisible(working);
    c_.Label10->setVisible(!working);
    c_.Label15->setVisible(!working);
    c_.Command7->setVisible(!working);
}

}  // namespace vz
