// Start and Stop: checks the numbers, runs one generation on a thread of its
// own while the window shows its progress, and reports how the run ended.
//
// The window thread only shows. The run's progress reaches it as queued
// events, in the order the run makes them; Stop and closing reach the run as
// flags it reads at its check points; the run's end comes back as one event.
// From a Stop press until the stopped run has ended, Start does nothing, so
// two runs never overlap.
#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QObject>
#include <QString>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "pattern/pattern_parameters.h"
#include "run/generation_run.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QTimer;
class QWidget;

namespace vz {

class AboutFace;
class ColourButton;
class MessageBoxes;
class Platform;
class SaveLocation;

// Button colours, as 0x00BBGGRR values; the high bit marks a system colour.
inline constexpr std::uint32_t kInfoBackgroundColour = 0x80000018;
inline constexpr std::uint32_t kNormalColour = 0x00EEFFFF;
inline constexpr std::uint32_t kFlashColour = 0x00FFFFBB;

// The colour a 0x00BBGGRR value stands for.
QColor colour_of(std::uint32_t value);

class RunController final {
    Q_DECLARE_TR_FUNCTIONS(RunController)

public:
    struct Controls {
        QWidget* window;
        ColourButton* Command1;
        QCheckBox *Check1, *Check3, *Check4, *Check5;
        QLineEdit *Text1, *Text2, *Text3;
        QLabel *Label7, *Label9, *Picture1, *Picture2;
        QTimer* Timer1;
    };
    RunController(const Controls& controls, Platform& platform, MessageBoxes& boxes, SaveLocation& location,
                  const AboutFace& about);
    // Stops a run that is still going and waits for its thread.
    ~RunController();

    // The caption of the idle Start button.
    static QString idle_caption();

    // Form_Load's parts: the window is open, no run, empty progress.
    void window_opened() { window_open_ = true; }
    void reset();
    void clear_progress();
    // The window is closing: a run ends at its next check point.
    void window_closed();
    // Whatever ends from now on ends without a message box: nobody is there.
    void set_quiet() { quiet_ = true; }

    void Command1_Click();
    void rty();
    void Timer1_Timer();
    void got();
    void terminate_program();

    // A run is under way and shown (Start pressed, not yet stopped or ended).
    bool run_active() const { return run_active_; }
    // A run has not ended yet: under way, or stopped and still removing its
    // file, or ended with its message waiting for an open box to close.
    bool running() const { return thread_.joinable() || ending_; }
    // The run's thread has not been taken back yet: its file may still be unfinished.
    bool writing() const { return thread_.joinable(); }
    bool window_open() const { return window_open_; }
    std::uint32_t command1_colour() const { return command1_colour_; }
    const PatternParameters& pattern() const { return pattern_; }
    void set_command1_colour(std::uint32_t colour);

private:
    class Relay;

    void update_repeat_tooltip();
    void run_with(bool compressed);
    // On the window thread, once per run, with what its thread returned.
    void run_ended(const RunResult& result);
    void finish_run(const RunResult& result);
    void open_for_viewing();
    void message(const QString& title, const QString& text);
    void show_strip(QLabel* picture, int identifier);

    // A value the run has shown.
    struct Shown {
        enum What : std::uint8_t { FrameBar, TotalBar, Percent, Frame, Background } what;
        int value;
    };
    // On the window thread: shows what run `run` has shown since the last
    // look, in order; nothing once that run is stopped.
    void take_shown(unsigned run);
    static constexpr int kLookInterval = 10;  // milliseconds between the window's looks at a busy run

    Controls c_;
    Platform& platform_;
    MessageBoxes& boxes_;
    SaveLocation& location_;
    const AboutFace& about_;
    PatternParameters pattern_;
    RunRequest request_;
    QString output_path_;
    bool run_active_ = false;
    bool window_open_ = false;
    bool terminating_ = false;
    bool quiet_ = false;
    std::uint32_t command1_colour_ = kInfoBackgroundColour;
    int picture1_strip_ = -1, picture2_strip_ = -1;  // identifiers of the strips showing

    // The run beside the window: its thread, the flags it reads at its check
    // points, what it has shown that the window has not yet taken, and the
    // number that tells its events from an earlier run's.
    static constexpr int kStopRequested = 1, kExitRequested = 2;
    std::thread thread_;
    std::atomic<int> requests_{0};
    std::mutex shown_mutex_;
    std::vector<Shown> shown_;   // guarded by shown_mutex_
    bool shown_posted_ = false;  // guarded by shown_mutex_: an event or a look will take shown_
    unsigned run_number_ = 0;
    bool ending_ = false;  // the run has ended; its end waits for an open box
    QObject events_;  // receives the run's queued events; they go with it
};

}  // namespace vz
