#include "app/run_controller.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <utility>

#include "app/about_face.h"
#include "app/controls.h"
#include "app/message_boxes.h"
#include "app/platform.h"
#include "app/progress_strips.h"
#include "app/refusal_text.h"
#include "app/save_location.h"
#include "app/system_reasons.h"
#include "app/window_text.h"
#include "run/repeat_rule.h"
#include "run/run_values.h"

namespace vz {

// The run's side, on its own thread: queues each value that changed for
// the window thread, posting an event when the window is not already due to
// look, so the window takes every change in order however fast they come;
// and answers check points from the flags.
class RunController::Relay final : public RunObserver {
public:
    Relay(RunController& owner, unsigned run)
        : owner_(owner), requests_(owner.requests_), run_(run), tap_(owner.platform_.run_tap()) {}

    void show_frame_bar(int blocks) override {
        if (tap_) tap_->show_frame_bar(blocks);
        if (changed(frame_bar_, blocks)) queue({Shown::FrameBar, blocks});
    }
    void show_total_bar(int blocks) override {
        if (tap_) tap_->show_total_bar(blocks);
        if (changed(total_bar_, blocks)) queue({Shown::TotalBar, blocks});
    }
    void show_percent(int percent) override {
        if (tap_) tap_->show_percent(percent);
        if (changed(percent_, percent)) queue({Shown::Percent, percent});
    }
    void show_frame_number(int frame) override {
        if (tap_) tap_->show_frame_number(frame);
        if (changed(label_, frame)) queue({Shown::Frame, frame});
    }
    void show_background_pass() override {
        if (tap_) tap_->show_background_pass();
        if (changed(label_, kBackgroundLabel)) queue({Shown::Background, 0});
    }
    CheckPoint check_point() override {
        if (tap_) tap_->check_point();
        const int requests = requests_.load(std::memory_order_relaxed);
        if (requests == 0) return CheckPoint::Continue;
        return requests & kStopRequested ? CheckPoint::Stop : CheckPoint::Exit;
    }

private:
    static constexpr int kBackgroundLabel = -1;  // Label9 shows the background pass, not a frame

    static bool changed(int& shown, int now) {
        if (shown == now) return false;
        shown = now;
        return true;
    }
    void queue(Shown change) {
        std::lock_guard lock(owner_.shown_mutex_);
        owner_.shown_.push_back(change);
        if (std::exchange(owner_.shown_posted_, true)) return;
        RunController& owner = owner_;
        const unsigned run = run_;
        QMetaObject::invokeMethod(&owner_.events_, [&owner, run] { owner.take_shown(run); }, Qt::QueuedConnection);
    }

    RunController& owner_;
    const std::atomic<int>& requests_;
    const unsigned run_;
    RunObserver* const tap_;
    int frame_bar_ = -1, total_bar_ = -1, percent_ = -1, label_ = 0;
};

namespace {

// Why a run failed: the system's reason, or the failure's own words when it has no error code.
QString failure_reason(const RunResult& result) {
    return result.error ? reason_text(result.error) : text_of(result.detail);
}

}  // namespace

QColor colour_of(std::uint32_t value) {
    if (value & 0x80000000u) return QPalette().color(QPalette::ToolTipBase);  // a system colour
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

RunController::RunController(const Controls& controls, Platform& platform, MessageBoxes& boxes,
                             SaveLocation& location, const AboutFace& about)
    : c_(controls), platform_(platform), boxes_(boxes), location_(location), about_(about) {}

RunController::~RunController() {
    requests_ |= kStopRequested;
    if (thread_.joinable()) thread_.join();
}

QString RunController::idle_caption() {
    return tr("                 СТАРТ                 (Создаём анимированный GIF) ");
}

void RunController::set_command1_colour(std::uint32_t colour) {
    command1_colour_ = colour;
    c_.Command1->set_colour(colour_of(colour));
}

void RunController::reset() {
    c_.Timer1->stop();
    run_active_ = false;
}

void RunController::clear_progress() {
    show_strip(c_.Picture1, kFirstStrip);
    show_strip(c_.Picture2, kFirstStrip);
}

void RunController::window_closed() {
    window_open_ = false;
    requests_ |= kExitRequested;
}

void RunController::message(const QString& title, const QString& text) {
    if (!quiet_) boxes_.show(title, text, Platform::Icon::Warning);
}

void RunController::update_repeat_tooltip() {
    if (pattern_.reference_size <= 0) {
        c_.Check4->setToolTip(QString());
        return;
    }
    c_.Check4->setToolTip(
        tr("узор %1, размер %2").arg(text_of(format_pattern(pattern_))).arg(static_cast<int>(pattern_.reference_size)));
}

void RunController::Command1_Click() {
    // A stopped run is still ending (removing its file): a press now does nothing.
    if (running() && !run_active_) return;

    c_.Check4->setEnabled(true);
    if (renew_unless_repeating(pattern_, c_.Check4->isChecked(), platform_.seconds_since_midnight()))
        update_repeat_tooltip();

    if (run_active_) {  // Stop: the run notices at its next check point
        requests_ |= kStopRequested;
        c_.Command1->setText(idle_caption());
        c_.Command1->setEnabled(false);
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
    c_.Command1->setText(tr("СТОП"));

    const RunNumbers numbers = validate_run_numbers(bytes_of(c_.Text1->text()), bytes_of(c_.Text2->text()));
    if (!numbers.accepted()) {
        const QString why = numbers.rejection == Rejection::TooManyFrames
                                ? tr("Количество картинок не должно превышать 100.")
                            : numbers.rejection == Rejection::TooFewFrames
                                ? tr("Количество картинок должно быть не меньше, чем одна.")
                            : numbers.rejection == Rejection::TooLarge
                                ? tr("Ширина и высота картинок не должны привышать 1000 пикселей.")
                                : tr("Ширина и высота картинок должны быть не меньше, чем 10 пикселей.");
        message(tr("Ошибочка"), why);
        run_active_ = false;
        c_.Timer1->stop();
        c_.Command1->setText(idle_caption());
        set_command1_colour(kNormalColour);
        return;
    }

    settle_run_pattern(pattern_, c_.Check4->isChecked(), numbers.picture_size, platform_.seconds_since_midnight());
    update_repeat_tooltip();

    request_.pattern = pattern_;
    request_.frame_count = numbers.frame_count;
    request_.picture_size = numbers.picture_size;
    request_.transparent = c_.Check3->isChecked();
    request_.file_system = &platform_.file_system();
    output_path_ = c_.Text3->text();
    request_.output_path = QFile::encodeName(output_path_).toStdString();
    c_.window->setWindowTitle(tr("Vuzuduzi-2 - Создание файла ") + output_path_);

    if (!c_.Check1->isChecked()) {
        rty();
        return;
    }
    run_with(true);
}

void RunController::rty() {
    if (running()) return;  // one run at a time, however this is reached
    c_.window->setWindowTitle(tr("Vuzuduzi-2 - Создание файла ") + output_path_);
    run_with(false);
}

void RunController::run_with(bool compressed) {
    request_.compressed = compressed;
    requests_ = window_open_ ? 0 : kExitRequested;
    {
        std::lock_guard lock(shown_mutex_);
        shown_.clear();
        shown_posted_ = false;
    }
    const unsigned run = ++run_number_;
    // A thread that cannot be started (too many threads, no memory) fails
    // the run like a file that cannot be written.
    try {
        thread_ = std::thread([this, run, request = request_] {
            Relay relay(*this, run);
            const RunResult result = run_generation(request, relay);
            QMetaObject::invokeMethod(&events_, [this, result] { run_ended(result); }, Qt::QueuedConnection);
        });
    } catch (const std::exception& failure) {
        RunResult failed;
        failed.outcome = RunOutcome::Failed;
        if (const auto* system = dynamic_cast<const std::system_error*>(&failure))
            failed.error = system->code();
        else
            failed.detail = failure.what();
        finish_run(failed);
    }
}

void RunController::run_ended(const RunResult& result) {
    thread_.join();
    ending_ = true;
    // Nobody reads a message after a signal; otherwise it waits for an open box.
    if (quiet_)
        finish_run(result);
    else
        boxes_.when_none_open([this, result] { finish_run(result); });
}

// What the run's end says, then the one way back to idle.
void RunController::finish_run(const RunResult& result) {
    ending_ = false;
    switch (result.outcome) {
        case RunOutcome::Completed:
            break;
        case RunOutcome::FileExists:
            message(tr("Ошибка"), tr("В этой папке уже есть такой файл :") + kCrLf + output_path_ + '.');
            break;
        case RunOutcome::Failed:
        case RunOutcome::Refused:
            message(tr("Ошибка"), tr("Не удалось записать файл :") + kCrLf + output_path_ + kCrLf +
                                      (result.outcome == RunOutcome::Refused ? refusal_text(result.refusal)
                                                                             : failure_reason(result)));
            break;
        case RunOutcome::Stopped:
            message(tr("Операция прервана"), tr("Процесс был прерван.") + kCrLf + tr("Сохранение не произошло."));
            break;
        case RunOutcome::Exited:
            if (!terminating_)
                message(tr("Выход из программы"), tr("Процесс не был завершён.") + kCrLf + tr("Сохранение не произошло."));
            terminate_program();
            return;
    }

    c_.Timer1->stop();
    set_command1_colour(kNormalColour);
    c_.Command1->setEnabled(true);
    if (!window_open_) {
        // Closed after the run's last check point: its file is complete, and nobody is there.
        terminate_program();
        return;
    }
    if (result.outcome == RunOutcome::Stopped) return;  // the Stop press already showed idle

    c_.Label7->clear();
    c_.Label9->clear();
    show_strip(c_.Picture1, kFirstStrip);
    show_strip(c_.Picture2, kFirstStrip);
    c_.window->setWindowTitle(kTitle);
    c_.Command1->setText(idle_caption());
    location_.show_files();
    run_active_ = false;
    location_.propose_next_name();
    if (result.outcome == RunOutcome::Completed) {
        if (c_.Check5->isChecked())
            open_for_viewing();
        else
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
    show_progress_strip(picture, identifier);
}

void RunController::take_shown(unsigned run) {
    if (run != run_number_) return;  // an earlier run's look, due after it ended
    std::vector<Shown> changes;
    {
        std::lock_guard lock(shown_mutex_);
        changes.swap(shown_);
        // With nothing new, or nothing to show it for, the next change posts at once.
        shown_posted_ = !changes.empty() && run_active_;
    }
    // After a Stop press nothing of the stopped run is shown any more.
    if (!run_active_ || changes.empty()) return;
    for (const Shown& change : changes) {
        switch (change.what) {
            case Shown::FrameBar: show_strip(c_.Picture1, kFirstStrip + change.value); break;
            case Shown::TotalBar: show_strip(c_.Picture2, kFirstStrip + change.value); break;
            case Shown::Percent: c_.Label7->setText(tr("%1 %  готово").arg(change.value)); break;
            case Shown::Frame: c_.Label9->setText(tr("Создаётся картинка  №  %1").arg(change.value)); break;
            case Shown::Background: c_.Label9->setText(tr("Рисуется фон")); break;
        }
    }
    // What comes in the meantime is taken at the next look: the window wakes
    // for the run at most this often, whatever its pace.
    QTimer::singleShot(kLookInterval, &events_, [this, run] { take_shown(run); });
}

void RunController::got() {
    const QFileInfo file(output_path_);
    const int separator = output_path_.lastIndexOf('/');
    const QString folder = separator >= 0 ? output_path_.left(separator) : QString();
    boxes_.show(tr("Vuzuduzi-2 - Ура!"),
                tr("Файл  готов!  Его  имя:   \"") + file.fileName() + '"' + kCrLf + tr("Местонахождение:   ") + folder,
                Platform::Icon::None);
}

void RunController::open_for_viewing() { platform_.open_file(output_path_); }

}  // namespace vz
