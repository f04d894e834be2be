// Start and Stop, validation, progress and the end of a run, through the
// real window, with the run on its own thread.
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <sys/resource.h>

#include "app/system_reasons.h"
#include "as_nobody.h"
#include "decoded_gif.h"
#include "window_fixture.h"

namespace vz::test {
namespace {

const QString kStopped = QStringLiteral("Процесс был прерван.\r\nСохранение не произошло.");

TEST_F(WindowTest, ValidationMessagesComeOneAtATimeAndLeaveTheButtonIdle) {
    Form1& form = open_window();
    EXPECT_FALSE(ui(form).Check4->isEnabled());
    const QString too_few = QStringLiteral("Количество картинок должно быть не меньше, чем одна."),
                  too_many = QStringLiteral("Количество картинок не должно превышать 100."),
                  too_small = QStringLiteral("Ширина и высота картинок должны быть не меньше, чем 10 пикселей."),
                  too_large = QStringLiteral("Ширина и высота картинок не должны привышать 1000 пикселей.");
    const std::tuple<const char*, const char*, QString> cases[] = {
        {"abc", "40", too_few}, {"0", "5000", too_few},  {"101", "40", too_many},
        {"3", "9", too_small},  {"3", "1001", too_large}, {"2,9", "abc", too_small}};
    for (const auto& [count, size, message] : cases) {
        platform_.messages.clear();
        ui(form).Text1->setText(count);
        ui(form).Text2->setText(size);
        ui(form).Command1->click();
        ASSERT_EQ(platform_.messages.size(), 1u) << count << " " << size;
        EXPECT_EQ(platform_.messages[0].title, QStringLiteral("Ошибочка"));
        EXPECT_EQ(platform_.messages[0].text, message);
        EXPECT_EQ(platform_.messages[0].icon, Platform::Icon::Warning);
        EXPECT_EQ(ui(form).Command1->text(), Form1::idle_caption());
        EXPECT_FALSE(ui(form).Timer1->isActive());
        EXPECT_FALSE(form.running());
        EXPECT_EQ(form.command1_colour(), kNormalColour);
        EXPECT_TRUE(ui(form).Check4->isEnabled());
    }
    EXPECT_TRUE(files().isEmpty());
}

TEST_F(WindowTest, StartWritesTheProposedFileReportsItAndProposesTheNext) {
    Form1& form = open_window();
    ASSERT_EQ(ui(form).Text3->text(), in_folder("Kvel_1.GIF"));
    press_start_and_wait();
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].title, QStringLiteral("Vuzuduzi-2 - Ура!"));
    EXPECT_EQ(platform_.messages[0].text,
              QStringLiteral("Файл  готов!  Его  имя:   \"Kvel_1.GIF\"\r\nМестонахождение:   ") + folder_);
    EXPECT_EQ(platform_.messages[0].icon, Platform::Icon::None);
    EXPECT_EQ(ui(form).Text3->text(), in_folder("Kvel_2.GIF"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Vuzuduzi-2"));
    EXPECT_EQ(ui(form).Command1->text(), Form1::idle_caption());
    EXPECT_TRUE(ui(form).Label7->text().isEmpty());
    EXPECT_TRUE(ui(form).Label9->text().isEmpty());
    EXPECT_EQ(ui(form).File1->count(), 1);
    // A picture being written (hidden until done) is not listed.
    touch(".Kvel_2.GIF.part");
    form.Dir1_Change();
    EXPECT_EQ(ui(form).File1->count(), 1);

    const DecodedGif gif = decode_gif(read_file(in_folder("Kvel_1.GIF").toStdString()));
    EXPECT_EQ(gif.width, 40);
    EXPECT_EQ(gif.frames.size(), 3u);
    EXPECT_EQ(gif.frames[0].delay, 50);
}

TEST_F(WindowTest, CompletionOpensTheFileInsteadWhenAsked) {
    Form1& form = open_window();
    ui(form).Check5->setChecked(true);
    press_start_and_wait();
    EXPECT_TRUE(platform_.messages.empty());
    EXPECT_EQ(platform_.opened_files, QStringList{in_folder("Kvel_1.GIF")});

    // The file list opens what was clicked, also without a message.
    ui(form).File1->setCurrentRow(0);
    form.File1_Click();
    form.File1_DblClick();
    EXPECT_EQ(platform_.opened_files.back(), in_folder("Kvel_1.GIF"));
}

TEST_F(WindowTest, RunsMatchTheBatchToolByteForByte) {
    Form1& form = open_window();
    ui(form).Text1->setText("4");
    ui(form).Check3->setChecked(true);
    for (bool compressed : {true, false}) {
        ui(form).Check1->setChecked(compressed);
        const QString path = ui(form).Text3->text();
        press_start_and_wait();
        RunRequest same;
        same.pattern = form.pattern();
        same.frame_count = 4;
        same.picture_size = 40;
        same.compressed = compressed;
        same.transparent = true;
        same.output_path = (folder_ + (compressed ? "/batch-c.gif" : "/batch-u.gif")).toStdString();
        SilentRunObserver quiet;
        ASSERT_EQ(run_generation(same, quiet).outcome, RunOutcome::Completed);
        EXPECT_EQ(read_file(path.toStdString()), read_file(same.output_path)) << compressed;
    }
}

TEST_F(WindowTest, ExistingFileIsReportedLeftAloneAndTheNextNameProposed) {
    Form1& form = open_window();
    touch("Kvel_1.GIF", "mine");
    press_start_and_wait();
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].title, QStringLiteral("Ошибка"));
    EXPECT_EQ(platform_.messages[0].text,
              QStringLiteral("В этой папке уже есть такой файл :\r\n") + in_folder("Kvel_1.GIF") + '.');
    EXPECT_EQ(read("Kvel_1.GIF"), QByteArray("mine"));
    EXPECT_EQ(ui(form).Text3->text(), in_folder("Kvel_2.GIF"));

    // The next run reports normally again.
    press_start_and_wait();
    EXPECT_EQ(platform_.messages.back().title, QStringLiteral("Vuzuduzi-2 - Ура!"));
}

TEST_F(WindowTest, AFileThatCannotBeWrittenIsReportedInRussianAndNothingIsLeft) {
    Form1& form = open_window();
    touch("plain");
    const std::pair<QString, QString> cases[] = {
        {folder_ + "/missing/picture.gif", QStringLiteral("Такой папки нет")},
        {folder_ + '/' + QString(300, 'n') + ".gif", QStringLiteral("Слишком длинное имя файла")},
        {folder_ + "/plain/picture.gif", QString::fromLocal8Bit(std::strerror(ENOTDIR))},  // no translation
        {QString(), QStringLiteral("Такой папки нет")},  // an empty path is refused the same way
    };
    for (const auto& [path, reason] : cases) {
        platform_.messages.clear();
        ui(form).Text3->setText(path);
        press_start_and_wait();
        ASSERT_EQ(platform_.messages.size(), 1u) << path;
        EXPECT_EQ(platform_.messages[0].title, QStringLiteral("Ошибка"));
        EXPECT_EQ(platform_.messages[0].text, QStringLiteral("Не удалось записать файл :\r\n") + path + "\r\n" + reason);
        EXPECT_EQ(ui(form).Command1->text(), Form1::idle_caption());
        EXPECT_EQ(ui(form).Text3->text(), in_folder("Kvel_1.GIF"));
        EXPECT_EQ(files(), QStringList{"plain"});
    }
}

// A failure without a system reason, such as a library's exception, shows
// its own words.
TEST_F(WindowTest, AFailureWithoutASystemReasonShowsItsOwnWords) {
    Form1& form = open_window();
    platform_.sync.failure = [] { throw std::runtime_error("disk said no"); };
    press_start_and_wait();
    platform_.sync.failure = nullptr;
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].text,
              QStringLiteral("Не удалось записать файл :\r\n") + in_folder("Kvel_1.GIF") + "\r\ndisk said no");
    EXPECT_EQ(ui(form).Command1->text(), Form1::idle_caption());
    EXPECT_EQ(files(), QStringList());
}

// A run whose thread cannot be started fails like a file that cannot be
// written, and the next press works. Root may start any number of threads.
TEST_F(WindowTest, ARunWhoseThreadCannotStartIsReportedAndTheWindowIsIdleAgain) {
    if (!runs_unprivileged()) return;  // as root: run and checked in a child that is nobody
    Form1& form = open_window();
    rlimit threads = {};
    ::getrlimit(RLIMIT_NPROC, &threads);
    const rlimit none = {0, threads.rlim_max};
    ::setrlimit(RLIMIT_NPROC, &none);
    ui(form).Command1->click();
    ::setrlimit(RLIMIT_NPROC, &threads);
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].text, QStringLiteral("Не удалось записать файл :\r\n") + in_folder("Kvel_1.GIF") +
                                              "\r\n" + QString::fromLocal8Bit(std::strerror(EAGAIN)));
    press_start_and_wait();
    EXPECT_EQ(files(), QStringList{"Kvel_1.GIF"});
}

TEST(SystemReasons, RussianForTheCommonCasesAndTheSystemsOtherwise) {
    for (int error : {ENOSPC, EACCES, EPERM, EROFS, ENOENT, ENAMETOOLONG, EDQUOT, EIO, EEXIST}) {
        const QString reason = reason_text(std::error_code(error, std::generic_category()));
        EXPECT_NE(reason, QString::fromLocal8Bit(std::strerror(error))) << error;
        EXPECT_TRUE(reason.contains(QRegularExpression(QStringLiteral("^[А-Яа-яё -]+$")))) << reason.toStdString();
    }
    EXPECT_EQ(reason_text(std::error_code(EXDEV, std::generic_category())),
              QString::fromLocal8Bit(std::strerror(EXDEV)));
}

// How many blocks a progress strip shows filled.
int blocks_shown(const QLabel* strip) {
    const QImage image = strip->pixmap().toImage();
    int blocks = 0;
    for (int x = 2; x < image.width(); x += 9) blocks += image.pixelColor(x, 6) == QColor(178, 180, 191);
    // A screen reader is told the same, as the strip's progress bar value.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(const_cast<QLabel*>(strip))->valueInterface()->currentValue().toInt(), blocks);
    return blocks;
}

// Where a run is held while the user acts: at the start of the compressed
// drawing pass, at a check point of a writing pass, or inside the sync.
struct HoldPoint {
    const char* name;
    bool compressed;
    const char* event;  // "frame 1", "check" or "sync"
    int n;
    int checks_when_stopped;  // check points taken when a stop is reported; 0: any
};
const HoldPoint kHoldPoints[] = {
    {"drawing", true, "frame 1", 1, 1},  // the drawing pass has no check points: the first row notices
    {"encoding", true, "check", 30, 0},
    {"background", false, "check", 3, 0},
    {"painting", false, "check", 2000, 0},
    {"compressed sync", true, "sync", 1, 0},
    {"uncompressed sync", false, "sync", 1, 0},
};

class HeldRunTest : public WindowTest {
protected:
    // Presses Start and returns once the run is held at `point`; the events
    // the run has sent so far wait in the queue.
    void start_and_hold(Form1& form, const HoldPoint& point) {
        ui(form).Check1->setChecked(point.compressed);
        Hold& hold = std::string(point.event) == "sync" ? platform_.sync.hold : platform_.gate.hold;
        if (&hold == &platform_.sync.hold)
            hold.arm();
        else
            platform_.gate.hold_at(point.event, point.n);
        held_ = &hold;
        checks_before_ = platform_.gate.checks;
        ui(form).Command1->click();
        ASSERT_TRUE(hold.wait_held()) << point.name;
    }
    int checks_taken() const { return platform_.gate.checks - checks_before_; }
    Hold* held_ = nullptr;
    int checks_before_ = 0;
};

// Stop, then Start before the stopped run has ended: the second press does
// nothing at all, nothing of the stopped run is shown after the Stop, and
// «Операция прервана» comes once its file is gone.
TEST_F(HeldRunTest, StopThenStartWhileTheStoppedRunEndsDoesNothing) {
    Form1& form = open_window();
    ui(form).Text1->setText("2");
    for (const HoldPoint& point : kHoldPoints) {
        platform_.messages.clear();
        start_and_hold(form, point);
        EXPECT_EQ(ui(form).Command1->text(), QStringLiteral("СТОП"));
        platform_.clock = 1000.5f;
        ui(form).Command1->click();  // Stop
        const PatternParameters after_stop = form.pattern();
        const QString tooltip = ui(form).Check4->toolTip();
        EXPECT_FALSE(ui(form).Command1->isEnabled()) << point.name;
        platform_.clock = 2000.5f;
        ui(form).Command1->click();  // Start, refused while the run ends
        form.Command1_Click();
        EXPECT_EQ(form.pattern(), after_stop) << point.name;
        EXPECT_EQ(ui(form).Check4->toolTip(), tooltip) << point.name;
        // What the run sent before it was held is not shown any more.
        QCoreApplication::processEvents();
        EXPECT_TRUE(ui(form).Label7->text().isEmpty()) << point.name;
        EXPECT_TRUE(ui(form).Label9->text().isEmpty()) << point.name;
        EXPECT_EQ(blocks_shown(ui(form).Picture1) + blocks_shown(ui(form).Picture2), 0) << point.name;
        EXPECT_TRUE(platform_.messages.empty());
        int files_when_reported = -1, checks_when_reported = -1;
        platform_.on_message = [&](const FakePlatform::Message&) {
            files_when_reported = static_cast<int>(files().size());
            checks_when_reported = checks_taken();
        };
        held_->release();
        run_to_end();
        platform_.on_message = nullptr;
        ASSERT_EQ(platform_.messages.size(), 1u) << point.name;
        EXPECT_EQ(platform_.messages[0].title, QStringLiteral("Операция прервана"));
        EXPECT_EQ(platform_.messages[0].text, kStopped);
        EXPECT_EQ(files_when_reported, 0) << point.name;
        if (point.checks_when_stopped) {
            EXPECT_EQ(checks_when_reported, point.checks_when_stopped) << point.name;
        }
        EXPECT_TRUE(files().isEmpty()) << files().join(",");
        EXPECT_TRUE(ui(form).Command1->isEnabled());
        EXPECT_EQ(ui(form).Command1->text(), Form1::idle_caption());
        EXPECT_FALSE(ui(form).Timer1->isActive());
        EXPECT_EQ(form.command1_colour(), kNormalColour);
        EXPECT_EQ(ui(form).Command1->palette().color(QPalette::Button), QColor(0xFF, 0xFF, 0xEE));
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Vuzuduzi-2"));
        EXPECT_TRUE(ui(form).Label7->text().isEmpty()) << point.name;
        EXPECT_EQ(ui(form).Text3->text(), in_folder("Kvel_1.GIF"));
    }
}

// Closing during a run: the settings are stored first, then the run ends
// and removes its file, then «Выход из программы» shows, then the program quits.
TEST_F(HeldRunTest, ClosingDuringARunStoresTheSettingsThenEndsTheRunThenSaysSo) {
    for (const HoldPoint& point : kHoldPoints) {
        Form1& form = open_window();
        platform_.messages.clear();
        platform_.quits = 0;
        ui(form).Text1->setText("7");
        start_and_hold(form, point);
        form.close();
        EXPECT_EQ(QString::fromStdString(QtSettingsStore().read("tem", "col", "?")), QStringLiteral("7"));
        EXPECT_EQ(platform_.quits, 0);
        int files_when_reported = -1;
        platform_.on_message = [&](const FakePlatform::Message&) { files_when_reported = static_cast<int>(files().size()); };
        held_->release();
        run_to_end();
        platform_.on_message = nullptr;
        ASSERT_EQ(platform_.messages.size(), 1u) << point.name;
        EXPECT_EQ(platform_.messages[0].title, QStringLiteral("Выход из программы"));
        EXPECT_EQ(platform_.messages[0].text, QStringLiteral("Процесс не был завершён.\r\nСохранение не произошло."));
        EXPECT_EQ(files_when_reported, 0) << point.name;
        EXPECT_EQ(platform_.quits, 1) << point.name;
        settings_->write("tem", "col", "3");
    }
}

// While the disk takes its time, the window answers: the About face opens
// and the help can be read. The run's message waits for the help box.
TEST_F(HeldRunTest, DuringASlowSyncTheWindowAnswersAndTheEndWaitsForAnOpenBox) {
    Form1& form = open_window();
    start_and_hold(form, kHoldPoints[4]);
    ui(form).Command3->click();
    EXPECT_TRUE(form.about_shown());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Vuzuduzi-2 - О программе"));
    ui(form).Command7->click();
    platform_.on_message = [&](const FakePlatform::Message& box) {
        if (box.title != QStringLiteral("Как работать с программой")) return;
        held_->release();
        // The help stays open until the run's file is in place, and a while longer.
        EXPECT_TRUE(serve_events_until([&] { return files() == QStringList{"Kvel_1.GIF"}; }));
        serve_events_for(200);
    };
    ui(form).Command2->click();
    platform_.on_message = nullptr;
    run_to_end();
    ASSERT_EQ(platform_.messages.size(), 2u);
    EXPECT_EQ(platform_.messages[1].title, QStringLiteral("Vuzuduzi-2 - Ура!"));
}

TEST_F(HeldRunTest, AStopPressDrawsANewPatternThatARepeatThenUses) {
    Form1& form = open_window();
    press_start_and_wait();  // an accepted run: reference size 40
    const PatternParameters first = form.pattern();
    ui(form).Text2->setText("60");
    start_and_hold(form, kHoldPoints[1]);
    platform_.clock = 1234.5678f;
    ui(form).Command1->click();
    held_->release();
    run_to_end();
    const PatternParameters after_stop = form.pattern();
    EXPECT_EQ(format_pattern(after_stop).substr(0, 4), "4567");
    EXPECT_EQ(after_stop.reference_size, 60);  // the stopped run's size
    EXPECT_NE(after_stop, first);

    ui(form).Check4->setChecked(true);
    press_start_and_wait();
    EXPECT_EQ(form.pattern(), after_stop);
    EXPECT_EQ(ui(form).Check4->toolTip(),
              QStringLiteral("узор ") + QString::fromStdString(format_pattern(after_stop)) + QStringLiteral(", размер 60"));
}

TEST_F(WindowTest, RepeatGivesTheSamePictureAndARepeatBeforeAnyRunDrawsANewOne) {
    Form1& form = open_window();
    ui(form).Text1->setText("0");
    ui(form).Command1->click();  // rejected: no picture yet, but the box is now usable
    ui(form).Text1->setText("2");
    ui(form).Check4->setChecked(true);
    press_start_and_wait();  // a repeat with nothing to repeat: a new picture
    EXPECT_EQ(form.pattern().reference_size, 40);
    EXPECT_EQ(form.pattern().twist_digit, 6);
    platform_.clock = 100.25f;
    press_start_and_wait();
    EXPECT_EQ(read("Kvel_1.GIF"), read("Kvel_2.GIF"));
}

TEST_F(HeldRunTest, TheButtonFlashesWhileRunning) {
    Form1& form = open_window();
    EXPECT_EQ(form.command1_colour(), kInfoBackgroundColour);
    start_and_hold(form, kHoldPoints[1]);
    EXPECT_TRUE(ui(form).Timer1->isActive());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Vuzuduzi-2 - Создание файла ") + in_folder("Kvel_1.GIF"));
    std::vector<std::uint32_t> seen;
    for (int tick = 0; tick < 2; ++tick) {
        form.Timer1_Timer();
        seen.push_back(form.command1_colour());
        // What the button shows, not only the value kept for it.
        EXPECT_EQ(ui(form).Command1->palette().color(QPalette::Button), colour_of(form.command1_colour()));
    }
    // The timer itself flashes it, on the window thread while the run is held.
    ui(form).Timer1->setInterval(1);
    EXPECT_TRUE(serve_events_until([&] { return form.command1_colour() == kFlashColour; }));
    form.rty();  // a run is going: nothing
    held_->release();
    run_to_end();
    EXPECT_EQ(files(), QStringList{"Kvel_1.GIF"});
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{kFlashColour, kInfoBackgroundColour}));
    EXPECT_EQ(form.command1_colour(), kNormalColour);
    form.Timer1_Timer();  // a later run's first tick leaves the normal colour
    EXPECT_EQ(form.command1_colour(), kInfoBackgroundColour);
}

// What the labels and strips show with the run held at a check point, once
// the run's events have been served, and after the run.
TEST_F(HeldRunTest, ProgressShowsWhereTheRunIsAndClearsAtTheEnd) {
    Form1& form = open_window();
    ui(form).Text1->setText("2");
    struct Case {
        HoldPoint at;
        QString label9, label7;
        int frame_blocks, total_blocks;
        bool stop = false;  // Stop, then look before the run ends
    };
    const Case cases[] = {
        // Row 9 of frame 1 (40 rows): rows 1-8 are done, 8/80 of the run.
        {{"row 9", true, "check", 9, 0}, "Создаётся картинка  №  1", "10 %  готово", 6, 3},
        // The second of frame 1's six background blocks.
        {{"background", false, "check", 2, 0}, "Рисуется фон", "0 %  готово", 10, 5},
        // The sync: everything is written.
        {{"sync", true, "sync", 1, 0}, "Создаётся картинка  №  2", "100 %  готово", 32, 32},
        {{"row 9, Stop", true, "check", 9, 0}, "Создаётся картинка  №  1", "10 %  готово", 6, 3, true},
    };
    for (const Case& c : cases) {
        start_and_hold(form, c.at);
        serve_events_until([&] { return ui(form).Label7->text() == c.label7; });
        EXPECT_EQ(ui(form).Label9->text(), c.label9) << c.at.name;
        EXPECT_EQ(ui(form).Label7->text(), c.label7) << c.at.name;
        EXPECT_EQ(blocks_shown(ui(form).Picture1), c.frame_blocks) << c.at.name;
        EXPECT_EQ(blocks_shown(ui(form).Picture2), c.total_blocks) << c.at.name;
        if (c.stop) ui(form).Command1->click();
        held_->release();
        run_to_end();
        EXPECT_TRUE(ui(form).Label7->text().isEmpty());
        EXPECT_TRUE(ui(form).Label9->text().isEmpty());
        EXPECT_EQ(blocks_shown(ui(form).Picture1), 0);
        EXPECT_EQ(blocks_shown(ui(form).Picture2), 0);
    }
}

TEST_F(WindowTest, ClosingWhenIdleEndsTheProgramWithoutMessages) {
    Form1& form = open_window();
    ui(form).Command4->click();
    EXPECT_TRUE(platform_.messages.empty());
    EXPECT_EQ(platform_.quits, 1);
    EXPECT_FALSE(form.window_open());
}

}  // namespace
}  // namespace vz::test
