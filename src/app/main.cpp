// Vuzuduzi-2: invents a new multicoloured pattern of rose curves at every
// press of Start and writes it as an animated GIF.
#include <QApplication>

#include "app/desktop_platform.h"
#include "app/form1.h"
#include "app/qt_settings_store.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vazedoza"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vuzuduzi-2"));
    // The window ends the program itself, after a running generation has
    // cleaned up and said so.
    QApplication::setQuitOnLastWindowClosed(false);

    vz::DesktopPlatform platform;
    vz::QtSettingsStore settings;
    vz::Form1 window(platform, settings);
    platform.set_owner(&window);
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
