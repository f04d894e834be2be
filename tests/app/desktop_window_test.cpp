// The real window with the real desktop layer: titles as the X server shows
// them, message boxes as shown, mouse clicks on the real widgets, and what
// the desktop is asked to open.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>

#include "app/desktop_platform.h"
#include "app/form1.h"
#include "app/qt_settings_store.h"
#include "window_fixture.h"

namespace vz::test {
namespace {

// The window's title as the X server holds it.
QString x_title(const QWidget& window) {
    QGuiApplication::sync();
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), QString::number(window.winId())});
    if (!xdotool.waitForFinished(10000)) return QStringLiteral("<xdotool did not answer>");
    QString title = QString::fromUtf8(xdotool.readAllStandardOutput());
    if (title.endsWith('\n')) title.chop(1);
    return title;
}

// A double-click as the window system delivers it: through the window, with
// the toolkit telling a double-click from two clicks itself.
void double_click(QWidget* widget, QPoint at) {
    QTest::mouseDClick(widget->window()->windowHandle(), Qt::LeftButton, {}, widget->mapTo(widget->window(), at));
}
void single_click(QWidget* widget, QPoint at) {
    QTest::mouseClick(widget->window()->windowHandle(), Qt::LeftButton, {}, widget->mapTo(widget->window(), at));
}

// Waits (without measuring anything) until `done` holds; false if it never does.
bool wait_until(const std::function<bool()>& done) {
    for (int i = 0; i < 500 && !done(); ++i) QTest::qWait(20);
    return done();
}

struct ShownBox {
    QString title, x_title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
    QStringList lines_wrapped;  // lines of the text that do not fit on one line
};

// Watches for modal message boxes, notes what each shows and presses its OK
// button with the mouse.
class BoxCloser : public QObject {
public:
    BoxCloser() {
        timer_.setInterval(20);
        connect(&timer_, &QTimer::timeout, this, &BoxCloser::look);
        timer_.start();
    }
    std::vector<ShownBox> boxes;

private:
    void look() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (busy_ || !box || !box->isVisible()) return;
        busy_ = true;
        if (QTest::qWaitForWindowExposed(box)) {
            ShownBox seen{box->windowTitle(), x_title(*box), box->text(), box->icon(), box->textFormat(), {}};
            if (const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
                const QFontMetrics metrics(label->font());
                for (const QString& line : box->text().split('\n'))
                    if (metrics.horizontalAdvance(line) > label->contentsRect().width()) seen.lines_wrapped << line;
            }
            boxes.push_back(seen);
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);  // the box's own window
        }
        busy_ = false;
    }
    QTimer timer_;
    bool busy_ = false;
};

class DesktopWindowTest : public WindowFolders {
protected:
    void SetUp() override {
        WindowFolders::SetUp();
        QFile::remove(opened_log());
    }

    Form1& open_window() {
        form_ = std::make_unique<Form1>(platform_, *settings_);
        platform_.set_owner(form_.get());
        form_->Form_Load();
        form_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
        return *form_;
    }
    template <class T>
    T* the(const char* name) const {
        return control<T>(*form_, name);
    }
    void click(const char* button) {
        QWidget* widget = the<QPushButton>(button);
        single_click(widget, widget->rect().center());
    }

    static QString opened_log() { return QString::fromLocal8Bit(qgetenv("VZ_OPENED_LOG")); }
    // What the desktop was asked to open, waiting for `count` entries.
    static QStringList opened(int count) {
        QStringList lines;
        wait_until([&] {
            QFile log(opened_log());
            lines = log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts)
                                                  : QStringList();
            return lines.size() >= count;
        });
        return lines;
    }
    static QString file_url(const QString& path) { return QString::fromLatin1(QUrl::fromLocalFile(path).toEncoded()); }

    DesktopPlatform platform_;
    std::unique_ptr<Form1> form_;
    BoxCloser boxes_;
};

TEST_F(DesktopWindowTest, TitlesOnTheXServerAreExactlyTheWindowsOwn) {
    Form1& form = open_window();
    EXPECT_EQ(x_title(form), QStringLiteral("Vuzuduzi-2"));

    click("Command1");
    ASSERT_TRUE(wait_until([&] { return boxes_.boxes.size() == 1; }));
    EXPECT_EQ(boxes_.boxes[0].x_title, QStringLiteral("Vuzuduzi-2 - Ура!"));
    EXPECT_EQ(x_title(form), QStringLiteral("Vuzuduzi-2"));

    the<QLineEdit>("Text1")->setText(QStringLiteral("0"));
    click("Command1");
    ASSERT_TRUE(wait_until([&] { return boxes_.boxes.size() == 2; }));
    EXPECT_EQ(boxes_.boxes[1].x_title, QStringLiteral("Ошибочка"));
    EXPECT_EQ(boxes_.boxes[1].text, QStringLiteral("Количество картинок должно быть не меньше, чем одна."));
    EXPECT_EQ(boxes_.boxes[1].icon, QMessageBox::Warning);

    click("Command3");
    EXPECT_EQ(x_title(form), QStringLiteral("Vuzuduzi-2 - О программе"));
    click("Command7");
    EXPECT_EQ(x_title(form), QStringLiteral("Vuzuduzi-2"));
}

TEST_F(DesktopWindowTest, StopWithTheMouseDuringARunIsReportedAndLeavesNothing) {
    settings_->write("tem", "col", "100");
    settings_->write("tem", "px", "300");
    Form1& form = open_window();
    click("Command1");
    // The run goes on beside the window, which answers at once.
    EXPECT_EQ(x_title(form), QStringLiteral("Vuzuduzi-2 - Создание файла ") + in_folder("Kvel_1.GIF"));
    click("Command1");
    ASSERT_TRUE(wait_until([&] { return boxes_.boxes.size() == 1; }));
    EXPECT_EQ(boxes_.boxes[0].x_title, QStringLiteral("Операция прервана"));
    EXPECT_EQ(boxes_.boxes[0].text, QStringLiteral("Процесс был прерван.\nСохранение не произошло."));
    EXPECT_EQ(boxes_.boxes[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(QDir(folder_).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(DesktopWindowTest, MessagesShowTheirTextAsPlainText) {
    open_window();
    const QString path = in_folder("<i>y.GIF");
    the<QLineEdit>("Text3")->setText(path);
    click("Command1");
    ASSERT_TRUE(wait_until([&] { return boxes_.boxes.size() == 1; }));
    EXPECT_EQ(boxes_.boxes[0].text,
              QStringLiteral("Файл  готов!  Его  имя:   \"<i>y.GIF\"\nМестонахождение:   ") + folder_);
    EXPECT_EQ(boxes_.boxes[0].format, Qt::PlainText);
    EXPECT_EQ(boxes_.boxes[0].icon, QMessageBox::NoIcon);
    EXPECT_TRUE(QFile::exists(path));
    for (QLabel* label : form_->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
}

TEST_F(DesktopWindowTest, EveryLineOfTheHelpStaysOneLine) {
    open_window();
    ASSERT_GE(QGuiApplication::primaryScreen()->geometry().width(), 1024);
    click("Command2");
    ASSERT_TRUE(wait_until([&] { return boxes_.boxes.size() == 1; }));
    EXPECT_EQ(boxes_.boxes[0].x_title, QStringLiteral("Как работать с программой"));
    EXPECT_EQ(boxes_.boxes[0].icon, QMessageBox::Information);
    EXPECT_EQ(boxes_.boxes[0].text.split('\n').size(), 18);
    EXPECT_EQ(boxes_.boxes[0].lines_wrapped, QStringList());
}

TEST_F(DesktopWindowTest, DoubleClickOnAFileOpensItForViewing) {
    QFile(in_folder("Kvel_7.GIF")).open(QIODevice::WriteOnly);
    QFile(in_folder("Other.GIF")).open(QIODevice::WriteOnly);
    open_window();
    auto* files = the<QListWidget>("File1");
    ASSERT_EQ(files->count(), 2);
    const QPoint second = files->visualItemRect(files->item(1)).center();
    double_click(files->viewport(), second);
    EXPECT_EQ(opened(1), QStringList{file_url(in_folder("Other.GIF"))});
    EXPECT_TRUE(boxes_.boxes.empty());

    // A single click selects without opening.
    const QPoint first = files->visualItemRect(files->item(0)).center();
    single_click(files->viewport(), first);
    QTest::qWait(200);
    EXPECT_EQ(opened(1).size(), 1);
    EXPECT_EQ(files->currentItem()->text(), QStringLiteral("Kvel_7.GIF"));
}

TEST_F(DesktopWindowTest, OpenAtTheEndHandsTheNewFileToTheDesktop) {
    open_window();
    single_click(the<QCheckBox>("Check5"), QPoint(8, the<QCheckBox>("Check5")->height() / 2));
    ASSERT_TRUE(the<QCheckBox>("Check5")->isChecked());
    click("Command1");
    EXPECT_EQ(opened(1), QStringList{file_url(in_folder("Kvel_1.GIF"))});
    EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(DesktopWindowTest, LinksOnTheAboutFaceOpenTheAddressAndAMail) {
    open_window();
    click("Command3");
    for (const char* link : {"Label10", "Label15"}) {
        auto* label = the<QLabel>(link);
        single_click(label, label->rect().center());
    }
    const QStringList links = opened(2);
    ASSERT_EQ(links.size(), 2);
    EXPECT_TRUE(links[0].startsWith(QStringLiteral("http"))) << links[0].toStdString();
    EXPECT_TRUE(links[1].startsWith(QStringLiteral("mailto:"))) << links[1].toStdString();
    click("Command7");
}

TEST_F(DesktopWindowTest, LeavingTheSizeFieldPutsTheMobileSizeBack) {
    open_window();
    form_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
    auto* mobile = the<QCheckBox>("Check2");
    single_click(mobile, QPoint(8, mobile->height() / 2));
    auto* size = the<QLineEdit>("Text2");
    ASSERT_EQ(size->text(), QStringLiteral("128"));
    single_click(size, size->rect().center());
    ASSERT_TRUE(size->hasFocus());
    QTest::keyClick(size, Qt::Key_End);
    QTest::keyClicks(size, "0");
    EXPECT_EQ(size->text(), QStringLiteral("1280"));
    auto* count = the<QLineEdit>("Text1");
    single_click(count, count->rect().center());
    EXPECT_TRUE(count->hasFocus());
    EXPECT_EQ(size->text(), QStringLiteral("128"));
}

}  // namespace
}  // namespace vz::test
