// Vuzuduzi-2: invents a new multicoloured pattern of rose curves at every
// press of Start and writes it as an animated GIF.
#include <QApplication>

#include "app/desktop_platform.h"
#include "app/form1.h"
#include "app/language.h"
#include "app/qt_settings_store.h"
#include "app/termination_signals.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    vz::configure_application();
    // English on a desktop that asks for it, chosen before any text is made.
    vz::install_translator(app);

    vz::DesktopPlatform platform;
    vz::QtSettingsStore settings;
    vz::Form1 window(platform, settings);
    platform.set_owner(&window);
    // A logout or kill ends the program like closing the window, quietly.
    vz::TerminationSignals termination;
    QObject::connect(&termination, &vz::TerminationSignals::received, &window, &vz::Form1::end_on_signal);
    window.Form_Load();
    window.show();
    return QApplication::exec();
}
