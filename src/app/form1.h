// The program's one window. Its handlers keep the names and the order of
// effects of the window's design; generation runs go through src/run, the
// tune through src/music, and the desktop through the Platform seam.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QWidget>

#include "app/controls.h"
#include "app/platform.h"
#include "io/settings_store.h"
#include "music/tune_player.h"
#include "music/tune_table.h"
#include "pattern/pattern_parameters.h"
#include "run/generation_run.h"

namespace vz {

// Button colours, as 0x00BBGGRR values; the high bit marks a system colour.
inline constexpr std::uint32_t kInfoBackgroundColour = 0x80000018;
inline constexpr std::uint32_t kNormalColour = 0x00EEFFFF;
inline constexpr std::uint32_t kFlashColour = 0x00FFFFBB;

class Form1 final : public QWidget, private RunObserver {
    Q_OBJECT
public:
    Form1(Platform& platform, SettingsStore& settings);
    ~Form1() override;

    // Event handlers.
    void Form_Load();
    void Form_Unload();
    void Command1_Click();
    void Timer1_Timer();
    void Check2_Click();
    void Text2_LostFocus();
    void Command4_Click();
    void Command2_Click();
    void Command3_Click();
    void Command7_Click();
    void Timer3_Timer();
    void Dir1_Change();
    void Drive1_Change();
    void File1_Click();
    void File1_DblClick();
    void Label10_Click();
    void Label15_Click();

    // Public methods.
    void rty();
    void info();
    void got();
    bool ShellProgramm(const QString& target);

    // Controls.
    ColourButton* Command1;
    QPushButton *Command2, *Command3, *Command4, *Command7;
    QCheckBox *Check1, *Check2, *Check3, *Check4, *Check5;
    QLineEdit *Text1, *Text2, *Text3;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label7, *Label9;
    ClickableLabel *Label10, *Label15;
    QLabel *Picture1, *Picture2;
    ShapeFrame *Shape1, *Shape2, *Shape3;
    DriveList* Drive1;
    FolderList* Dir1;
    QListWidget* File1;
    QTimer *Timer1, *Timer3;

    // State the tests look at.
    bool run_active() const { return run_active_; }
    bool window_open() const { return window_open_; }
    bool about_shown() const { return about_shown_; }
    std::uint32_t command1_colour() const { return command1_colour_; }
    const PatternParameters& pattern() const { return pattern_; }
    const QString& save_folder() const { return save_folder_; }
    const QString& proposed_path() const { return proposed_path_; }
    const QString& selected_file() const { return selected_file_; }
    const QStringList& printed_lines() const { return printed_lines_; }
    const TunePlayer& player() const { return player_; }

    static const QString kIdleCaption;
    static QString help_text();

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build_controls();
    void place(QWidget* control, int left, int top, int width, int height) const;
    int to_pixels(double twips) const;
    double to_twips(int pixels) const;
    void set_command1_colour(std::uint32_t colour);
    void show_strip(QLabel* picture, int identifier);

    void randomize_pattern();
    void run_with(bool compressed);
    void finish_run(const RunResult& result);
    // Back to idle after a run; the completion step reports the new file.
    void end_sequence(bool completion_step = true);
    void propose_next_name();
    void open_for_viewing();
    void open_midi_output();
    void show_file_list(const QString& folder);
    void show_working_face(bool working);
    void update_repeat_tooltip();
    QString usable_folder(const QString& stored) const;
    void apply_window_position(double left_twips, double top_twips);
    void terminate_program();

    // RunObserver
    void show_frame_bar(int blocks) override;
    void show_total_bar(int blocks) override;
    void show_percent(int percent) override;
    void show_frame_number(int frame) override;
    void show_background_pass() override;
    void yield_to_events() override;
    CheckPoint check_point() override;

    Platform& platform_;
    SettingsStore& settings_;
    PatternParameters pattern_;
    RunRequest request_;
    QString output_path_;
    bool run_active_ = false;
    bool window_open_ = false;
    bool file_existed_ = false;
    bool about_shown_ = false;
    bool terminating_ = false;
    std::uint32_t command1_colour_ = kInfoBackgroundColour;
    float saved_size_ = 0;
    QString save_folder_;
    QString proposed_path_;
    float name_number_ = 0;
    QString selected_file_;
    QStringList printed_lines_;
    qint64 last_turn_ = -1;
    int picture1_strip_ = -1, picture2_strip_ = -1;  // identifiers of the strips showing
    QPoint placed_at_, placed_twips_;                  // where the stored position put the window
    TuneTable tune_table_;
    TunePlayer player_;
};

}  // namespace vz
