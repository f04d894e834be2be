// What a screen reader is told about the window, read in process through
// QAccessible: each control's name and role in both languages, and no
// Russian left on an English desktop. The progress bars' values are checked
// wherever the run tests look at the strips.
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QRegularExpression>
#include <QTest>

#include "app/language.h"
#include "window_fixture.h"

namespace vz {
// Test names that say the language.
inline void PrintTo(Language language, std::ostream* out) { *out << (language == Language::English ? "English" : "Russian"); }
}  // namespace vz

namespace vz::test {
namespace {

struct Named {
    const char* control;
    QAccessible::Role role;
    const char* russian;
    const char* english;
};

// The controls no caption names; the others are named by their captions.
const Named kNamed[] = {
    {"Text1", QAccessible::EditableText, "Количество картинок", "Number of pictures"},
    {"Text2", QAccessible::EditableText, "Размер (ширина и высота в пикселях)", "Size (width and height in pixels)"},
    {"Text3", QAccessible::EditableText, "Путь и имя будущего файла", "Path and name of the new file"},
    {"Drive1", QAccessible::ComboBox, "Место сохранения", "Save location"},
    {"Dir1", QAccessible::List, "Папка", "Folder"},
    {"File1", QAccessible::List, "Файлы в папке", "Files in the folder"},
    {"Picture1", QAccessible::ProgressBar, "Создание картинки", "Making the picture"},
    {"Picture2", QAccessible::ProgressBar, "Создание файла", "Making the file"},
};

QAccessibleInterface* accessible(const Form1& form, const char* name) {
    return QAccessible::queryAccessibleInterface(control<QWidget>(form, name));
}

// Every text the window and its parts show or tell a screen reader that
// holds a Cyrillic letter, as "control: text".
QStringList cyrillic_texts_of(const QString& text) {
    static const QRegularExpression cyrillic(QStringLiteral("\\p{Cyrillic}"));
    return text.contains(cyrillic) ? QStringList{text} : QStringList();
}

QStringList cyrillic_texts(const Form1& form) {
    QStringList found;
    auto look = [&](const QString& where, const QString& text) {
        for (const QString& russian : cyrillic_texts_of(text)) found << where + QStringLiteral(": ") + russian;
    };
    look(QStringLiteral("title"), form.windowTitle());
    for (QWidget* widget : form.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        QAccessibleInterface* seen = QAccessible::queryAccessibleInterface(widget);
        for (QAccessible::Text kind : {QAccessible::Name, QAccessible::Description, QAccessible::Value})
            look(widget->objectName(), seen->text(kind));
        look(widget->objectName(), widget->toolTip());
    }
    return found;
}

// A window in the language a test chooses; Russian again afterwards.
class LanguageWindowTest : public WindowTest {
protected:
    void choose(Language language) {
        ASSERT_EQ(install_translator(*QCoreApplication::instance(), language), language == Language::English);
    }
    void TearDown() override {
        install_translator(*QCoreApplication::instance(), Language::Russian);
        WindowTest::TearDown();
    }
};

class AccessibilityTest : public LanguageWindowTest, public ::testing::WithParamInterface<Language> {
protected:
    void SetUp() override {
        LanguageWindowTest::SetUp();
        choose(GetParam());
    }
    const char* chosen(const Named& row) const { return GetParam() == Language::English ? row.english : row.russian; }
};

TEST_P(AccessibilityTest, EveryControlHasItsNameAndRoleInTheChosenLanguage) {
    Form1& form = open_window();
    for (const Named& row : kNamed) {
        QAccessibleInterface* seen = accessible(form, row.control);
        EXPECT_EQ(seen->text(QAccessible::Name), QString::fromUtf8(chosen(row))) << row.control;
        EXPECT_EQ(seen->role(), row.role) << row.control;
    }
    for (const char* strip : {"Picture1", "Picture2"}) {  // progress bars of 0..32 blocks
        QAccessibleValueInterface* bar = accessible(form, strip)->valueInterface();
        ASSERT_NE(bar, nullptr) << strip;
        EXPECT_EQ(std::pair(bar->minimumValue().toInt(), bar->maximumValue().toInt()), std::pair(0, 32)) << strip;
    }
    const bool english = GetParam() == Language::English;
    // Both languages keep the sizes the layout was measured for.
    EXPECT_EQ(form.font().pointSizeF(), 8);
    EXPECT_EQ(ui(form).Label2->font().pointSizeF(), 9.75);
    if (english) {
        EXPECT_EQ(cyrillic_texts(form), QStringList());
    }

    // The help, one line of the translation per line of the original.
    ui(form).Command2->click();
    ASSERT_EQ(platform_.messages.size(), 1u);
    const QStringList help = platform_.messages[0].text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(help.size(), 18);
    for (int line = 0; line < help.size(); ++line)
        EXPECT_EQ(help[line].isEmpty(), line == 4 || line == 6 || line == 9 || line == 11) << line;
    if (english) {
        EXPECT_EQ(help[0], QStringLiteral("  The program \"Vuzuduzi-2\" makes animated graphics"));
        EXPECT_EQ(cyrillic_texts_of(platform_.messages[0].title + platform_.messages[0].text), QStringList());
    }

    // The About face.
    ui(form).Command3->click();
    EXPECT_EQ(form.windowTitle(), english ? QStringLiteral("Vuzuduzi-2 - About") : QStringLiteral("Vuzuduzi-2 - О программе"));
    EXPECT_EQ(accessible(form, "Command4")->text(QAccessible::Name),
              english ? QStringLiteral("Cancel") : QStringLiteral("Отмена"));
    if (english) {
        EXPECT_EQ(cyrillic_texts(form), QStringList());
    }
    ui(form).Command7->click();
    EXPECT_EQ(accessible(form, "Command4")->text(QAccessible::Name),
              english ? QStringLiteral("Exit") : QStringLiteral("Выход"));
}

INSTANTIATE_TEST_SUITE_P(Languages, AccessibilityTest, ::testing::Values(Language::Russian, Language::English),
                         [](const auto& info) {
                             return std::string(info.param == Language::English ? "English" : "Russian");
                         });

// Every end of a run speaks English: the refusal, the completion, a file
// that exists, a failed write and a stop, and the captions and labels while
// the run goes on.
TEST_F(LanguageWindowTest, ARunInEnglishShowsNoRussianFromStartToEveryEnd) {
    choose(Language::English);
    Form1& form = open_window();
    QStringList shown;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] { shown << cyrillic_texts(form); });
    sampler.start(0);

    ui(form).Text1->setText(QStringLiteral("0"));
    press_start_and_wait();
    ui(form).Text1->setText(QStringLiteral("2"));
    press_start_and_wait();
    ASSERT_EQ(files(), QStringList{"Kvel_1.GIF"});
    ui(form).Text3->setText(in_folder(QStringLiteral("Kvel_1.GIF")));
    press_start_and_wait();
    ui(form).Text3->setText(in_folder(QStringLiteral("no/such/folder.GIF")));
    press_start_and_wait();
    platform_.gate.hold_at("check");
    ui(form).Command1->click();
    ASSERT_TRUE(platform_.gate.hold.wait_held());
    ui(form).Command1->click();  // Stop
    platform_.gate.hold.release();
    run_to_end();
    sampler.stop();

    QStringList titles;
    for (const auto& message : platform_.messages) {
        titles << message.title;
        shown << cyrillic_texts_of(message.title + ' ' + message.text);
    }
    EXPECT_EQ(titles, (QStringList{"Oops", "Vuzuduzi-2 - Hooray!", "Error", "Error", "Operation interrupted"}));
    shown.removeDuplicates();
    EXPECT_EQ(shown, QStringList());
    // The pattern code, the repeat box's tooltip, is also its description.
    EXPECT_EQ(accessible(form, "Check4")->text(QAccessible::Description), ui(form).Check4->toolTip());
    EXPECT_TRUE(ui(form).Check4->toolTip().startsWith(QStringLiteral("pattern "))) << ui(form).Check4->toolTip();
    EXPECT_EQ(platform_.messages[3].text.split(QStringLiteral("\r\n")).value(2), QStringLiteral("There is no such folder"));
}

}  // namespace
}  // namespace vz::test
