// The window without a mouse: Tab in the visual order over every enabled
// control, Enter and Space on buttons, Enter on a file and on the About
// face's links, and the focus into and out of the About face.
#include <QApplication>
#include <QTest>

#include "window_fixture.h"

namespace vz::test {
namespace {

class KeyboardTest : public WindowTest {
protected:
    Form1& open_active_window() {
        Form1& form = open_window();
        form.show();
        QApplication::setActiveWindow(&form);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
        return form;
    }
    static QString focused() {
        const QWidget* widget = QApplication::focusWidget();
        return widget ? widget->objectName() : QStringLiteral("<none>");
    }
    static void press(int key) { QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key)); }
    // The controls Tab reaches from the focused one, `count` presses.
    static QStringList tabbing(int count) {
        QStringList reached;
        for (int i = 0; i < count; ++i) {
            press(Qt::Key_Tab);
            reached << focused();
        }
        return reached;
    }
};

TEST_F(KeyboardTest, TabFollowsTheVisualOrderAndKeysWorkEveryControl) {
    touch(QStringLiteral("a.GIF"));
    Form1& form = open_active_window();
    // The folder list marks the current folder, where arrow keys start.
    EXPECT_EQ(ui(form).Dir1->currentItem()->data(Qt::UserRole).toString(), folder_);
    ui(form).Text1->setFocus();
    EXPECT_EQ(tabbing(14), (QStringList{"Text2", "Check2", "Check3", "Check1", "Command1", "Drive1", "Command2",
                                        "Command3", "Dir1", "File1", "Text3", "Command4", "Check5", "Text1"}));

    // Space presses a button: the help.
    ui(form).Command2->setFocus();
    press(Qt::Key_Space);
    ASSERT_EQ(platform_.messages.size(), 1u);

    // Enter on a file opens it, as a double-click does.
    ui(form).File1->setFocus();
    ui(form).File1->setCurrentRow(0);
    press(Qt::Key_Return);
    EXPECT_EQ(platform_.opened_files, QStringList{in_folder(QStringLiteral("a.GIF"))});

    // Enter presses a button: the About face takes the focus to its way back,
    // and Tab reaches its links in order, which Enter and Space open.
    ui(form).Command3->setFocus();
    press(Qt::Key_Return);
    ASSERT_TRUE(form.about_shown());
    EXPECT_EQ(focused(), "Command7");
    EXPECT_EQ(tabbing(4), (QStringList{"Command4", "Label10", "Label15", "Command7"}));
    ui(form).Label10->setFocus();
    press(Qt::Key_Enter);
    ui(form).Label15->setFocus();
    press(Qt::Key_Space);
    EXPECT_EQ(platform_.opened_links.size(), 2u);
    EXPECT_TRUE(platform_.opened_links.value(1).startsWith(QStringLiteral("mailto:")));

    // Leaving gives the focus back to О программе.
    ui(form).Command7->setFocus();
    press(Qt::Key_Return);
    EXPECT_FALSE(form.about_shown());
    EXPECT_EQ(focused(), "Command3");
    EXPECT_EQ(platform_.messages.size(), 1u);  // nothing else asked for a box
}

}  // namespace
}  // namespace vz::test
