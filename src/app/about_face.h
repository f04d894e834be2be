// The About face: hides the working controls, shows the author's links and
// the way back, and plays a newly orchestrated tune while it is open.
//
// The face shows at once. The synthesizer opens on a thread of its own,
// since loading its sound font can take seconds, and the tune starts a tick
// after it is ready. A device that comes ready after the face was left is
// closed unheard.
#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QStringList>
#include <thread>
#include <vector>

#include "io/settings_store.h"
#include "music/tune_player.h"
#include "music/tune_table.h"

class QLabel;
class QPushButton;
class QTimer;
class QWidget;

namespace vz {

class Platform;

class AboutFace final {
    Q_DECLARE_TR_FUNCTIONS(AboutFace)

public:
    struct Controls {
        QWidget* window;
        QPushButton *Command3, *Command4, *Command7;
        QLabel *Label10, *Label15, *Picture2;
        QTimer* Timer3;
        std::vector<QWidget*> working;  // the working face's controls, hidden here
    };
    AboutFace(const Controls& controls, Platform& platform, SettingsStore& settings);
    // Waits for a device still opening; the program itself does not (`loading`).
    ~AboutFace();

    // At start-up: composing advances the instrument counters; nothing plays.
    void compose();
    // Command3: the face and its tune, the focus on the way back. During a
    // run the total bar stays in view.
    void show(bool run_active);
    // Command7: back to the working face, the focus on Command3 again.
    void leave();
    // Timer3: the tune's next step.
    void tick();
    // When the window closes.
    void stop();

    bool shown() const { return shown_; }
    // The device is still opening.
    bool loading() const { return loading_; }
    const QStringList& printed_lines() const { return printed_lines_; }
    const TunePlayer& player() const { return player_; }

private:
    // The device as the player sees it: opened beforehand, beside the window.
    class OpenedDevice final : public MidiOutput {
    public:
        explicit OpenedDevice(MidiOutput& device) : device_(device) {}
        bool open() override { return opened; }
        void send(std::uint32_t message) override { device_.send(message); }
        void close() override { device_.close(); }
        bool opened = false;  // what the last opening gave

    private:
        MidiOutput& device_;
    };

    void show_working_face(bool working);
    void open_device();
    // On the window thread, when the device has opened (or failed to).
    void device_ready(bool opened);

    Controls c_;
    Platform& platform_;
    SettingsStore& settings_;
    bool shown_ = false;
    QStringList printed_lines_;
    TuneTable tune_table_;
    OpenedDevice device_;
    TunePlayer player_;
    std::thread opener_;
    bool loading_ = false;  // the device is opening on `opener_`
    bool wanted_ = false;   // the face shows, and the window is not closing
    QObject events_;        // receives the opener's queued event; it goes with it
};

}  // namespace vz
