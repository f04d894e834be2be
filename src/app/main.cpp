// Vuzuduzi-2: invents a new multicoloured pattern of rose curves at every
// press of Start and writes it as an animated GIF.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

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
    const int status = QApplication::exec();
    // A sound font still loading (seconds on a slow disk) is not waited for:
    // the settings are stored and any run has ended, so the program ends
    // here, without the unwinding that would wait for it.
    if (window.sound_loading()) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
