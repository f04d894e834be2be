// Start and Stop: checks the numbers, runs one generation while the window
// shows its progress and stays responsive, and reports how the run ended.
#pragma once

#include <QColor>
#include <QString>
#include <cstdint>

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
class Platform;
class SaveLocation;

// Button colours, as 0x00BBGGRR values; the high bit marks a system colour.
inline constexpr std::uint32_t kInfoBackgroundColour = 0x80000018;
inline constexpr std::uint32_t kNormalColour = 0x00EEFFFF;
inline constexpr std::uint32_t kFlashColour = 0x00FFFFBB;

// The colour a 0x00BBGGRR value stands for.
QColor colour_of(std::uint32_t value);

inline const QString kIdleCaption = QStringLiteral("                 СТАРТ                 (Создаём анимированный GIF) ");

class RunController final : private RunObserver {
public:
    struct Controls {
        QWidget* window;
        ColourButton* Command1;
        QCheckBox *Check1, *Check3, *Check4, *Check5;
        QLineEdit *Text1, *Text2, *Text3;
        QLabel *Label7, *Label9, *Picture1, *Picture2;
        QTimer* Timer1;
    };
    RunController(const Controls& controls, Platform& platform, SaveLocation& location, const AboutFace& about);

    // Form_Load's parts: the window is open, no run, empty progress.
    void window_opened() { window_open_ = true; }
    void reset();
    void clear_progress();
    // The window is closing: a run ends at its next check point.
    void window_closed() { window_open_ = false; }
    // Whatever ends from now on ends without a message box: nobody is there.
    void set_quiet() { quiet_ = true; }

    void Command1_Click();
    void rty();
    void Timer1_Timer();
    void got();
    void terminate_program();

    bool run_active() const { return run_active_; }
    bool window_open() const { return window_open_; }
    std::uint32_t command1_colour() const { return command1_colour_; }
    const PatternParameters& pattern() const { return pattern_; }
    void set_command1_colour(std::uint32_t colour);

private:
    void randomize_pattern();
    void update_repeat_tooltip();
    void run_with(bool compressed);
    void finish_run(const RunResult& result);
    // Back to idle after a run; the completion step reports the new file.
    void end_sequence(bool completion_step = true);
    void open_for_viewing();
    void message(const QString& title, const QString& text);
    void show_strip(QLabel* picture, int identifier);

    // RunObserver
    void show_frame_bar(int blocks) override;
    void show_total_bar(int blocks) override;
    void show_percent(int percent) override;
    void show_frame_number(int frame) override;
    void show_background_pass() override;
    void yield_to_events() override;
    CheckPoint check_point() override;

    Controls c_;
    Platform& platform_;
    SaveLocation& location_;
    const AboutFace& about_;
    PatternParameters pattern_;
    RunRequest request_;
    QString output_path_;
    bool run_active_ = false;
    bool window_open_ = false;
    bool file_existed_ = false;
    bool terminating_ = false;
    bool quiet_ = false;
    std::uint32_t command1_colour_ = kInfoBackgroundColour;
    qint64 last_turn_ = -1;
    int picture1_strip_ = -1, picture2_strip_ = -1;  // identifiers of the strips showing
};

}  // namespace vz
