// Start-up, settings, save location, the small handlers, help and links.
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

#include "decoded_gif.h"
#include "gif/gif_blocks.h"
#include "window_fixture.h"

namespace vz::test {
namespace {

TEST_F(WindowTest, FirstStartWithAnEmptyStore) {
    QFile::remove(settings_->file_name());
    settings_ = std::make_unique<QtSettingsStore>();
    Form1& form = open_window();
    EXPECT_EQ(ui(form).Text1->text(), "3");
    EXPECT_EQ(ui(form).Text2->text(), "323");
    EXPECT_FALSE(ui(form).Check2->isChecked());
    EXPECT_FALSE(ui(form).Check3->isChecked());
    EXPECT_TRUE(ui(form).Check1->isChecked());
    EXPECT_TRUE(ui(form).Check5->isChecked());
    EXPECT_FALSE(ui(form).Check4->isChecked());
    EXPECT_FALSE(ui(form).Check4->isEnabled());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Vuzuduzi-2"));
    EXPECT_EQ(ui(form).Command1->text(), Form1::idle_caption());
    EXPECT_EQ(form.command1_colour(), kInfoBackgroundColour);
    EXPECT_EQ(form.windowIcon().availableSizes(), QList<QSize>{QSize(32, 32)});  // the built-in icon
    EXPECT_TRUE(ui(form).Text3->text().endsWith(QStringLiteral("/Kvel_1.GIF")));
    for (QWidget* hidden : {static_cast<QWidget*>(ui(form).Command7), static_cast<QWidget*>(ui(form).Label10),
                            static_cast<QWidget*>(ui(form).Label15)})
        EXPECT_TRUE(hidden->isHidden());
    // The tune is composed (counters advance) but nothing plays.
    EXPECT_EQ(settings_->read("met", "sol", "?"), "1");
    EXPECT_EQ(settings_->read("met", "fon", "?"), "1");
    EXPECT_EQ(settings_->read("met", "bas", "?"), "1");
    EXPECT_TRUE(platform_.midi.events.empty());
    EXPECT_FALSE(ui(form).Timer3->isActive());
}

TEST_F(WindowTest, SettingsSurviveARestartExactlyAsTyped) {
    QDir(folder_).mkdir("sub");
    Form1& form = open_window();
    ASSERT_TRUE(ui(form).Dir1->set_folder(in_folder("sub")));
    ui(form).Text1->setText("abc");
    ui(form).Text2->setText("77");
    ui(form).Check3->setChecked(true);
    ui(form).Check5->setChecked(true);
    ui(form).Check2->setChecked(true);
    form.move(300, 200);
    form.close();

    QSettings raw(settings_->file_name(), QSettings::IniFormat);
    EXPECT_EQ(raw.value("tem/put").toString(), in_folder("sub"));
    EXPECT_EQ(raw.value("tem/col").toString(), "abc");
    EXPECT_EQ(raw.value("tem/px").toString(), "128");  // the mobile size was showing
    EXPECT_EQ(raw.value("tem/mob").toString(), "1");
    EXPECT_EQ(raw.value("tem/fon").toString(), "1");
    EXPECT_EQ(raw.value("tem/lef").toString(), "4500");
    EXPECT_EQ(raw.value("tem/top").toString(), "3000");
    EXPECT_EQ(raw.value("met/ope").toString(), "1");

    Form1& again = reopen_window();
    EXPECT_EQ(ui(again).Text1->text(), "abc");
    EXPECT_EQ(ui(again).Text2->text(), "128");
    EXPECT_TRUE(ui(again).Check2->isChecked());
    EXPECT_TRUE(ui(again).Check3->isChecked());
    EXPECT_TRUE(ui(again).Check5->isChecked());
    EXPECT_EQ(again.pos(), QPoint(300, 200));
    ui(again).Check2->setChecked(false);  // the size was stored as 128
    EXPECT_EQ(ui(again).Text2->text(), "128");

    // A window that is not moved keeps its stored position to the twip.
    settings_->write("tem", "lef", "3500");
    reopen_window().close();
    EXPECT_EQ(QSettings(settings_->file_name(), QSettings::IniFormat).value("tem/lef").toString(), "3500");
}

TEST_F(WindowTest, HandEditedValuesAreReadLeniently) {
    QSettings(settings_->file_name(), QSettings::IniFormat).setValue("tem/col", QStringList{"7", "8"});  // "col=7, 8"
    settings_ = std::make_unique<QtSettingsStore>();
    settings_->write("tem", "mob", "1 (yes)");
    settings_->write("tem", "fon", "yes");
    settings_->write("met", "ope", "");
    settings_->write("tem", "lef", "1500.9x");
    Form1& form = open_window();
    EXPECT_EQ(ui(form).Text1->text(), "7, 8");
    EXPECT_TRUE(ui(form).Check2->isChecked());
    EXPECT_FALSE(ui(form).Check3->isChecked());
    EXPECT_FALSE(ui(form).Check5->isChecked());
    EXPECT_EQ(form.x(), 100);
}

TEST_F(WindowTest, AWindowOffEveryScreenComesBackOnThePrimaryOne) {
    for (const auto& [left, top] : {std::pair{"900000", "-900000"}, std::pair{"1e400", "-1e300"}}) {
        settings_->write("tem", "lef", left);
        settings_->write("tem", "top", top);
        Form1& form = reopen_window();
        EXPECT_TRUE(QGuiApplication::primaryScreen()->geometry().intersects(form.frameGeometry())) << left;
    }
}

TEST_F(WindowTest, AMissingStoredFolderFallsBackToAWritableOne) {
    settings_->write("tem", "put", (folder_ + "/gone").toStdString());
    Form1& form = open_window();
    const QFileInfo fallback(form.save_folder());
    EXPECT_TRUE(fallback.isDir());
    EXPECT_TRUE(fallback.isWritable());
    EXPECT_EQ(ui(form).Text3->text(), form.save_folder() + "/Kvel_1.GIF");
}

TEST_F(WindowTest, ProposalTakesTheLowestFreeNumberSpelledExactly) {
    touch("Kvel_1.GIF");
    touch("Kvel_3.GIF");
    touch("kvel_2.gif");
    touch("notes.txt");
    touch("x.gifs");
    Form1& form = open_window();
    EXPECT_EQ(ui(form).Text3->text(), in_folder("Kvel_2.GIF"));
    EXPECT_EQ(form.proposed_path(), in_folder("Kvel_2.GIF"));
    QStringList listed;
    for (int i = 0; i < ui(form).File1->count(); ++i) listed << ui(form).File1->item(i)->text();
    EXPECT_EQ(listed, (QStringList{"Kvel_1.GIF", "Kvel_3.GIF", "kvel_2.gif", "x.gifs"}));

    press_start_and_wait();
    press_start_and_wait();
    EXPECT_EQ(ui(form).Text3->text(), in_folder("Kvel_5.GIF"));
}

TEST(SaveLocationTest, NamesCountPastWhereSinglePrecisionStops) {
    // 2^24 + 1 is the first whole number a float cannot hold.
    const std::set<QString> taken = {QStringLiteral("Kvel_16777216.GIF"), QStringLiteral("Kvel_16777217.GIF")};
    const auto [name, number] = SaveLocation::free_name(taken, 16777216);
    EXPECT_EQ(name, QStringLiteral("Kvel_16777218.GIF"));
    EXPECT_EQ(number, 16777218);
    EXPECT_EQ(SaveLocation::free_name({QStringLiteral("Kvel_1.GIF")}).first, QStringLiteral("Kvel_2.GIF"));
}

TEST_F(WindowTest, ChangingTheFolderReplacesAnEditedPath) {
    QDir(folder_).mkdir("sub");
    Form1& form = open_window();
    ui(form).Text3->setText("/somewhere/else.gif");
    ASSERT_TRUE(ui(form).Dir1->set_folder(in_folder("sub")));
    EXPECT_EQ(form.save_folder(), in_folder("sub"));
    EXPECT_EQ(ui(form).Text3->text(), in_folder("sub/Kvel_1.GIF"));
    EXPECT_EQ(ui(form).File1->count(), 0);
    // Opening a row of the folder list goes there.
    auto* up = ui(form).Dir1->findItems(QStringLiteral("pictures"), Qt::MatchEndsWith).value(0);
    ASSERT_NE(up, nullptr);
    emit ui(form).Dir1->itemActivated(up);
    EXPECT_EQ(form.save_folder(), folder_);
}

TEST_F(WindowTest, MobileSizeRemembersTheTypedSize) {
    Form1& form = open_window();
    ui(form).Text2->setText("323");
    ui(form).Check2->setChecked(true);
    EXPECT_EQ(ui(form).Text2->text(), "128");
    ui(form).Check2->setChecked(false);
    EXPECT_EQ(ui(form).Text2->text(), "323");

    // Typing another size while the mobile size is on does not stick.
    ui(form).Check2->setChecked(true);
    ui(form).Text2->setText("500");
    form.Text2_LostFocus();
    EXPECT_EQ(ui(form).Text2->text(), "128");
    press_start_and_wait();
    EXPECT_EQ(decode_gif(read_file(in_folder("Kvel_1.GIF").toStdString())).width, 128);
}

TEST_F(WindowTest, HelpTextHasItsEighteenLines) {
    Form1& form = open_window();
    ui(form).Command2->click();
    ui(form).Command2->click();
    ASSERT_EQ(platform_.messages.size(), 2u);
    EXPECT_EQ(platform_.messages[0].text, platform_.messages[1].text);
    EXPECT_EQ(platform_.messages[0].title, QStringLiteral("Как работать с программой"));
    EXPECT_EQ(platform_.messages[0].icon, Platform::Icon::Information);
    const QStringList lines = platform_.messages[0].text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 18);
    EXPECT_EQ(lines[0], QStringLiteral("  Программа \"Vuzuduzi-2\" создаёт анимированные графические"));
    EXPECT_EQ(lines[1], QStringLiteral("файлыв формате GIF с разноцветными узорами. В том числе и для"));
    EXPECT_EQ(lines[3], QStringLiteral("\"Старт\" она создаёт новый рисунок."));
    EXPECT_EQ(lines[10], QStringLiteral("3. В режиме со сжатием программа работает довольно медленно."));
    EXPECT_EQ(lines[17], QStringLiteral("значительно меньше."));
    for (int empty : {4, 6, 9, 11}) EXPECT_TRUE(lines[empty].isEmpty());
}

TEST_F(WindowTest, LinksOpenTheWebAddressAndAMailtoLink) {
    Form1& form = open_window();
    const QString web = QString::fromUtf8(kAuthorWebAddress.data(), kAuthorWebAddress.size());
    const QString mail = QString::fromUtf8(kAuthorEmail.data(), kAuthorEmail.size());
    EXPECT_EQ(ui(form).Label10->text(), QStringLiteral("Web :   ") + web);
    EXPECT_EQ(ui(form).Label15->text(), QStringLiteral("E-mail :      ") + mail);
    form.Label10_Click();
    form.Label15_Click();
    EXPECT_EQ(platform_.opened_links, (QStringList{web, QStringLiteral("mailto:") + mail}));
    EXPECT_TRUE(platform_.messages.empty());
}

}  // namespace
}  // namespace vz::test
