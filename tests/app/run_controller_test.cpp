// Start and Stop, validation, progress, check points and the end of a run,
// through the real window.
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "app/system_reasons.h"
#include "decoded_gif.h"
#include "run/run_values.h"
#include "window_fixture.h"

namespace vz::test {
namespace {

const QString kStopped = QStringLiteral("Процесс был прерван.\r\nСохранение не произошло.");

TEST_F(WindowTest, ValidationMessagesComeOneAtATimeAndLeaveTheButtonIdle) {
    Form1& form = open_window();
    EXPECT_FALSE(ui(form).Check4->isEnabled());
    const std::tuple<const char*, const char*, std::string_view> cases[] = {
        {"abc", "40", kTooFewFrames}, {"0", "5000", kTooFewFrames}, {"101", "40", kTooManyFrames},
        {"3", "9", kTooSmall},        {"3", "1001", kTooLarge},     {"2,9", "abc", kTooSmall}};
    for (const auto& [count, size, message] : cases) {
        platform_.messages.clear();
        ui(form).Text1->setText(count);
        ui(form).Text2->setText(size);
        ui(form).Command1->click();
        ASSERT_EQ(platform_.messages.size(), 1u) << count << " " << size;
        EXPECT_EQ(platform_.messages[0].title, QStringLiteral("Ошибочка"));
        EXPECT_EQ(platform_.messages[0].text.toStdString(), message);
        EXPECT_EQ(platform_.messages[0].icon, Platform::Icon::Warning);
        EXPECT_EQ(ui(form).Command1->text(), Form1::kIdleCaption);
        EXPECT_FALSE(ui(form).Timer1->isActive());
        EXPECT_FALSE(form.run_active());
        EXPECT_EQ(form.command1_colour(), kNormalColour);
        EXPECT_TRUE(ui(form).Check4->isEnabled());
    }
    EXPECT_TRUE(files().isEmpty());
}

TEST_F(WindowTest, StartWritesTheProposedFileReportsItAndProposesTheNext) {
    Form1& form = open_window();
    ASSERT_EQ(ui(form).Text3->text(), in_folder("Kvel_1.GIF"));
    ui(form).Command1->click();
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].title, QStringLiteral("Vuzuduzi-2 - Ура!"));
    EXPECT_EQ(platform_.messages[0].text,
              QStringLiteral("Файл  готов!  Его  имя:   \"Kvel_1.GIF\"\r\nМестонахождение:   ") + folder_);
    EXPECT_EQ(platform_.messages[0].icon, Platform::Icon::None);
    EXPECT_EQ(ui(form).Text3->text(), in_folder("Kvel_2.GIF"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Vuzuduzi-2"));
    EXPECT_EQ(ui(form).Command1->text(), Form1::kIdleCaption);
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
    ui(form).Command1->click();
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
        ui(form).Command1->click();
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
    ui(form).Command1->click();
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].title, QStringLiteral("Ошибка"));
    EXPECT_EQ(platform_.messages[0].text,
              QStringLiteral("В этой папке уже есть такой файл :\r\n") + in_folder("Kvel_1.GIF") + '.');
    EXPECT_EQ(read("Kvel_1.GIF"), QByteArray("mine"));
    EXPECT_EQ(ui(form).Text3->text(), in_folder("Kvel_2.GIF"));

    // The next run reports normally again.
    ui(form).Command1->click();
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
        ui(form).Command1->click();
        ASSERT_EQ(platform_.messages.size(), 1u) << path;
        EXPECT_EQ(platform_.messages[0].title, QStringLiteral("Ошибка"));
        EXPECT_EQ(platform_.messages[0].text, QStringLiteral("Не удалось записать файл :\r\n") + path + "\r\n" + reason);
        EXPECT_FALSE(form.run_active());
        EXPECT_EQ(ui(form).Command1->text(), Form1::kIdleCaption);
        EXPECT_EQ(ui(form).Text3->text(), in_folder("Kvel_1.GIF"));
        EXPECT_EQ(files(), QStringList{"plain"});
    }
}

TEST_F(WindowTest, SystemReasonsAreRussianForTheCommonCasesAndTheSystemsOtherwise) {
    for (int error : {ENOSPC, EACCES, EPERM, EROFS, ENOENT, ENAMETOOLONG, EDQUOT, EIO, EEXIST}) {
        const QString reason = reason_text(error);
        EXPECT_NE(reason, QString::fromLocal8Bit(std::strerror(error))) << error;
        EXPECT_TRUE(reason.contains(QRegularExpression(QStringLiteral("^[А-Яа-яё -]+$")))) << reason.toStdString();
        EXPECT_EQ(reason_text(std::string(std::strerror(error))), reason);
    }
    EXPECT_EQ(reason_text(EXDEV), QString::fromLocal8Bit(std::strerror(EXDEV)));
    EXPECT_EQ(reason_text(std::string("Something else")), QStringLiteral("Something else"));
}

// Counts the event-loop turns of one full run with the window's current settings.
int turns_of_a_run(FakePlatform& platform, Form1& form, const QString& scratch) {
    const QString proposal = ui(form).Text3->text();
    ui(form).Text3->setText(scratch);
    const int before = platform.turns;
    ui(form).Command1->click();
    QFile::remove(scratch);
    platform.messages.clear();
    ui(form).Text3->setText(proposal);
    return platform.turns - before;
}

TEST_F(WindowTest, StopInEveryPassDeletesTheFileAndKeepsTheProposal) {
    Form1& form = open_window();
    ui(form).Text1->setText("2");
    for (bool compressed : {true, false}) {
        ui(form).Check1->setChecked(compressed);
        const int all = turns_of_a_run(platform_, form, root_.filePath("scratch.gif"));
        // Compressed: a turn after each of the 12 rings (M = 40), then one per row.
        // Uncompressed: six background blocks per frame, then ten per ring.
        for (int stop_at : {1, 13, all}) {
            platform_.messages.clear();
            platform_.at_turn = {{platform_.turns + stop_at, [&] { ui(form).Command1->click(); }}};
            ui(form).Command1->click();
            ASSERT_EQ(platform_.messages.size(), 1u) << compressed << " " << stop_at;
            EXPECT_EQ(platform_.messages[0].title, QStringLiteral("Операция прервана"));
            EXPECT_EQ(platform_.messages[0].text, kStopped);
            EXPECT_TRUE(files().isEmpty()) << files().join(",");
            EXPECT_EQ(ui(form).Text3->text(), in_folder("Kvel_1.GIF"));
            EXPECT_EQ(ui(form).Command1->text(), Form1::kIdleCaption);
            EXPECT_FALSE(ui(form).Timer1->isActive());
            EXPECT_EQ(form.command1_colour(), kNormalColour);
            EXPECT_EQ(form.windowTitle(), QStringLiteral("Vuzuduzi-2"));
        }
    }
    platform_.at_turn.clear();
}

TEST_F(WindowTest, StopDuringDrawingIsReportedOnlyWhenEncodingBegins) {
    Form1& form = open_window();
    ui(form).Text1->setText("1");
    int reported_at_turn = -1;
    platform_.on_message = [&](const FakePlatform::Message&) { reported_at_turn = platform_.turns; };
    platform_.at_turn = {{1, [&] { ui(form).Command1->click(); }}};
    ui(form).Command1->click();
    // Rings 0..11 each end with a turn; the first row's check point follows the last.
    EXPECT_EQ(reported_at_turn, 12);
}

TEST_F(WindowTest, StopPressDrawsANewPatternThatARepeatThenUses) {
    Form1& form = open_window();
    ui(form).Command1->click();  // an accepted run: reference size 40
    const PatternParameters first = form.pattern();
    ui(form).Text2->setText("60");
    platform_.at_turn = {{platform_.turns + 1, [&] {
                              platform_.clock = 1234.5678f;
                              ui(form).Command1->click();
                          }}};
    ui(form).Command1->click();
    const PatternParameters after_stop = form.pattern();
    EXPECT_EQ(format_pattern(after_stop).substr(0, 4), "4567");
    EXPECT_EQ(after_stop.reference_size, 60);  // the stopped run's size
    EXPECT_NE(after_stop, first);
    platform_.at_turn.clear();

    ui(form).Check4->setChecked(true);
    ui(form).Command1->click();
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
    ui(form).Command1->click();  // a repeat with nothing to repeat: a new picture
    EXPECT_EQ(form.pattern().reference_size, 40);
    EXPECT_EQ(form.pattern().twist_digit, 6);
    platform_.clock = 100.25f;
    ui(form).Command1->click();
    EXPECT_EQ(read("Kvel_1.GIF"), read("Kvel_2.GIF"));
}

TEST_F(WindowTest, ButtonFlashesWhileRunning) {
    Form1& form = open_window();
    EXPECT_EQ(form.command1_colour(), kInfoBackgroundColour);
    std::vector<std::uint32_t> seen;
    platform_.at_turn = {{1, [&] {
                              EXPECT_TRUE(ui(form).Timer1->isActive());
                              EXPECT_EQ(ui(form).Command1->text(), QStringLiteral("СТОП"));
                              EXPECT_EQ(form.windowTitle(), QStringLiteral("Vuzuduzi-2 - Создание файла ") +
                                                                in_folder("Kvel_1.GIF"));
                              for (int tick = 0; tick < 2; ++tick) {
                                  form.Timer1_Timer();
                                  seen.push_back(form.command1_colour());
                                  // What the button shows, not only the value kept for it.
                                  EXPECT_EQ(ui(form).Command1->palette().color(QPalette::Button),
                                            colour_of(form.command1_colour()));
                              }
                          }}};
    ui(form).Command1->click();
    EXPECT_EQ(seen, (std::vector<std::uint32_t>{kFlashColour, kInfoBackgroundColour}));
    EXPECT_EQ(form.command1_colour(), kNormalColour);
    form.Timer1_Timer();  // a later run's first tick leaves the normal colour
    EXPECT_EQ(form.command1_colour(), kInfoBackgroundColour);
}

TEST_F(WindowTest, ProgressShowsDuringARunAndClearsAtTheEnd) {
    Form1& form = open_window();
    ui(form).Text1->setText("1");
    QStringList labels;
    for (int turn : {1, 20}) platform_.at_turn[turn] = [&] { labels << ui(form).Label9->text() << ui(form).Label7->text(); };
    ui(form).Command1->click();
    EXPECT_EQ(labels, (QStringList{QStringLiteral("Создаётся картинка  №  1"), QStringLiteral("0 %  готово"),
                                   QStringLiteral("Создаётся картинка  №  1"), QStringLiteral("20 %  готово")}));
    EXPECT_TRUE(ui(form).Label7->text().isEmpty());
}

// How many blocks a progress strip shows filled.
int blocks_shown(const QLabel* strip) {
    const QImage image = strip->pixmap().toImage();
    int blocks = 0;
    for (int x = 2; x < image.width(); x += 9) blocks += image.pixelColor(x, 6) == QColor(178, 180, 191);
    return blocks;
}

TEST_F(WindowTest, ProgressStripsFillAsTheRunGoesAndShowNothingWhenIdle) {
    Form1& form = open_window();
    ui(form).Text1->setText("2");
    EXPECT_EQ(blocks_shown(ui(form).Picture1), 0);
    EXPECT_EQ(blocks_shown(ui(form).Picture2), 0);
    for (bool compressed : {true, false}) {
        ui(form).Check1->setChecked(compressed);
        std::vector<int> frame_bar, total_bar;
        platform_.at_turn.clear();
        for (int turn = 1; turn <= 400; ++turn)
            platform_.at_turn[platform_.turns + turn] = [&] {
                frame_bar.push_back(blocks_shown(ui(form).Picture1));
                total_bar.push_back(blocks_shown(ui(form).Picture2));
            };
        ui(form).Command1->click();
        ASSERT_FALSE(total_bar.empty());
        // Uncompressed, the background pass fills the total bar once before painting starts.
        if (compressed) {
            EXPECT_TRUE(std::is_sorted(total_bar.begin(), total_bar.end()));
        }
        EXPECT_GE(total_bar.back(), 16) << compressed;  // the first of two frames is done
        EXPECT_GE(*std::max_element(frame_bar.begin(), frame_bar.end()), 31) << compressed;
        EXPECT_EQ(blocks_shown(ui(form).Picture1), 0);
        EXPECT_EQ(blocks_shown(ui(form).Picture2), 0);
    }
    platform_.at_turn.clear();
}

TEST_F(WindowTest, ClosingDuringARunSavesSettingsFirstThenExitsWithoutAFile) {
    Form1& form = open_window();
    ui(form).Text1->setText("7");
    QString stored_count;
    platform_.on_message = [&](const FakePlatform::Message&) {
        stored_count = QString::fromStdString(QtSettingsStore().read("tem", "col", "?"));
    };
    platform_.at_turn = {{20, [&] { form.close(); }}};
    ui(form).Command1->click();
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].title, QStringLiteral("Выход из программы"));
    EXPECT_EQ(platform_.messages[0].text, QStringLiteral("Процесс не был завершён.\r\nСохранение не произошло."));
    EXPECT_EQ(stored_count, QStringLiteral("7"));
    EXPECT_EQ(platform_.quits, 1);
    EXPECT_TRUE(files().isEmpty());
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
