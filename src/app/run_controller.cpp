#include "app/run_controller.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "app/about_face.h"
#include "app/controls.h"
#include "app/platform.h"
#include "app/progress_strips.h"
#include "app/save_location.h"
#include "app/system_reasons.h"
#include "app/window_text.h"
#include "run/run_values.h"

namespace vz {

namespace {

constexpr qint64 kTurnMilliseconds = 10;  // event-loop turns during a run, at most this often

const QString kCreatingCaption = QStringLiteral("Vuzuduzi-2 - Создание файла ");
const QString kStopCaption = QStringLiteral("СТОП");

}  // namespace

QColor colour_of(std::uint32_t value) {
    if (value & 0x80000000u) return QPalette().color(QPalette::ToolTipBase);  // a system colour
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

RunController::RunController(const Controls& controls, Platform& platform, SaveLocation& location,
                             const AboutFace& about)
    : c_(controls), platform_(platform), location_(location), about_(about) {}

void RunController::set_command1_colour(std::uint32_t colour) {
    command1_colour_ = colour;
    c_.Command1->set_colour(colour_of(colour));
}

void RunController::reset() {
    c_.Timer1->stop();
    run_active_ = false;
}

void RunController::clear_progress() {
    file_existed_ = false;
    show_strip(c_.Picture1, kFirstStrip);
    show_strip(c_.Picture2, kFirstStrip);
}

void RunController::message(const QString& title, const QString& text) {
    if (!quiet_) platform_.message_box(title, text, Platform::Icon::Warning);
}

void RunController::randomize_pattern() {
    vz::randomize_pattern(pattern_, platform_.seconds_since_midnight());
    update_repeat_tooltip();
}

void RunController::update_repeat_tooltip() {
    if (pattern_.reference_size <= 0) {
        c_.Check4->setToolTip(QString());
        return;
    }
    c_.Check4->setToolTip(QStringLiteral("узор %1, размер %2")
                              .arg(text_of(format_pattern(pattern_)))
                              .arg(static_cast<int>(pattern_.reference_size)));
}

void RunController::Command1_Click() {
    c_.Check4->setEnabled(true);
    if (!c_.Check4->isChecked()) randomize_pattern();

    if (run_active_) {  // Stop: the running call notices at its next check point
        c_.Command1->setText(kIdleCaption);
        run_active_ = false;
        c_.window->setWindowTitle(kTitle);
        show_strip(c_.Picture1, kFirstStrip);
        show_strip(c_.Picture2, kFirstStrip);
        c_.Label7->clear();
        c_.Label9->clear();
        return;
    }

    run_active_ = true;
    c_.Timer1->start();
    c_.Command1->setText(kStopCaption);

    const RunNumbers numbers = validate_run_numbers(bytes_of(c_.Text1->text()), bytes_of(c_.Text2->text()));
    if (!numbers.accepted()) {
        message(text_of(kValidationTitle), text_of(numbers.rejection));
        run_active_ = false;
        c_.Timer1->stop();
        c_.Command1->setText(kIdleCaption);
        set_command1_colour(kNormalColour);
        return;
    }

    // A repeat needs a previous picture; before the first accepted run there
    // is none, so the press draws a new one as if the box were unchecked.
    const bool repeat = c_.Check4->isChecked() && pattern_.reference_size > 0;
    if (c_.Check4->isChecked() && !repeat) randomize_pattern();
    if (!repeat) pattern_.reference_size = numbers.picture_size;
    update_repeat_tooltip();

    request_.pattern = pattern_;
    request_.frame_count = numbers.frame_count;
    request_.picture_size = numbers.picture_size;
    request_.transparent = c_.Check3->isChecked();
    output_path_ = c_.Text3->text();
    request_.output_path = QFile::encodeName(output_path_).toStdString();
    c_.window->setWindowTitle(kCreatingCaption + output_path_);

    if (!c_.Check1->isChecked()) {
        rty();
        return;
    }
    run_with(true);
}

void RunController::rty() {
    c_.window->setWindowTitle(kCreatingCaption + output_path_);
    run_with(false);
}

void RunController::run_with(bool compressed) {
    request_.compressed = compressed;
    const RunRequest request = request_;  // a nested press may start another run
    const QString path = output_path_;
    last_turn_ = -1;
    const RunResult result = run_generation(request, *this);
    output_path_ = path;
    finish_run(result);
}

void RunController::finish_run(const RunResult& result) {
    switch (result.outcome) {
        case RunOutcome::Completed:
            end_sequence();
            return;
        case RunOutcome::FileExists:
            message(QStringLiteral("Ошибка"), QStringLiteral("В этой папке уже есть такой файл :") + kCrLf + output_path_ + '.');
            file_existed_ = true;
            end_sequence();
            return;
        case RunOutcome::Failed:
            // Nothing was left behind; say why and go back to idle.
            message(QStringLiteral("Ошибка"), QStringLiteral("Не удалось записать файл :") + kCrLf + output_path_ + kCrLf +
                                                  reason_text(result.error));
            end_sequence(false);
            return;
        case RunOutcome::Stopped:
            message(QStringLiteral("Операция прервана"),
                    QStringLiteral("Процесс был прерван.") + kCrLf + QStringLiteral("Сохранение не произошло."));
            c_.Timer1->stop();
            set_command1_colour(kNormalColour);
            return;
        case RunOutcome::Exited:
            if (!terminating_)
                message(QStringLiteral("Выход из программы"),
                        QStringLiteral("Процесс не был завершён.") + kCrLf + QStringLiteral("Сохранение не произошло."));
            terminate_program();
            return;
    }
}

void RunController::end_sequence(bool completion_step) {
    c_.Label7->clear();
    c_.Label9->clear();
    show_strip(c_.Picture1, kFirstStrip);
    show_strip(c_.Picture2, kFirstStrip);
    c_.window->setWindowTitle(kTitle);
    c_.Command1->setText(kIdleCaption);
    c_.Timer1->stop();
    set_command1_colour(kNormalColour);
    location_.show_files();
    run_active_ = false;
    window_open_ = true;
    location_.propose_next_name();
    if (file_existed_ || !completion_step) {
        file_existed_ = false;
    } else if (c_.Check5->isChecked()) {
        open_for_viewing();
    } else {
        got();
    }
    if (about_.shown()) c_.Picture2->hide();
}

void RunController::terminate_program() {
    terminating_ = true;
    platform_.quit();
}

void RunController::Timer1_Timer() {
    set_command1_colour(command1_colour_ == kInfoBackgroundColour ? kFlashColour : kInfoBackgroundColour);
}

void RunController::show_strip(QLabel* picture, int identifier) {
    // The background pass shows both strips on every block; a strip that is
    // already showing need not be set again.
    int& showing = picture == c_.Picture1 ? picture1_strip_ : picture2_strip_;
    if (showing == identifier) return;
    showing = identifier;
    picture->setPixmap(progress_strip(identifier));
}

void RunController::show_frame_bar(int blocks) { show_strip(c_.Picture1, kFirstStrip + blocks); }
void RunController::show_total_bar(int blocks) { show_strip(c_.Picture2, kFirstStrip + blocks); }
void RunController::show_percent(int percent) { c_.Label7->setText(text_of(percent_text(percent))); }
void RunController::show_frame_number(int frame) { c_.Label9->setText(text_of(frame_text(frame))); }
void RunController::show_background_pass() { c_.Label9->setText(text_of(kBackgroundText)); }

// Pending events are processed at most every 10 ms: more often only costs
// time, and a skipped turn cannot be told from one that found no events.
void RunController::yield_to_events() {
    const qint64 now = platform_.steady_milliseconds();
    if (last_turn_ >= 0 && now - last_turn_ < kTurnMilliseconds) return;
    last_turn_ = now;
    platform_.process_events();
}

CheckPoint RunController::check_point() {
    if (!run_active_) return CheckPoint::Stop;
    if (!window_open_) return CheckPoint::Exit;
    return CheckPoint::Continue;
}

void RunController::got() {
    const QFileInfo file(output_path_);
    const int separator = output_path_.lastIndexOf('/');
    const QString folder = separator >= 0 ? output_path_.left(separator) : QString();
    platform_.message_box(QStringLiteral("Vuzuduzi-2 - Ура!"),
                          QStringLiteral("Файл  готов!  Его  имя:   \"") + file.fileName() + '"' + kCrLf +
                              QStringLiteral("Местонахождение:   ") + folder,
                          Platform::Icon::None);
}

void RunController::open_for_viewing() { platform_.open_file(output_path_); }

}  // namespace vz
