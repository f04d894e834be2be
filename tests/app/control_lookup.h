// Tests find the window's controls by their names, as a person finds them
// by their captions; the window itself keeps them private.
#pragma once

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include "app/controls.h"

namespace vz::test {

template <class T>
T* control(const QObject& window, const char* name) {
    T* found = window.findChild<T*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Every control of the window, by name.
struct WindowControls {
    explicit WindowControls(const QObject& w)
#define VZ_FIND(name) name(control<std::remove_pointer_t<decltype(name)>>(w, #name))
        : VZ_FIND(Command1), VZ_FIND(Command2), VZ_FIND(Command3), VZ_FIND(Command4), VZ_FIND(Command7),
          VZ_FIND(Check1), VZ_FIND(Check2), VZ_FIND(Check3), VZ_FIND(Check4), VZ_FIND(Check5), VZ_FIND(Text1),
          VZ_FIND(Text2), VZ_FIND(Text3), VZ_FIND(Label1), VZ_FIND(Label2), VZ_FIND(Label3), VZ_FIND(Label4),
          VZ_FIND(Label5), VZ_FIND(Label7), VZ_FIND(Label9), VZ_FIND(Label10), VZ_FIND(Label15), VZ_FIND(Picture1),
          VZ_FIND(Picture2), VZ_FIND(Shape1), VZ_FIND(Shape2), VZ_FIND(Shape3), VZ_FIND(Drive1), VZ_FIND(Dir1),
          VZ_FIND(File1), VZ_FIND(Timer1), VZ_FIND(Timer3) {}
#undef VZ_FIND

    QPushButton *Command1, *Command2, *Command3, *Command4, *Command7;
    QCheckBox *Check1, *Check2, *Check3, *Check4, *Check5;
    QLineEdit *Text1, *Text2, *Text3;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label7, *Label9, *Label10, *Label15;
    QLabel *Picture1, *Picture2;
    QWidget *Shape1, *Shape2, *Shape3;
    DriveList* Drive1;
    FolderList* Dir1;
    QListWidget* File1;
    QTimer *Timer1, *Timer3;
};

inline WindowControls ui(const QObject& window) { return WindowControls(window); }

}  // namespace vz::test
