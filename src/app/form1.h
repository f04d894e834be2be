// The program's one window: its controls at their twip positions and its
// handlers, which keep their names and order of effects and hand each
// concern to its own part: the save location, the About face, the stored
// window settings and the run controller.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "app/about_face.h"
#include "app/controls.h"
#include "app/message_boxes.h"
#include "app/platform.h"
#include "app/progress_strips.h"
#include "app/run_controller.h"
#include "app/save_location.h"
#include "app/window_settings.h"
#include "io/settings_store.h"

namespace vz {

class Form1 final : public QWidget {
    Q_OBJECT
public:
    Form1(Platform& platform, SettingsStore& settings);
    ~Form1() override;

    // Event handlers.
    void Form_Load();
    void Form_Unload();
    void Command1_Click() { run_->Command1_Click(); }
    void Timer1_Timer() { run_->Timer1_Timer(); }
    void Check2_Click();
    void Text2_LostFocus();
    void Command4_Click() { close(); }
    void Command2_Click() { info(); }
    void Command3_Click() { about_->show(run_->run_active()); }
    void Command7_Click() { about_->leave(); }
    void Timer3_Timer() { about_->tick(); }
    void Dir1_Change() { location_->folder_changed(); }
    void Drive1_Change() { location_->drive_changed(); }
    void File1_Click() { location_->file_clicked(); }
    void File1_DblClick() { platform_.open_file(location_->selected_file()); }
    void Label10_Click();
    void Label15_Click();
    // SIGTERM, SIGHUP or SIGINT: ends like closing the window, with no message box.
    void end_on_signal();

    // Public methods.
    void rty() { run_->rty(); }
    void info();
    void got() { run_->got(); }
    bool ShellProgramm(const QString& target) { return platform_.open_link(target); }

    // State the tests look at.
    bool run_active() const { return run_->run_active(); }
    bool running() const { return run_->running(); }
    bool window_open() const { return run_->window_open(); }
    bool about_shown() const { return about_->shown(); }
    // The About face's synthesizer is still loading its sound font.
    bool sound_loading() const { return about_->loading(); }
    std::uint32_t command1_colour() const { return run_->command1_colour(); }
    const PatternParameters& pattern() const { return run_->pattern(); }
    const QString& save_folder() const { return location_->folder(); }
    const QString& proposed_path() const { return location_->proposed_path(); }
    const QString& selected_file() const { return location_->selected_file(); }
    const QStringList& printed_lines() const { return about_->printed_lines(); }
    const TunePlayer& player() const { return about_->player(); }

    static QString idle_caption() { return RunController::idle_caption(); }
    static QString help_text();

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build_controls(SettingsStore& settings);
    void connect_handlers();

    Platform& platform_;
    MessageBoxes boxes_{platform_};
    bool quiet_ = false;  // ending on a signal: nobody is there to read a message
    float saved_size_ = 0;

    ColourButton* Command1;
    QPushButton *Command2, *Command3, *Command4, *Command7;
    QCheckBox *Check1, *Check2, *Check3, *Check4, *Check5;
    QLineEdit *Text1, *Text2, *Text3;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label7, *Label9;
    ClickableLabel *Label10, *Label15;
    ProgressStrip *Picture1, *Picture2;
    ShapeFrame *Shape1, *Shape2, *Shape3;
    DriveList* Drive1;
    FolderList* Dir1;
    QListWidget* File1;
    QTimer *Timer1, *Timer3;

    std::unique_ptr<WindowSettings> settings_;
    std::unique_ptr<SaveLocation> location_;
    std::unique_ptr<AboutFace> about_;
    std::unique_ptr<RunController> run_;
};

}  // namespace vz
